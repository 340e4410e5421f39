// How fast a cylinder head cooled: at each message, the highest value of the input over the
// monitor's messages of the last 60 s (time in [t - 60, t]) minus its value now, per minute of
// the time those messages span (at least 10 s, else the message has no rate).
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "logbook/flight_record.h"
#include "settings/records.h"

namespace krelby {

constexpr int64_t kCoolingWindowS = 60;
constexpr int64_t kCoolingMinSpanS = 10;

struct CoolingRate {
    int input = 0;        // 1 to 12
    double cPerMin = 0;   // °C per minute, unrounded
    int64_t time = 0;     // of the message
    size_t index = 0;     // of the message in the monitor's points
};

// Calls `each` with every message of input n (1 to 12) that has a rate: in the order of
// their times, messages of the same time in file order. For a limit on the rate (the minutes
// beyond it) as much as for its greatest value.
void ForEachCoolingRate(const std::vector<EnginePoint>& points, int n,
                        const std::function<void(const CoolingRate&)>& each);

// The greatest rate of each CHT input that has one, in input order; the first of equals.
std::vector<CoolingRate> GreatestCoolingRates(const std::vector<EnginePoint>& points,
                                              const ThermocoupleKinds& kinds, int monitor);

}  // namespace krelby
