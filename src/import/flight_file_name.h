// Flight file names: the start of the flight as "d/m/yy hh:mm:ss" with the regional
// separators, "/" turned into "-", ":" left out, ".FLT" appended; midnight has no time.
#pragma once
#include <string>
#include <string_view>
#include <unordered_map>

#include "base/regional.h"

namespace krelby {

// 09:41:07 on 5 March 2014 -> "5-3-14 094107.FLT"; midnight that day -> "5-3-14.FLT".
std::string FlightFileName(double t, const Regional& regional);
// Whether `name` is one FlightFileName or FlightFileNamer makes, with any separators
// ("5-3-14 094107.FLT", "5.3.14.FLT", "5-3-14 094107 (2).FLT").
bool IsFlightFileName(std::string_view name);

// Hands out the flight file names of one import in one folder. Flights starting in the same
// second are X, X (2), X (3) ... in recording order. A finished flight takes the next name of
// its start whose file is free or holds an earlier copy of the same flight (its bytes are a
// prefix of the new flight's: the same recording imported again, or grown since); a file
// holding anything else is another flight and keeps its name. One counter per start keeps
// this linear in the number of flights.
class FlightFileNamer {
public:
    FlightFileNamer(std::string folderPath, Regional regional)
        : folderPath_(std::move(folderPath)), regional_(regional) {}

    const std::string& Folder() const { return folderPath_; }
    // The first name a flight starting at `t` may get, without folder.
    std::string FirstName(double t) const { return FlightFileName(t, regional_); }
    // The name the flight starting at `t`, written to the file `written`, takes; without
    // folder. With `partial` (a flight cut short by an error) an earlier file that already
    // holds all of it and more is kept: the result is then empty and nothing is to be written.
    std::string Place(double t, const std::string& written, bool partial = false);

private:
    std::string folderPath_;  // ends in '/'
    Regional regional_;
    std::unordered_map<std::string, int> next_;  // stem -> number of its next name (1: no number)
};

}  // namespace krelby
