// Takeoff and cruise figures of a flight: what the engine made at takeoff, and its means over
// the longest steady stretch of level flight. All values in the recording's own units (°C,
// bar as raw / 10000, l/h as FuelFlow / 100, rpm, ft, kt as 0.1 km/h / 1.852), unrounded.
#pragma once
#include <array>
#include <cstdint>
#include <utility>
#include <optional>
#include <vector>

#include "logbook/flight_record.h"
#include "settings/records.h"

namespace krelby {

// A figure of one thermocouple input.
struct InputFigure {
    int input = 0;  // 1 to 12
    double value = 0;
    bool operator==(const InputFigure&) const = default;
};

// The greatest values of a monitor around takeoff.
struct TakeoffEngine {
    std::optional<int32_t> rpmMax;
    std::optional<double> mapMaxBar, ffMaxLph;
    std::vector<InputFigure> egtMax, chtMax;  // °C, by the thermocouple kinds, in input order
    bool operator==(const TakeoffEngine&) const = default;
};

// The cruise: a stretch of consecutive FlightMessages of the flight record.
struct CruiseStretch {
    size_t first = 0, last = 0;  // indices into FlightRecord::flight
    int64_t start = 0, end = 0;  // their times
    double paltFt = 0, iasKt = 0;  // means over its FlightMessages
    int64_t DurationS() const { return end - start; }
    bool operator==(const CruiseStretch&) const = default;
};

// A monitor's means over the messages whose time lies in the cruise.
struct CruiseEngine {
    std::optional<double> rpm, mapBar, ffLph, oilTempC, oilPressureBar;
    std::vector<InputFigure> egt, cht;  // °C, by the thermocouple kinds, in input order
    std::array<std::optional<int>, 12> greatest;  // every input's greatest reading, for the kinds guess
    bool operator==(const CruiseEngine&) const = default;
};

constexpr int64_t kTakeoffBeforeS = 30, kTakeoffAfterS = 60;
constexpr int kCruiseVsiFpm = 300;     // |VSI| at most this
constexpr int64_t kCruiseStepS = 60;   // from one FlightMessage to the next: more than 0, at most this
constexpr int64_t kCruiseMinS = 300;   // last time minus first at least this

// The kind of input n (1 to 12) of `monitor` (1 to 4); any value but EGT and CHT is Other.
inline uint8_t KindOf(const ThermocoupleKinds& kinds, int monitor, int n) {
    const uint8_t k = kinds[size_t(12 * (monitor - 1) + n - 1)];
    return k == EGT || k == CHT ? k : uint8_t{Other};
}

// The messages that may lie in [from, to]: of messages in the order of their times only those
// between the two (found by halving), else all.
std::pair<size_t, size_t> RowsOfTime(const std::vector<EnginePoint>& points, bool inTimeOrder, int64_t from,
                                     int64_t to);

// Over the monitor's messages whose time lies in [takeoff - 30 s, takeoff + 60 s].
TakeoffEngine TakeoffFigures(const std::vector<EnginePoint>& points, bool inTimeOrder, int64_t takeoff,
                             const ThermocoupleKinds& kinds, int monitor);

// The longest stretch, from takeoff to landing, of consecutive FlightMessages with |VSI| <= 300
// and steps of more than 0 and at most 60 s, lasting at least 300 s; the earliest of equals.
std::optional<CruiseStretch> FindCruise(const FlightRecord& record);

// Over the monitor's messages whose time lies in [cruise.start, cruise.end].
CruiseEngine CruiseFigures(const std::vector<EnginePoint>& points, bool inTimeOrder, const CruiseStretch& cruise,
                           const ThermocoupleKinds& kinds, int monitor);

// Decoded values as the figures use them.
inline double Bar(uint16_t raw) { return raw / 10000.0; }
inline double LitresPerHour(uint16_t raw) { return raw / 100.0; }
inline double Knots(uint16_t asi) { return asi / 10.0 / 1.852; }

}  // namespace krelby
