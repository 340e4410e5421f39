#include "export/kml_export.h"

#include <filesystem>

#include "export/kml_file.h"
#include "export/text_file.h"
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
    session.flags.KmlExportActive = false;
    FlightReplay(session, flight);
    const double last = session.clock.CurrentSampleTime;
    const std::string name = last != 0 ? FormatTimeStamp(last, session.regional)
                                       : std::filesystem::path(flight).stem().string();

    RefuseFlightAsOutput(path, flight);
    KmlExportScope scope{session};
    KmlFile file(path);
    file.WriteHead(name, session.settings.kml);
    session.output = &file;
    session.flags.KmlExportActive = true;
    FlightReplay(session, flight);
    session.flags.KmlExportActive = false;
    session.output = nullptr;
    file.WriteTail();
    file.Close();
}

}  // namespace krelby
