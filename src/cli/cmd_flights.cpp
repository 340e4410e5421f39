// flights: the logbook of the folder's flight files as CSV on stdout.
#include <cstdio>
#include <stdexcept>

#include "cli/cli.h"
#include "logbook/logbook.h"

namespace krelby::cli {
namespace {

int Flights(const Args& args) {
    if (!args.positional.empty()) throw UsageError("flights takes no file");
    const Session session = FolderSession(args);
    LogbookOptions options;
    options.warn = [](const std::string& text) { std::fprintf(stderr, "warning: %s\n", text.c_str()); };
    const std::string csv = LogbookCsv(ListFlights(session.ProgramFolder, session.settings.thermocouples, options));
    if (std::fwrite(csv.data(), 1, csv.size(), stdout) != csv.size() || std::fflush(stdout) != 0)
        throw std::runtime_error("Unable to write the output");
    return 0;
}

const Register reg({"flights", "[--folder DIR]",
                    "Lists every flight of the folder with its times, distance and extremes, as CSV.", Flights, {},
                    {"--folder"}});

}  // namespace
}  // namespace krelby::cli
