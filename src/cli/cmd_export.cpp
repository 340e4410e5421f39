// csv, kml and gpx FLIGHT: the window's exports of a flight, under the folder's settings.
#include <filesystem>

#include "base/error.h"
#include "cli/cli.h"
#include "export/csv_export.h"
#include "export/csv_file.h"
#include "export/gpx_export.h"
#include "export/kml_export.h"
#include "replay/replay.h"

namespace krelby::cli {

void RequireFlightData(const ChecksumOptions& checks, const std::string& flight) {
    std::error_code ec;
    if (!std::filesystem::exists(PathOf(flight), ec)) return;  // the export says it cannot open it
    InputFile file = OpenFlight(flight);  // a special file is refused here by its name
    // An empty or foreign file would give an empty track, or a CSV of the head alone.
    if (!HasGoodFrame(file, checks)) throw Error("No flight data in " + flight);
}

namespace {

// The folder's settings, once the flight is known to hold data. Nothing is charted, so
// memory does not grow with the flight.
FolderSettings ForFlight(const Args& args) {
    FolderSettings folder = ReadFolderSettings(args);
    RequireFlightData(folder.checks, args.positional[0]);
    return folder;
}

int Csv(const Args& args) {
    const FolderSettings folder = ForFlight(args);
    const std::string& flight = args.positional[0];
    const auto out = args.Option("-o");
    if (out && ToStandardOutput(*out)) {
        WriteToStandardOutput(
            [&](const std::string& path) { CsvExport(flight, folder.Inputs(), folder.regional, path); });
        return 0;
    }
    if (!out) CreateProgramFolders(WritableProgramFolder(args));
    // Absolute, so that the message names the folder even for a bare file name.
    const std::string path =
        out ? TextOf(std::filesystem::absolute(PathOf(*out))) : CsvExportPath(folder.folder, flight);
    Say(args, CsvExport(flight, folder.Inputs(), folder.regional, path));
    return 0;
}

// kml and gpx: a track written to -o, which they cannot do without.
using TrackExport = void (*)(const std::string&, const ReplayInputs&, const Regional&, const std::string&,
                             ReplaySink*);
int Track(const Args& args, TrackExport write) {
    const std::string out = *args.Option("-o");
    const FolderSettings folder = ForFlight(args);
    const std::string& flight = args.positional[0];
    const auto writeTo = [&](const std::string& path) { write(flight, folder.Inputs(), folder.regional, path, nullptr); };
    if (ToStandardOutput(out)) WriteToStandardOutput(writeTo);
    else writeTo(out);
    return 0;
}
int Kml(const Args& args) { return Track(args, KmlExport); }
int Gpx(const Args& args) { return Track(args, GpxExport); }

const Register csv({"csv", "FLIGHT [--folder DIR] [-o FILE] [-q]",
                    "Exports a flight as CSV, by default to DIR/Exports/NAME.CSV.", Csv, {"--folder", "-o"}, "FLIGHT"});
const Register kml({"kml", "FLIGHT -o FILE [--folder DIR]", "Exports a flight's GPS track as a KML 2.1 document.", Kml,
                    {"--folder", "-o"}, "FLIGHT", true});
const Register gpx({"gpx", "FLIGHT -o FILE [--folder DIR]",
                    "Exports a flight's GPS track as GPX 1.1 (times on the display's clock).", Gpx, {"--folder", "-o"},
                    "FLIGHT", true});

}  // namespace
}  // namespace krelby::cli
