// csv, kml, gpx FLIGHT: the window's exports of a flight, under the folder's settings; one
// command for each export of the table that has a writer.
#include <filesystem>

#include "base/error.h"
#include "cli/cli.h"
#include "export/exports.h"
#include "replay/replay.h"

namespace krelby::cli {

void RequireFlightData(const ChecksumOptions& checks, const std::string& flight) {
    std::error_code ec;
    if (!std::filesystem::exists(PathOf(flight), ec)) return;  // the export says it cannot open it
    InputFile file = OpenFlight(flight);  // a special file is refused here by its name
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
    const auto write = [&](const std::string& path) {
        return e.write(flight, folder.Inputs(), folder.regional, path, nullptr);
    };
    if (out && ToStandardOutput(*out)) {
        WriteToStandardOutput([&](const std::string& path) { write(path); });
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
    return {e.name,
            e.toExportsFolder ? "FLIGHT [--folder DIR] [-o FILE] [-q]" : "FLIGHT -o FILE [--folder DIR]",
            e.summary,
            [&e](const Args& args) { return Export(e, args); },
            {"--folder", "-o"},
            "FLIGHT",
            !e.toExportsFolder};
}

// The CSV first, as krelby-cli has always listed it, then the others in the table's order.
const bool registered = [] {
    Register{CommandOf(*ExportNamed("csv"))};
    for (const ExportInfo& e : Exports())
        if (e.write && std::string_view(e.name) != "csv") Register{CommandOf(e)};
    return true;
}();

}  // namespace
}  // namespace krelby::cli
