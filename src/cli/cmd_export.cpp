// csv FLIGHT and kml FLIGHT: the window's two exports of a flight, under the folder's settings.
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "cli/cli.h"
#include "export/csv_export.h"
#include "export/gpx_export.h"
#include "export/kml_export.h"
#include "replay/replay.h"

namespace krelby::cli {

void RequireFlightData(const Session& session, const std::string& flight) {
    std::error_code ec;
    if (!std::filesystem::exists(PathOf(flight), ec)) return;  // the export says it cannot open it
    InputFile file = OpenFlight(flight);  // a special file is refused here by its name
    // An empty or foreign file would give an empty track, or a CSV of the head alone.
    if (!HasGoodFrame(file, session.checks)) throw std::runtime_error("No flight data in " + flight);
}

namespace {

// The session of the folder with the flight as the current one. Nothing is charted, so
// memory does not grow with the flight.
Session ShownFlight(const Args& args, const char* usage) {
    if (args.positional.size() != 1) throw std::runtime_error(std::string("usage: krelby-cli ") + usage);
    Session session = FolderSession(args);
    session.CurrentFlightFile = args.positional[0];
    RequireFlightData(session, session.CurrentFlightFile);
    return session;
}

int Csv(const Args& args) {
    Session session = ShownFlight(args, "csv FLIGHT [--folder DIR] [-o FILE]");
    const auto out = args.Option("-o");
    if (!out) CreateProgramFolders(WritableProgramFolder(args));
    const CsvExportResult r = CsvExport(session, out.value_or(""));
    if (!r.exported) throw std::runtime_error(r.message);
    std::printf("%s\n", r.message.c_str());
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// kml and gpx: a track written to -o, which they cannot do without.
using TrackExport = void (*)(Session&, const std::string&, ReplaySink*);
int Track(const Args& args, const char* command, TrackExport write) {
    const std::string usage = std::string(command) + " FLIGHT -o FILE [--folder DIR]";
    const auto out = args.Option("-o");
    if (!out) throw std::runtime_error("usage: krelby-cli " + usage);
    Session session = ShownFlight(args, usage.c_str());
    write(session, *out, nullptr);
    return 0;
}
int Kml(const Args& args) { return Track(args, "kml", KmlExport); }
int Gpx(const Args& args) { return Track(args, "gpx", GpxExport); }

const Register csv({"csv", "FLIGHT [--folder DIR] [-o FILE]",
                    "Exports a flight as CSV, by default to DIR/Exports/NAME.CSV.", Csv, {}, {"--folder", "-o"}});
const Register kml({"kml", "FLIGHT -o FILE [--folder DIR]", "Exports a flight's GPS track as a KML 2.1 document.", Kml,
                    {}, {"--folder", "-o"}});
const Register gpx({"gpx", "FLIGHT -o FILE [--folder DIR]",
                    "Exports a flight's GPS track as GPX 1.1 (times on the display's clock).", Gpx, {},
                    {"--folder", "-o"}});

}  // namespace
}  // namespace krelby::cli
