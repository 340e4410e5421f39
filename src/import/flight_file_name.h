// Flight file names: the start of the flight as "d/m/yy hh:mm:ss" with the regional
// separators, "/" turned into "-", ":" left out, ".FLT" appended; midnight has no time.
#pragma once
#include <string>
#include <string_view>

#include "base/regional.h"

namespace krelby {

// 09:41:07 on 5 March 2014 -> "5-3-14 094107.FLT"; midnight that day -> "5-3-14.FLT".
std::string FlightFileName(double t, const Regional& regional);
// Whether `name` is one FlightFileName or FlightFileNamer makes, with any separators
// ("5-3-14 094107.FLT", "5.3.14.FLT", "5-3-14 094107 (2).FLT").
bool IsFlightFileName(std::string_view name);

}  // namespace krelby
