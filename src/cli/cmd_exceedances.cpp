// exceedances FLIGHT: every run beyond the pilot's limits of the folder's Krelby.INI, as CSV.
#include <cerrno>
#include <cstdio>

#include "base/error.h"
#include "cli/cli.h"
#include "logbook/exceedance_outputs.h"

namespace krelby::cli {
namespace {

int Exceedances(const Args& args) {
    const FolderSettings folder = ReadFolderSettings(args);
    // A file without one tested Frame is no flight: saying so beats a bare header.
    RequireFlightData(ChecksumOptions{}, args.positional[0]);
    // Written as it comes, a batch at a time: a flight of millions of runs needs no more memory.
    WriteExceedancesCsv(args.positional[0], folder.settings.thermocouples, folder.settings.limits,
                        [](std::string_view text) {
                            if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
                                throw Error(UnableToWriteTo(kStandardOutput, SystemErrorText(errno)));
                        });
    return 0;
}

const Register reg({"exceedances", "FLIGHT [--folder DIR]",
                    "Lists every exceedance of the limits in Krelby.INI's [Limits] section, as CSV.", Exceedances,
                    {"--folder"}, "FLIGHT"});

}  // namespace
}  // namespace krelby::cli
