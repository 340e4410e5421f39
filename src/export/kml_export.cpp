#include "export/kml_export.h"

#include "export/kml_file.h"
#include "replay/replay.h"

namespace krelby {

void KmlExport(Session& session, const std::string& path, ReplaySink* chart) {
    if (session.CurrentFlightFile.empty()) return;
    const std::string flight = session.CurrentFlightFile;
    const ReplayInputs in{session.settings, session.checks, &session.progress};

    // Both passes read this one open file, whatever replaces the name meanwhile.
    InputFile input = OpenFlight(flight);
    // The document is named after the flight it holds: the time of its last good
    // FlightMessage, or its file name when it has none.
    const std::string name = TrackName(FlightReplay(input, in, {chart}), flight, session.regional);

    KmlFile file(path, &input);
    ApplyOpacityRule(session.settings.kml);
    file.WriteHead(name, session.settings.kml);
    KmlCoordinatesSink coordinates(file);
    FlightReplay(input, in, {chart, &coordinates});
    file.WriteTail();
    file.Close();
}

}  // namespace krelby
