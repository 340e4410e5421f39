#include "sweep.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "base/error.h"

namespace krelby::gen {
namespace {

// The curves bend over this much flow: parabolic near the top, nearly straight further out.
constexpr double kBend = 0.5;
// Time in cruise before a sweep (the EGTs settle) and after it.
constexpr int kSettle = 90, kAfter = 30;

}  // namespace

double SweepPlan::LeanedBy(int t) const {
    if (t <= 0) return 0;
    if (t >= ramp + hold) return t >= Seconds() ? 0 : drop * (1.0 - double(t - ramp - hold) / back);
    if (t >= ramp) return drop;
    const double f = double(t) / ramp;
    if (steps == 0) return drop * f;
    // Each step: a quarter of its time turning the knob, the rest waiting for the EGTs.
    const double step = f * steps;
    const double done = std::floor(step), within = std::min(1.0, (step - done) * 4);
    return drop * (done + within) / steps;
}

double SweepPlan::BelowTop(int k, double d) const {
    return d >= 0 ? richSlope[size_t(k)] * d * d / (kBend + d) : leanSlope[size_t(k)] * d * d / (kBend - d);
}

std::vector<SweepPlan> PlanSweeps(Rng& rng, int count, int cruiseBegin, int cruiseEnd, bool richOfPeak) {
    std::vector<SweepPlan> plans;
    for (int m = 1; m <= count; ++m) {
        SweepPlan p;
        p.monitor = m;
        p.ramp = rng.Int(120, 360);
        p.hold = rng.Int(5, 30);
        p.back = rng.Int(8, 15);
        const int lo = cruiseBegin + kSettle, hi = cruiseEnd - kAfter - p.Seconds();
        if (hi < lo) throw Error("The flights are too short for a mixture sweep in their cruise; give them more seconds");
        p.start = rng.Int(lo, hi);
        p.drop = rng.Range(1.5, 4.0);
        p.steps = rng.Chance(0.5) ? 0 : std::max(4, int(std::lround(p.drop / rng.Range(0.2, 0.35))));
        // Past the last peak by 0.3 to 0.7 l/h, or stopped at it (one sweep in five).
        p.endsAtPeak = rng.Chance(0.2);
        const double leanMargin = p.endsAtPeak ? rng.Range(0.0, 0.08) : rng.Range(0.3, 0.7);
        // The first peak at least 0.6 l/h below the rich flow, so that every EGT rises first.
        const double spread = rng.Range(0.1, std::min(1.5, p.drop - 0.6 - leanMargin));
        const double first = richOfPeak ? p.drop + rng.Range(1.0, 2.5) : p.drop - leanMargin - spread;
        std::array<int, 4> order;
        std::iota(order.begin(), order.end(), 0);
        for (int i = 3; i > 0; --i) std::swap(order[size_t(i)], order[size_t(rng.Int(0, i))]);
        p.peakBelowRich[size_t(order[0])] = first;
        p.peakBelowRich[size_t(order[1])] = first + spread;
        p.peakBelowRich[size_t(order[2])] = first + rng.Range(0, spread);
        p.peakBelowRich[size_t(order[3])] = first + rng.Range(0, spread);
        for (int k = 0; k < 4; ++k) {
            p.richSlope[size_t(k)] = rng.Range(22, 38);
            p.leanSlope[size_t(k)] = rng.Range(30, 50);
        }
        plans.push_back(p);
    }
    return plans;
}

}  // namespace krelby::gen
