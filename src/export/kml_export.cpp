#include "export/kml_export.h"

#include <filesystem>

#include "export/kml_file.h"
#include "format/datetime.h"
#include "replay/replay.h"

namespace krelby {
namespace {

struct KmlExportScope {
    Session& s;
    ~KmlExportScope() {
        s.flags.KmlExportActive = false;
        s.output = nullptr;
    }
};

}  // namespace

void KmlExport(Session& session, const std::string& path) {
    if (session.CurrentFlightFile.empty()) return;
    const std::string flight = session.CurrentFlightFile;

    // The document is named after the flight it holds: the time of its last good
    // FlightMessage, or its file name when it has none. A replay starts its clock at 0,
    // and no FlightMessage encodes to that day.
    // Both passes read this one open file, whatever replaces the name meanwhile.
    InputFile input = OpenFlight(flight);
    session.flags.KmlExportActive = false;
    FlightReplay(session, input);
    const double last = session.clock.CurrentSampleTime;
    const std::string name = last != 0 ? FormatTimeStamp(last, session.regional)
                                       : std::filesystem::path(flight).stem().string();

    KmlExportScope scope{session};
    KmlFile file(path, &input);
    file.WriteHead(name, session.settings.kml);
    session.output = &file;
    session.flags.KmlExportActive = true;
    FlightReplay(session, input);
    session.flags.KmlExportActive = false;
    session.output = nullptr;
    file.WriteTail();
    file.Close();
}

}  // namespace krelby
