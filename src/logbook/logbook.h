// The logbook: a summary of every flight file of the program folder, kept in an SQLite
// database beside them so that a listing recomputes only new and changed flights.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "logbook/summary.h"

namespace krelby {

struct LogbookEntry {
    std::string file;  // relative to the program folder: "Flights_INT/5-3-14 094117.FLT"
    FlightSummary summary;
    bool readable = true;  // false: the flight file could not be read, its figures are empty
};

struct LogbookOptions {
    // Each entry as it is known, with how many of how many are done.
    std::function<void(const LogbookEntry&, size_t done, size_t total)> onEntry;
    // Asked between flights; true ends the listing with what is known so far.
    std::function<bool()> cancelled;
    // A flight that cannot be read, or a database that cannot be used.
    std::function<void(const std::string&)> warn;
};

// The database's file name in the program folder.
inline constexpr const char* kLogbookDatabase = "Logbook.sqlite";

// Every flight file in Flights_INT and Flights_SD, sorted by start, then by file (flights
// without a start last). The database is only a cache: missing, corrupt, of an older
// version or locked, it is rebuilt or passed over; no flight file is ever written.
std::vector<LogbookEntry> ListFlights(const std::string& programFolder, const ThermocoupleKinds& kinds,
                                      const LogbookOptions& options = {});

// The listing as CSV: a header line, then a line per entry (RFC 4180, "." decimals, LF).
std::string LogbookCsv(const std::vector<LogbookEntry>& entries);
// Saves LogbookCsv to `path`, whole or not at all; throws krelby::Error
// ("Unable to write to PATH").
void SaveLogbookCsv(const std::string& path, const std::vector<LogbookEntry>& entries);

}  // namespace krelby
