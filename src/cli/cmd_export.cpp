// csv, kml, gpx FLIGHT...: the window's exports of a flight, under the folder's settings; one
// command for each export of the table that has a writer and no command of its own.
#include <filesystem>

#include "base/error.h"
#include "cli/cli.h"
#include "export/exports.h"
#include "replay/replay.h"

namespace krelby::cli {

void RequireFlightData(const ChecksumOptions& checks, const std::string& flight) {
    // A missing or unreadable file is named ("Cannot open flight file PATH: ..."), and a
    // special file refused by its name.
    InputFile file = OpenFlight(flight);
    // An empty or foreign file would give an empty track, or a CSV of the head alone.
    if (!HasGoodFrame(file, checks)) throw Error(NoFlightDataIn(flight));
}

namespace {

// The folder's settings, once the flight is known to hold data. Nothing is charted, so
// memory does not grow with the flight.
FolderSettings ForFlight(const Args& args) {
    FolderSettings folder = ReadFolderSettings(args);
    RequireFlightData(folder.checks, args.positional[0]);
    return folder;
}

// To -o FILE (- for stdout); one that writes to the Exports folder may be told no file.
int Export(const ExportInfo& e, const Args& args) {
    const FolderSettings folder = ForFlight(args);
    const std::string& flight = args.positional[0];
    const auto out = args.Option("-o");
    const FlightExportFn writer = e.cliWrite ? e.cliWrite : e.write;
    const auto write = [&](const std::string& path) {
        return writer(flight, folder.Inputs(), folder.regional, path, nullptr);
    };
    if (out && (ToStandardOutput(*out) || IsSpecialOutput(*out))) {
        WriteExport(*out, [&](const std::string& path) { write(path); });
        return 0;
    }
    if (!out) CreateProgramFolders(WritableProgramFolder(args));
    // Where it says where it wrote, absolute, so that the message names the folder even for a
    // bare file name.
    const std::string path = !out                ? ExportsFolderPath(folder.folder, flight, e.extension)
                             : e.toExportsFolder ? TextOf(std::filesystem::absolute(PathOf(*out)))
                                                 : *out;
    const std::string said = write(path);
    if (!said.empty()) Say(args, said);
    return 0;
}

Command CommandOf(const ExportInfo& e) {
    return Batch({e.name,
                  e.toExportsFolder ? "FLIGHT... [--all-flights] [--folder DIR] [-o FILE | -d DIR] [-q]"
                                    : "FLIGHT... [--all-flights] -o FILE | -d DIR [--folder DIR] [-q]",
                  e.summary,
                  [&e](const Args& args) { return Export(e, args); },
                  {"--folder", "-o"},
                  "FLIGHT",
                  !e.toExportsFolder},
                 Suffix(e.extension));
}

// The CSV first, as krelby-cli has always listed it, then the others in the table's order.
const bool registered = [] {
    Register{CommandOf(*ExportNamed("csv"))};
    for (const ExportInfo& e : Exports())
        if (e.write && !e.ownCommand && std::string_view(e.name) != "csv") Register{CommandOf(e)};
    return true;
}();

}  // namespace
}  // namespace krelby::cli
