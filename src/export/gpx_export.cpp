#include "export/gpx_export.h"

#include "export/kml_file.h"
#include "export/text_file.h"
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
        file_.Line(line + "</trkpt>");
    }

private:
    TextFile& file_;
    std::string time_;
};

}  // namespace

void GpxExport(Session& session, const std::string& path, ReplaySink* chart) {
    if (session.CurrentFlightFile.empty()) return;
    const ReplayInputs in{session.settings, session.checks, &session.progress};
    InputFile input = OpenFlight(session.CurrentFlightFile);
    const std::string name = TrackName(FlightReplay(input, in, {chart}), session.CurrentFlightFile, session.regional);

    TextFile file(path, &input);
    file.Line("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    file.Line("<gpx version=\"1.1\" creator=\"Krelby\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
              "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
              "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd\">");
    file.Line("  <trk>");
    file.Line("    <name>" + XmlEscaped(name) + "</name>");
    file.Line("    <trkseg>");
    TrackPoints points(file);
    FlightReplay(input, in, {chart, &points});
    file.Line("    </trkseg>");
    file.Line("  </trk>");
    file.Line("</gpx>");
    file.Close();
}

}  // namespace krelby
