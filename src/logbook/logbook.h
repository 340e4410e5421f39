// The logbook: a summary of every flight file of the program folder, kept in an SQLite
// database beside them so that a listing recomputes only new and changed flights.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "base/program_folder.h"  // kLogbookDatabase, the database's file name
#include "logbook/summary.h"

namespace krelby {

struct LogbookEntry {
    std::string file;  // relative to the program folder: "Flights_INT/5-3-14 094117.FLT"
    // Every flight file of this flight, `file` first (JoinCopies). A single file has itself alone.
    std::vector<std::string> copies;
    FlightSummary summary;
    bool readable = true;  // false: the flight file could not be read, its figures are empty
    // A file without a single good Frame holds no flight: it is listed after the flights,
    // with empty figures, and counted in no total.
    bool IsFlight() const { return readable && summary.frames > 0; }
    size_t Copies() const { return copies.empty() ? 1 : copies.size(); }
};

struct LogbookOptions {
    // Each file's entry as it is known (copies not yet joined), with how many of how many are done.
    std::function<void(const LogbookEntry&, size_t done, size_t total)> onEntry;
    // Asked between flights; true ends the listing with what is known so far.
    std::function<bool()> cancelled;
    // A flight that cannot be read, or a database that cannot be used.
    std::function<void(const std::string&)> warn;
};

// Every flight of the flight files in Flights_INT and Flights_SD, one entry for its copies
// (JoinCopies, copies.h). The database is only a cache: missing or of an older version, it is made
// anew; damaged, it is set aside as "Logbook.sqlite.damaged"; busy, or a file that is not
// ours, it is passed over (and said so through `warn`). No flight file is ever written.
// Each flight's exceedances of `limits` are counted in the same pass (none when no limit is set).
std::vector<LogbookEntry> ListFlights(const std::string& programFolder, const ThermocoupleKinds& kinds,
                                      const Limits& limits, const LogbookOptions& options = {});
inline std::vector<LogbookEntry> ListFlights(const std::string& programFolder, const ThermocoupleKinds& kinds,
                                             const LogbookOptions& options = {}) {
    return ListFlights(programFolder, kinds, Limits{}, options);
}

namespace testing {
// When set, called in place of SummarizeFlight by the listing's workers (a seam for tests
// that make a worker fail).
extern FlightSummary (*summarizeFlight)(const std::string& path, const ThermocoupleKinds& kinds, const Limits& limits);
}  // namespace testing

}  // namespace krelby
