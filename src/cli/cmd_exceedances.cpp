// exceedances FLIGHT...: every run beyond the pilot's limits of the folder's Krelby.INI, as
// CSV or JSON.
#include <optional>

#include "base/error.h"
#include "cli/cli.h"
#include "cli/json_rows.h"
#include "logbook/exceedance_outputs.h"

namespace krelby::cli {

// --format csv|json (flights, exceedances): whether JSON; a UsageError for anything else.
bool JsonFormat(const Args& args) {
    const std::string format = args.Option("--format").value_or("csv");
    if (format != "csv" && format != "json") throw UsageError("Invalid --format " + format + " (csv or json)");
    return format == "json";
}

namespace {

int Exceedances(const Args& args) {
    const bool json = JsonFormat(args);
    const FolderSettings folder = ReadFolderSettings(args);
    // A file without one tested Frame is no flight: saying so beats a bare header.
    RequireFlightData(ChecksumOptions{}, args.positional[0]);
    TextOutput out(args.Option("-o"), args.positional[0]);
    std::optional<CsvToJson> converter;
    if (json) {
        const auto isText = [](std::string_view c) { return c == "item" || c == "limit_kind" || c == "start" || c == "end"; };
        converter.emplace(isText, [&out](std::string_view text) { out.Write(text); });
    }
    // Written as it comes, a batch at a time: a flight of millions of runs needs no more memory.
    WriteExceedancesCsv(args.positional[0], folder.settings.thermocouples, folder.settings.limits,
                        [&](std::string_view text) { converter ? converter->Feed(text) : out.Write(text); });
    if (converter) converter->Finish();
    out.Close();
    return 0;
}

BatchSuffixFn ExceedancesSuffix() {
    return [](const Args& args) { return JsonFormat(args) ? std::string(".exceedances.json") : ".exceedances.csv"; };
}

const Register reg(Batch({"exceedances", "FLIGHT... [--all-flights] [--format csv|json] [-o FILE | -d DIR] [--folder DIR]",
                          "Lists every exceedance of the limits in Krelby.INI's [Limits] section, as CSV or JSON.",
                          Exceedances, {"--folder", "-o", "--format"}, "FLIGHT"},
                         ExceedancesSuffix()));

}  // namespace
}  // namespace krelby::cli
