// flights: the logbook of the folder's flight files as CSV or JSON on stdout.
#include <cerrno>
#include <cstdio>

#include "base/error.h"
#include "base/file.h"
#include "cli/cli.h"
#include "cli/json_rows.h"
#include "logbook/columns.h"
#include "logbook/logbook.h"

namespace krelby::cli {
namespace {

// The logbook's text columns: the file and the times; every other one is a number.
bool IsTextColumn(std::string_view name) {
    if (name == "file") return true;
    for (const LogbookColumn& c : LogbookColumns())
        if (c.name == name) return c.quantity == Quantity::Time;
    return false;
}

int Flights(const Args& args) {
    const bool json = JsonFormat(args);
    const FolderSettings folder = ReadFolderSettings(args);
    std::string csv;
    {
        ProgressLine progress(args, "Reading flights");
        LogbookOptions options;
        options.warn = Warn;
        options.onEntry = [&progress](const LogbookEntry&, size_t done, size_t total) { progress.Show(done, total); };
        csv = LogbookCsv(ListFlights(folder.folder, folder.settings.thermocouples, folder.settings.limits, options));
    }
    const auto print = [](std::string_view text) {
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
            throw Error(UnableToWriteTo(kStandardOutput, SystemErrorText(errno)));
    };
    if (!json) {
        print(csv);
        return 0;
    }
    CsvToJson converter(IsTextColumn, print);
    converter.Feed(csv);
    converter.Finish();
    return 0;
}

const Register reg({"flights", "[--format csv|json] [--folder DIR] [-q]",
                    "Lists every flight of the folder with its times, distance and extremes, as CSV or JSON.",
                    Flights, {"--folder", "--format"}});

}  // namespace
}  // namespace krelby::cli
