// flights: the logbook of the folder's flight files as CSV on stdout.
#include <cerrno>
#include <cstdio>

#include "base/error.h"
#include "base/file.h"
#include "cli/cli.h"
#include "logbook/columns.h"
#include "logbook/logbook.h"

namespace krelby::cli {
namespace {

int Flights(const Args& args) {
    const FolderSettings folder = ReadFolderSettings(args);
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
