// A mixture sweep in a generated cruise: the pilot leans one engine from its cruise fuel flow
// by 1.5 to 4 l/h over 2 to 6 minutes (smoothly or in steps), holds, and goes back rich. Each
// EGT input follows a curve over the fuel flow with its top at a fuel flow of its own, steeper
// lean of peak than rich of it, so the peaks and their spread are known exactly.
#pragma once
#include <array>
#include <vector>

#include "rng.h"

namespace krelby::gen {

struct SweepPlan {
    int monitor = 1;        // 1 to 4
    int start = 0;          // the flight's second at which the leaning begins
    int ramp = 0;           // seconds of leaning
    int hold = 0, back = 0; // seconds at the lean end, and going back rich
    double drop = 0;        // l/h
    int steps = 0;          // 0: smoothly; else in this many steps
    bool endsAtPeak = false;
    std::array<double, 4> peakBelowRich{};  // l/h below the rich flow at which inputs 1-4 peak
    std::array<double, 4> richSlope{}, leanSlope{};  // the curves' steepness either side
    // Set when the sweep begins: the rich flow and the level each curve hangs from.
    bool begun = false;
    double rich = 0;
    std::array<double, 4> top{};

    int Seconds() const { return ramp + hold + back; }
    // How far below the rich flow the flow is, `t` seconds after the start.
    double LeanedBy(int t) const;
    // How far input k's EGT lies below its top at `ffAbovePeak` l/h richer than its peak.
    double BelowTop(int k, double ffAbovePeak) const;
};

// A sweep for each of monitors 1 to `count` inside the cruise [cruiseBegin, cruiseEnd);
// throws krelby::Error when the cruise is too short to hold one. `richOfPeak`: the pilot
// stops 1 to 2.5 l/h before the first EGT peaks (leaning for best power, no sweep).
std::vector<SweepPlan> PlanSweeps(Rng& rng, int count, int cruiseBegin, int cruiseEnd, bool richOfPeak = false);

}  // namespace krelby::gen
