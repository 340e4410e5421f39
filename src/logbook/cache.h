// The logbook's cache: the summaries of the flight files in an SQLite database beside them,
// so that a listing makes only those of new and changed files. It is ours or left alone: a
// file of its name that is not ours is never written; ours, damaged, is set aside; busy, it
// is passed over. Each of these is said once through `warn`, and the listing goes on without.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "logbook/flight_files.h"
#include "logbook/summary.h"

namespace krelby {

class LogbookCache {
public:
    using Rows = std::map<std::string, std::pair<FlightStamp, FlightSummary>>;
    using Added = std::vector<std::pair<const FlightFile*, const FlightSummary*>>;

    LogbookCache(const std::string& path, std::function<void(const std::string&)> warn);
    ~LogbookCache();
    LogbookCache(const LogbookCache&) = delete;
    LogbookCache& operator=(const LogbookCache&) = delete;

    // The cached rows of `files`, by relative path (a row holds while its stamp is the file's).
    Rows Load(const std::vector<FlightFile>& files);
    // Stores the summaries made anew and forgets the files that are gone.
    void Save(const Added& added);

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace krelby
