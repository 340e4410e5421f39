#include "export/gpx_export.h"

#include <optional>

#include "export/kml_file.h"
#include "export/text_file.h"
#include "export/two_pass_export.h"
#include "format/datetime.h"
#include "format/messages.h"
#include "replay/replay.h"
#include "replay/units.h"
#include "replay/value_text.h"

namespace krelby {
namespace {

class TrackPoints : public ReplaySink {
public:
    explicit TrackPoints(TextFile& file) : file_(file) {}
    void OnFlightTime(double time) override { time_ = IsoText(DecodeDateTime(time)); }
    void OnGps(const GpsMessage& m) override {
        if (!CarriesPosition(m)) return;
        // 180° east is 180° west: GPX takes longitudes below 180.
        const double lon = m.Longitude() == 180 * kPositionUnitsPerDegree ? -180.0 : PositionDegrees(m.Longitude());
        std::string line = "      <trkpt lat=\"";
        AppendDecimalText(line, PositionDegrees(m.Latitude()), 7);
        line += "\" lon=\"";
        AppendDecimalText(line, lon, 7);
        line += "\"><ele>";
        AppendDecimalText(line, static_cast<double>(m.GPSAltitude() / kFeetPerMetre), 2);
        line += "</ele>";
        // Before the first FlightMessage there is no time to give.
        if (!time_.empty()) line += "<time>" + time_ + "</time>";
        if (m.Has(GpsMessage::kSatellitesTracked, 1)) line += "<sat>" + IntegerText(m.SatellitesTracked()) + "</sat>";
        file_.Line(line + "</trkpt>");
    }

private:
    TextFile& file_;
    std::string time_;
};

class GpxWriter : public TwoPassWriter {
public:
    GpxWriter(const std::string& flight, const Regional& regional, const std::string& out)
        : flight_(flight), regional_(regional), out_(out) {}
    void Open(const InputFile& flight) override { file_.emplace(out_, &flight); }
    ReplaySink* FirstPass() override { return &start_; }
    ReplaySink& SecondPass(const ReplayEnd&) override {
        TextFile& file = *file_;
        file.Line("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
        file.Line("<gpx version=\"1.1\" creator=\"Krelby\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
                  "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                  "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd\">");
        file.Line("  <trk>");
        file.Line("    <name>" + XmlEscaped(TrackName(start_.start, flight_, regional_)) + "</name>");
        file.Line("    <trkseg>");
        points_.emplace(file);
        return *points_;
    }
    void Finish() override {
        file_->Line("    </trkseg>");
        file_->Line("  </trk>");
        file_->Line("</gpx>");
        file_->Close();
    }

private:
    const std::string& flight_;
    const Regional& regional_;
    const std::string& out_;
    FlightStartSink start_;
    std::optional<TextFile> file_;
    std::optional<TrackPoints> points_;
};

}  // namespace

void GpxExport(const std::string& flight, const ReplayInputs& in, const Regional& regional, const std::string& out,
               ReplaySink* chart) {
    GpxWriter writer(flight, regional, out);
    TwoPassExport(flight, in, chart, writer);
}

}  // namespace krelby
