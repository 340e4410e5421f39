// analysis FLIGHT: the engine analysis of a flight (takeoff, cruise, cooling, sweeps, and the
// exceedances of the folder's limits) as one JSON document.
#include <cerrno>
#include <cstdio>

#include "base/error.h"
#include "cli/cli.h"
#include "logbook/analysis_json.h"

namespace krelby::cli {
namespace {

int Analysis(const Args& args) {
    const FolderSettings folder = ReadFolderSettings(args);
    const std::string& flight = args.positional[0];
    RequireFlightData(ChecksumOptions{}, flight);
    const std::string json = AnalysisJson(flight, AnalyzeFlight(flight, folder.settings), folder.settings);
    if (std::fwrite(json.data(), 1, json.size(), stdout) != json.size())
        throw Error(UnableToWriteTo(kStandardOutput, SystemErrorText(errno)));
    return 0;
}

const Register reg({"analysis", "FLIGHT [--folder DIR]",
                    "Prints the engine analysis of a flight (takeoff, cruise, cooling, mixture sweeps, "
                    "exceedances) as JSON.",
                    Analysis, {"--folder"}, "FLIGHT"});

}  // namespace
}  // namespace krelby::cli
