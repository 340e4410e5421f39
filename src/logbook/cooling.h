// How fast a cylinder head cooled: at each message, the highest value of the input over the
// monitor's messages of the last 60 s (time in [t - 60, t]) minus its value now, per minute of
// the time those messages span (at least 10 s, else the message has no rate).
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "logbook/flight_record.h"
#include "settings/records.h"

namespace krelby {

constexpr int64_t kCoolingWindowS = 60;
constexpr int64_t kCoolingMinSpanS = 10;

struct CoolingRate {
    int input = 0;        // 1 to 12
    int32_t drop = 0;     // °C below the window's highest value
    int64_t spanS = 0;    // the time the window's messages span
    int64_t time = 0;     // of the message
    size_t index = 0;     // of the message in the monitor's points
    // °C per minute, unrounded.
    double CPerMin() const { return double(drop) / (double(spanS) / 60.0); }
    // Compared exactly, as the fractions they are.
    bool FasterThan(const CoolingRate& o) const { return int64_t{drop} * o.spanS > int64_t{o.drop} * spanS; }
    bool operator==(const CoolingRate&) const = default;
};

// Calls `each` with every message of input n (1 to 12) that has a rate: in the order of
// their times, messages of the same time in file order. For a limit on the rate (the minutes
// beyond it) as much as for its greatest value.
void ForEachCoolingRate(const std::vector<EnginePoint>& points, int n,
                        const std::function<void(const CoolingRate&)>& each);

// The greatest rate of each CHT input that has one, in input order; the first of equals.
std::vector<CoolingRate> GreatestCoolingRates(const std::vector<EnginePoint>& points,
                                              const ThermocoupleKinds& kinds, int monitor);

// What one pass over a monitor's messages gives: each input's greatest reading, and each
// input's greatest cooling rate (as GreatestCoolingRates gives them for the CHT inputs).
struct EnginePass {
    std::array<std::optional<int>, 12> greatest;
    std::array<std::optional<CoolingRate>, 12> fastest;
};

// Follows a monitor's messages as the replay records them, while each is still in the cache:
// all 12 inputs go through one window at once. Only for messages in the order of their times
// that hold all 12 inputs (nearly every flight's); otherwise it gives up and GreatestOver and
// GreatestCoolingRates do the work.
class EngineTracker {
public:
    EngineTracker();
    ~EngineTracker();
    EngineTracker(EngineTracker&&) noexcept;
    EngineTracker& operator=(EngineTracker&&) noexcept;
    // Before the first message: the inputs (a bit each, input n at bit n - 1) whose cooling
    // rates are wanted; all by default.
    void RateOnly(uint16_t inputs);
    // The message at `index` of the monitor's points, in file order.
    void Add(const EnginePoint& point, size_t index);
    // After the last message; none when the tracker gave up.
    std::optional<EnginePass> End(const std::vector<EnginePoint>& points);

private:
    struct State;
    std::unique_ptr<State> s_;
};

// The greatest rates of the CHT inputs, in input order.
std::vector<CoolingRate> CoolingOfKind(const EnginePass& pass, const ThermocoupleKinds& kinds, int monitor);

}  // namespace krelby
