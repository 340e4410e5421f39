// analysis FLIGHT...: the engine analysis of a flight (takeoff, cruise, cooling, sweeps, and
// the exceedances of the folder's limits) as one JSON document.
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
    TextOutput out(args.Option("-o"), flight);
    out.Write(json);
    out.Close();
    return 0;
}

const Register reg(Batch({"analysis", "FLIGHT... [--all-flights] [-o FILE | -d DIR] [--folder DIR]",
                          "Prints the engine analysis of a flight (takeoff, cruise, cooling, mixture sweeps, "
                          "exceedances) as JSON.",
                          Analysis, {"--folder", "-o"}, "FLIGHT"},
                         Suffix("analysis.json")));

}  // namespace
}  // namespace krelby::cli
