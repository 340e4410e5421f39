// The lean test: mixture sweeps found in a monitor's messages, and for each the fuel flow at
// which every EGT input peaked, the cylinder that peaked first (richest) and last, and the
// spread between them: how evenly the injectors feed the cylinders.
//
// A sweep is the pilot leaning slowly at steady power: the fuel flow falls by at least 1.5 l/h
// over at least 90 s while the RPM stays within 50 and the manifold pressure within 0.03 bar of
// their values at its start, and the EGTs rise to a peak and fall again (or stop at the peak
// at the lean end). A leaning whose EGTs all go on rising (to best power, rich of peak) is no
// sweep: no input peaked.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "logbook/flight_record.h"
#include "settings/records.h"

namespace krelby {

struct SweepPeak {
    int input = 0;        // 1 to 12
    bool peaked = false;  // else "no peak": the input did not rise, top and fall (or stop) in the sweep
    double peakC = 0;     // the top of the EGT's curve over the fuel flow, °C
    double ffLph = 0;     // the fuel flow at that top
    int64_t time = 0;     // of the message whose fuel flow is nearest to it
    bool operator==(const SweepPeak&) const = default;
};

struct Sweep {
    size_t first = 0, last = 0;    // the monitor's points at the rich and the lean end
    int64_t start = 0, end = 0;    // their times
    double richLph = 0, leanLph = 0;  // the (smoothed) fuel flow at either end
    double rpm = 0, mapBar = 0;    // at the start
    std::vector<SweepPeak> inputs;  // every EGT input the messages hold, in input order
    // When every one of two or more EGT inputs peaked: the input that peaked at the richest
    // fuel flow, the one at the leanest, and the fuel flow of the first minus that of the last.
    std::optional<int> firstInput, lastInput;
    std::optional<double> spreadLph;
    bool operator==(const Sweep&) const = default;
};

// The detection's constants (l/h, s, rpm, raw 1/10000 bar, °C).
namespace sweep {
constexpr double kMinFallLph = 1.5;
// What the smoothed flow may fall short of kMinFallLph: the flow meter's noise.
constexpr double kFallToleranceLph = 0.05;
constexpr int64_t kMinSeconds = 90;
constexpr int kRpmBand = 50;
constexpr int kMapBand = 300;  // 0.03 bar
}  // namespace sweep

// What the lean test reads of each message with RPM, manifold pressure and fuel flow, gathered
// as the replay records them (a pass over all points at the end would cost as much again).
struct FlowRow {
    int64_t t;
    uint32_t index;  // in the monitor's points
    uint16_t rpm, map, ff;
};
inline bool HasFlow(const EnginePoint& p) {
    return p.Has(EngineMessage::kManifoldPressure) && p.Has(EngineMessage::kFuelFlow) && p.Has(EngineMessage::kRpm);
}
inline FlowRow FlowRowOf(const EnginePoint& p, size_t index) {
    return {p.t, uint32_t(index), p.rpm, p.map, p.ff};
}
std::vector<FlowRow> FlowRowsOf(const std::vector<EnginePoint>& points);

// The sweeps of one monitor's messages, in time order.
std::vector<Sweep> FindSweeps(const std::vector<EnginePoint>& points, const ThermocoupleKinds& kinds, int monitor);
std::vector<Sweep> FindSweeps(const std::vector<EnginePoint>& points, const std::vector<FlowRow>& rows,
                              const ThermocoupleKinds& kinds, int monitor);

}  // namespace krelby
