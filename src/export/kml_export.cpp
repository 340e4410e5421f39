#include "export/kml_export.h"

#include <optional>

#include "export/kml_file.h"
#include "export/two_pass_export.h"

namespace krelby {
namespace {

class KmlWriter : public TwoPassWriter {
public:
    KmlWriter(const std::string& flight, const ReplayInputs& in, const Regional& regional, const std::string& out,
              bool namedByStart)
        : flight_(flight), regional_(regional), out_(out), style_(in.settings.kml), namedByStart_(namedByStart) {
        ApplyOpacityRule(style_);
    }
    void Open(const InputFile& flight) override { file_.emplace(out_, &flight); }
    ReplaySink* FirstPass() override { return namedByStart_ ? &start_ : nullptr; }
    ReplaySink& SecondPass(const ReplayEnd& first) override {
        // The document is named after the flight it holds, or its file name when it has no
        // FlightMessage.
        file_->WriteHead(namedByStart_ ? TrackName(start_.start, flight_, regional_) : TrackName(first, flight_, regional_),
                         style_);
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
    bool namedByStart_;
    FlightStartSink start_;
    std::optional<KmlFile> file_;
    std::optional<KmlCoordinatesSink> coordinates_;
};

}  // namespace

void KmlExport(const std::string& flight, const ReplayInputs& in, const Regional& regional, const std::string& out,
               ReplaySink* chart, bool namedByStart) {
    KmlWriter writer(flight, in, regional, out, namedByStart);
    TwoPassExport(flight, in, chart, writer);
}

}  // namespace krelby
