// table FLIGHT...: the flight as a table for analysts' tools, one row per flight message,
// with an ISO 8601 time and every item's unit in the header.
#include "cli/cli.h"
#include "export/exports.h"
#include "export/table_export.h"

namespace krelby::cli {
namespace {

TableFormat FormatOf(const Args& args) {
    const std::string f = args.Option("--format").value_or("csv");
    if (f == "csv") return TableFormat::Csv;
    if (f == "tsv") return TableFormat::Tsv;
    if (f == "jsonl") return TableFormat::JsonLines;
    throw UsageError("Invalid --format " + f + " (csv, tsv or jsonl)");
}

UnitSystem UnitsOf(const Args& args) {
    const std::string u = args.Option("--units").value_or("chosen");
    if (u == "recorded") return UnitSystem::Recorded;
    if (u == "chosen") return UnitSystem::Chosen;
    if (u == "si") return UnitSystem::Si;
    throw UsageError("Invalid --units " + u + " (recorded, chosen or si)");
}

std::string Joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += (out.empty() ? "" : ", ") + n;
    return out;
}

// The columns asked for; unknown names are a mistake in the command line, told with the
// names there are under the folder's thermocouple kinds.
TableOptions OptionsOf(const Args& args, const ThermocoupleKinds& kinds) {
    TableOptions options;
    options.format = FormatOf(args);
    options.units = UnitsOf(args);
    const auto items = args.Option("--items");
    if (items && args.Flag("--all")) throw UsageError("--items and --all cannot be given together");
    if (args.Flag("--all")) options.items = TableOptions::Items::All;
    if (!items) return options;
    std::vector<std::string> unknown;
    options.items = TableOptions::Items::Listed;
    options.listed = TableItemsNamed(*items, kinds, unknown);
    if (!unknown.empty()) {
        std::vector<std::string> valid;
        for (const TableItem& c : AllTableItems()) valid.emplace_back(TitleOf(c, kinds));
        throw UsageError(std::string(unknown.size() == 1 ? "Unknown item " : "Unknown items ") + Joined(unknown) +
                         "; the items are: " + Joined(valid));
    }
    if (options.listed.empty()) throw UsageError("--items needs series titles: PALT,ASI,EGT1_1");
    return options;
}

int Table(const Args& args) {
    FormatOf(args);  // a mistake in the command line before any file is read
    UnitsOf(args);
    const FolderSettings folder = ReadFolderSettings(args);
    const TableOptions options = OptionsOf(args, folder.settings.thermocouples);
    const std::string& flight = args.positional[0];
    RequireFlightData(folder.checks, flight);
    WriteExport(args.Option("-o").value_or("-"),
                [&](const std::string& path) { TableExport(flight, folder.Inputs(), path, options); });
    return 0;
}

BatchSuffixFn TableSuffix() {
    return [](const Args& args) {
        const TableFormat f = FormatOf(args);
        return std::string(f == TableFormat::Csv ? ".table.csv" : f == TableFormat::Tsv ? ".table.tsv" : ".table.jsonl");
    };
}

const ExportInfo& kTable = *ExportNamed("table");
const Register reg(Batch({kTable.name,
                          "FLIGHT... [--all-flights] [--items LIST | --all] [--units recorded|chosen|si] "
                          "[--format csv|tsv|jsonl] [-o FILE | -d DIR] [--folder DIR]",
                          kTable.summary, Table, {"--folder", "-o", "--items", "--all", "--units", "--format"},
                          "FLIGHT"},
                         TableSuffix()));

}  // namespace
}  // namespace krelby::cli
