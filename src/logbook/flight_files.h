// The flight files a logbook listing covers, and what tells a file from the one a cached
// summary was made of.
#pragma once
#include <string>
#include <vector>

#include "base/file.h"
#include "settings/records.h"

namespace krelby {

// A file's cached summary holds while the file, the thermocouple kinds and the limits are as
// they were.
struct FlightStamp {
    FileStamp file;
    std::string kinds;  // SummaryStampKey: the thermocouple kinds and the limits
    bool operator==(const FlightStamp&) const = default;
};

struct FlightFile {
    std::string relative, path;
    FlightStamp stamp;
};

// The thermocouple kinds and the limits as the part of the stamp that they are.
std::string SummaryStampKey(const ThermocoupleKinds& kinds, const Limits& limits = {});
// Every regular file named *.FLT (any case, not hidden) in Flights_INT and Flights_SD of
// `folder` (ending in '/'), by relative path.
std::vector<FlightFile> FindFlightFiles(const std::string& folder, const std::string& kinds);

}  // namespace krelby
