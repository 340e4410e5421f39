// flights: the logbook of the folder's flight files as CSV on stdout.
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "base/error.h"
#include "base/file.h"
#include "cli/cli.h"
#include "logbook/columns.h"
#include "logbook/logbook.h"

namespace krelby::cli {
namespace {

int Flights(const Args& args) {
    const FolderSettings folder = ReadFolderSettings(args);
    // A mistyped folder would otherwise list as a folder without flights.
    std::error_code ec;
    if (!std::filesystem::is_directory(PathOf(folder.folder), ec)) {
        // One that exists but may not be looked into is not "not found".
        if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory)
            throw Error("Cannot use " + folder.folder + " as the program folder: " + ec.message());
        throw Error("Folder not found: " + folder.folder);
    }
    std::string csv;
    {
        ProgressLine progress(args, "Reading flights");
        LogbookOptions options;
        options.warn = Warn;
        options.onEntry = [&progress](const LogbookEntry&, size_t done, size_t total) { progress.Show(done, total); };
        csv = LogbookCsv(ListFlights(folder.folder, folder.settings.thermocouples, folder.settings.limits, options));
    }
    if (std::fwrite(csv.data(), 1, csv.size(), stdout) != csv.size())
        throw Error(UnableToWriteTo(kStandardOutput, SystemErrorText(errno)));
    return 0;
}

const Register reg({"flights", "[--folder DIR] [-q]",
                    "Lists every flight of the folder with its times, distance and extremes, as CSV.", Flights,
                    {"--folder"}});

}  // namespace
}  // namespace krelby::cli
