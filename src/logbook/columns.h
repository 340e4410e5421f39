// The logbook's columns as one table: the CSV of `krelby-cli flights`, the database's
// columns and the window's table (its headings, units and texts) all read it; and the CSV
// itself. A new column is one row here and its FlightSummary member.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logbook/logbook.h"
#include "logbook/summary.h"
#include "settings/records.h"

namespace krelby {

enum class Quantity { Time, Duration, Distance, Altitude, Speed, VerticalSpeed, Acceleration, Fuel, Rpm,
                      Temperature, TemperatureDifference, Pressure, Count,
                      ManifoldPressure,  // bar, shown in the MAP unit
                      FuelFlow,          // l/h, shown in the liquid unit per hour
                      CoolingRate };     // °C per minute, a difference of temperatures

struct LogbookColumn {
    std::string_view name;   // as in the CSV header and the database
    std::string_view title;  // the window's heading, before the monitor number and the unit
    Quantity quantity;
    int decimals;           // in the CSV; a time is written as YYYY-MM-DDTHH:MM:SS
    int monitor;            // 1 to 4 for an engine figure, else 0
    std::optional<double> (*get)(const FlightSummary&);
    void (*set)(FlightSummary&, std::optional<double>);
};

// Every column after "file", in the order of the CSV.
const std::vector<LogbookColumn>& LogbookColumns();

// "Max RPM 2": the title, with the monitor number of an engine figure.
std::string LogbookTitle(const LogbookColumn& column);

// How the window shows a figure of `quantity` in the units chosen in Options (the summary
// keeps ft, kt, fpm, °C, bar, litres, l/h, nm): value * factor + offset, with `decimals`. A
// time, a duration and a count have no unit (factor 1).
struct LogbookUnit {
    std::string_view symbol;  // "ft", "°C"; empty for none
    double factor = 1, offset = 0;
    int decimals = 0;
};
LogbookUnit ShownAs(Quantity quantity, const UnitSettings& units);
// "Max pressure altitude (m)": the title and the unit shown, if any.
std::string LogbookHeading(const LogbookColumn& column, const UnitSettings& units);
// A duration as the window shows it, whole seconds: "1:05:09", "100:00:00".
std::string LogbookDuration(double seconds);

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
