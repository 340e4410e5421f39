#include "export/kml_export.h"

#include <optional>

#include "export/kml_file.h"
#include "export/two_pass_export.h"

namespace krelby {
namespace {

class KmlWriter : public TwoPassWriter {
public:
    KmlWriter(const std::string& flight, const ReplayInputs& in, const Regional& regional, const std::string& out)
        : flight_(flight), regional_(regional), out_(out), style_(in.settings.kml) {
        ApplyOpacityRule(style_);
    }
    void Open(const InputFile& flight) override { file_.emplace(out_, &flight); }
    ReplaySink& SecondPass(const ReplayEnd& first) override {
        // The document is named after the flight it holds: the time of its last good
        // FlightMessage, or its file name when it has none.
        file_->WriteHead(TrackName(first, flight_, regional_), style_);
        coordinates_.emplace(*file_);
        return *coordinates_;
    }
    void Finish() override {
        file_->WriteTail();
        file_->Close();
    }

private:
    const std::string& flight_;
    const Regional& regional_;
    const std::string& out_;
    KmlStyle style_;
    std::optional<KmlFile> file_;
    std::optional<KmlCoordinatesSink> coordinates_;
};

}  // namespace

void KmlExport(const std::string& flight, const ReplayInputs& in, const Regional& regional, const std::string& out,
               ReplaySink* chart) {
    KmlWriter writer(flight, in, regional, out);
    TwoPassExport(flight, in, chart, writer);
}

}  // namespace krelby
