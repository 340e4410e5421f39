// The logbook's columns as one table: the CSV of `krelby-cli flights`, the database's
// columns and the window's table all read it; and the CSV itself.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logbook/logbook.h"
#include "logbook/summary.h"

namespace krelby {

enum class Quantity { Time, Duration, Distance, Altitude, Speed, VerticalSpeed, Acceleration, Fuel, Rpm,
                      Temperature, TemperatureDifference, Pressure, Count };

struct LogbookColumn {
    std::string_view name;  // as in the CSV header and the database
    Quantity quantity;
    int decimals;           // in the CSV; a time is written as YYYY-MM-DDTHH:MM:SS
    int monitor;            // 1 to 4 for an engine figure, else 0
    std::optional<double> (*get)(const FlightSummary&);
    void (*set)(FlightSummary&, std::optional<double>);
};

// Every column after "file", in the order of the CSV.
const std::vector<LogbookColumn>& LogbookColumns();

// One field of the CSV: a time, or the number with the column's decimals, "" when empty.
std::string LogbookText(const LogbookColumn& column, const FlightSummary& summary);

// The listing as CSV: a header line, then a line per entry (RFC 4180, "." decimals, LF).
std::string LogbookCsv(const std::vector<LogbookEntry>& entries);
// Saves LogbookCsv to `path`, whole or not at all; throws krelby::Error ("Unable to write to
// PATH"), and refuses a `path` that leads to one of the entries' flight files or the database
// in `programFolder` (by name or link), which it would destroy.
void SaveLogbookCsv(const std::string& path, const std::vector<LogbookEntry>& entries,
                    const std::string& programFolder);

}  // namespace krelby
