// Flight file names: the start of the flight as "d/m/yy hh:mm:ss" with the regional
// separators, "/" turned into "-", ":" left out, ".FLT" appended; midnight has no time.
#pragma once
#include <set>
#include <string>

#include "base/regional.h"

namespace krelby {

// 09:41:07 on 5 March 2014 -> "5-3-14 094107.FLT"; midnight that day -> "5-3-14.FLT".
std::string FlightFileName(double t, const Regional& regional);

// Hands out the flight file names of one import in one folder. A name already handed out by
// this import gets " (2)", " (3)" ... so two flights starting in the same second both stay.
// A file of the chosen name left by an earlier import is replaced when the new one is
// complete (the flight file writer renames over it), never deleted beforehand.
class FlightFileNamer {
public:
    FlightFileNamer(std::string folderPath, Regional regional)
        : folderPath_(std::move(folderPath)), regional_(regional) {}
    // The chosen file name, without folder.
    std::string Next(double t);

private:
    std::string folderPath_;  // ends in '/'
    Regional regional_;
    std::set<std::string> taken_;
};

}  // namespace krelby
