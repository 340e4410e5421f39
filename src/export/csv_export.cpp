#include "export/csv_export.h"

#include <filesystem>
#include <memory>
#include <optional>

#include "base/error.h"
#include "export/csv_file.h"
#include "export/two_pass_export.h"

namespace krelby {
namespace {

class CsvWriter : public TwoPassWriter {
public:
    CsvWriter(const std::string& out, const Settings& settings, const Regional& regional)
        : out_(out), settings_(settings), regional_(regional), names_(*columns_, settings) {}
    void Open(const InputFile& flight) override { file_.emplace(out_, regional_, &flight); }
    // The columns the flight fills.
    ReplaySink* FirstPass() override { return &names_; }
    ReplaySink& SecondPass(const ReplayEnd&) override {
        // Rows start from no values, so each row holds only what was decoded up to its time.
        columns_->ClearValues();
        rows_.emplace(*columns_, settings_, *file_);
        return *rows_;
    }
    void Finish() override { file_->Close(); }

private:
    const std::string& out_;
    const Settings& settings_;
    const Regional& regional_;
    std::unique_ptr<CsvColumns> columns_ = std::make_unique<CsvColumns>();
    CsvColumnsSink names_;
    std::optional<CsvFile> file_;
    std::optional<CsvRowsSink> rows_;
};

}  // namespace

bool IsFlightFile(const std::string& flight) {
    std::error_code ec;
    return !flight.empty() && std::filesystem::is_regular_file(PathOf(flight), ec);
}

std::string CsvExport(const std::string& flight, const ReplayInputs& in, const Regional& regional,
                      const std::string& out, ReplaySink* chart) {
    if (!IsFlightFile(flight)) throw Error(kNoFlightSelected);
    CsvWriter writer(out, in.settings, regional);
    TwoPassExport(flight, in, chart, writer);

    const std::filesystem::path written = PathOf(out);
    std::string folder = TextOf(written.parent_path());
    if (!folder.empty()) folder += '/';
    return TextOf(written.filename()) + " created in " + folder;
}

}  // namespace krelby
