// The analysis table: one row per FlightMessage, as the CSV export has them, for the tools
// analysts use (pandas, spreadsheets, sqlite3): an ISO 8601 time, every item with its unit
// in the header, "." decimals in every locale, LF line ends, empty where no value came.
#pragma once
#include <string>
#include <vector>

#include "base/regional.h"
#include "export/table_columns.h"
#include "replay/replay.h"
#include "replay/sink.h"

namespace krelby {

enum class TableFormat : uint8_t { Csv, Tsv, JsonLines };

struct TableOptions {
    enum class Items : uint8_t {
        Charted,  // the items the chart draws (ticked, the first 16 the flight holds), and the position when ticked
        All,      // every item the flight holds
        Listed,   // `listed`, in its order, whether the flight holds them or not
    };
    Items items = Items::Charted;
    std::vector<TableItem> listed;
    UnitSystem units = UnitSystem::Chosen;
    TableFormat format = TableFormat::Csv;
};

// Writes the table of `flight` to `out`. Each row holds the time of a FlightMessage and, in
// each column, the last value decoded from it until the next one (values before the first
// go to the first row); a column without one there is empty (null in JSON Lines). With the
// window's options (the items charted, in the units chosen) both replays also feed `chart`
// when given; otherwise `chart` is left alone. Throws krelby::Error on a file or replay
// error; nothing is left at `out` then.
void TableExport(const std::string& flight, const ReplayInputs& in, const std::string& out,
                 const TableOptions& options = {}, ReplaySink* chart = nullptr);

}  // namespace krelby
