#include "logbook/sweep.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "logbook/cruise.h"
#include "logbook/peak_fit.h"

namespace krelby {
namespace {

// The flow is smoothed over this many messages either side: the meter's noise (a few tenths
// of a litre per hour) shrinks to a few hundredths.
constexpr size_t kFlowSmoothing = 3;
// A rise of the smoothed flow by more than this above its lowest ends a leaning.
constexpr double kRiseLph = 0.3;
// No new low by at least kNewLowLph for this long ends it too: the pilot stopped leaning.
constexpr int64_t kPauseS = 90;
// A top older than this moves on to a message still as rich as it (within kStaleLph), so that a
// long steady cruise does not lend its time to a quick leaning at its end.
constexpr int64_t kStaleTopS = 300;
constexpr double kStaleLph = 0.02;
constexpr double kNewLowLph = 0.05;
// The ends of a leaning: where the flow left the rich level and reached the lean one.
constexpr double kEdgeLph = 0.05;

// The messages with RPM, manifold pressure and fuel flow, and their smoothed flow.
struct Flow {
    const std::vector<FlowRow>& rows;
    std::vector<double> ff;  // smoothed, l/h
    size_t At(size_t k) const { return rows[k].index; }  // the point of position k
};

Flow FlowOf(const std::vector<FlowRow>& rows) {
    Flow f{rows, {}};
    const size_t n = rows.size();
    // The litres per hour first (a loop of independent divisions the compiler makes vector
    // code of), then their running sum in message order.
    std::vector<double> sum(n + 1, 0.0);
    for (size_t k = 0; k < n; ++k) sum[k + 1] = LitresPerHour(rows[k].ff);
    for (size_t k = 0; k < n; ++k) sum[k + 1] += sum[k];
    f.ff.resize(n);
    const auto mean = [&](size_t k) {
        const size_t lo = k > kFlowSmoothing ? k - kFlowSmoothing : 0;
        const size_t hi = std::min(n, k + kFlowSmoothing + 1);
        return (sum[hi] - sum[lo]) / double(hi - lo);
    };
    constexpr size_t w = kFlowSmoothing;
    if (n <= 2 * w + 1) {
        for (size_t k = 0; k < n; ++k) f.ff[k] = mean(k);
        return f;
    }
    for (size_t k = 0; k < w; ++k) f.ff[k] = mean(k);
    // Between the ends every window is whole: the same division for all.
    const double* s = sum.data();
    double* out = f.ff.data();
    for (size_t k = w; k < n - w; ++k) out[k] = (s[k + w + 1] - s[k - w]) / double(2 * w + 1);
    for (size_t k = n - w; k < n; ++k) f.ff[k] = mean(k);
    return f;
}

// A leaning at steady power, as positions in Flow: where it left the rich level, where it
// reached the lean one, and the last message still there (the EGTs' lean end is read up to it).
struct Leaning {
    size_t rich, lean, leanLast;
};

// Trims a fall from `top` to `low` to where it left the rich level and reached the lean one;
// keeps it when it is deep and long enough.
void Consider(const Flow& f, size_t top, size_t low, size_t end, std::vector<Leaning>& out) {
    if (f.ff[top] - f.ff[low] < sweep::kMinFallLph - sweep::kFallToleranceLph) return;
    size_t rich = top, lean = low;
    for (size_t k = top; k <= low; ++k)
        if (f.ff[k] >= f.ff[top] - kEdgeLph) rich = k;
    for (size_t k = low + 1; k-- > rich;)
        if (f.ff[k] <= f.ff[low] + kEdgeLph) lean = k;
    size_t leanLast = low;
    for (size_t k = low; k < end; ++k)
        if (f.ff[k] <= f.ff[low] + kEdgeLph) leanLast = k;
    if (f.rows[lean].t - f.rows[rich].t >= sweep::kMinSeconds) out.push_back({rich, lean, leanLast});
}

// Every fall of the smoothed flow at steady power, from its highest point (the newest of
// equals) to its lowest, ended by a rise, a pause or a change of power.
std::vector<Leaning> Leanings(const Flow& f) {
    std::vector<Leaning> out;
    const std::vector<FlowRow>& rows = f.rows;
    if (rows.empty()) return out;
    size_t top = 0, low = 0, since = 0;  // since: the last new low by kNewLowLph
    size_t settled = 0;  // the flow's smoothing reaches back over the last end until here
    for (size_t k = 1; k <= rows.size(); ++k) {
        bool ends = k == rows.size(), power = false;
        if (!ends && k >= settled) {
            const FlowRow &p = rows[k], &start = rows[top];
            power = std::abs(int{p.rpm} - int{start.rpm}) > sweep::kRpmBand ||
                    std::abs(int{p.map} - int{start.map}) > sweep::kMapBand;
            // A pause counts once the flow has fallen: on the rich level the top just waits.
            const bool paused = p.t - rows[since].t > kPauseS && f.ff[top] - f.ff[low] >= kRiseLph;
            ends = power || f.ff[k] > f.ff[low] + kRiseLph || paused;
        }
        if (ends) {
            Consider(f, top, low, k, out);
            if (power) settled = k + kFlowSmoothing + 1;
            if (k == rows.size()) break;
        }
        // Still at the rich level (or settling after an end): the fall begins later. On a
        // level flow whether a message tops the last is the meter's noise, which no branch
        // predicts: the three positions are chosen without branches.
        const double v = f.ff[k];
        const bool rich = ends | (k < settled) | (v >= f.ff[top]) |
                          ((rows[k].t - rows[top].t > kStaleTopS) & (v >= f.ff[top] - kStaleLph));
        const size_t lower = v < f.ff[low] ? k : low, newer = v < f.ff[since] - kNewLowLph ? k : since;
        top = rich ? k : top;
        low = rich ? k : lower;
        since = rich ? k : newer;
    }
    return out;
}

// The peak of EGT input n over a leaning, or "no peak".
SweepPeak PeakOf(const std::vector<EnginePoint>& points, const Flow& f, const Leaning& l, int n) {
    std::vector<FlowSample> samples;
    std::vector<size_t> from;  // the point of each sample
    for (size_t k = l.rich; k <= l.leanLast; ++k) {
        const EnginePoint& p = points[f.At(k)];
        if (!p.HasInput(n)) continue;
        samples.push_back({f.ff[k], double(p.tc[size_t(n - 1)])});
        from.push_back(f.At(k));
    }
    SweepPeak peak;
    peak.input = n;
    if (const std::optional<FlowPeak> top = FindFlowPeak(samples)) {
        peak.peaked = true;
        peak.peakC = top->egt;
        peak.ffLph = top->ff;
        peak.time = points[from[top->near]].t;
    }
    return peak;
}

// The first (richest) and last (leanest) peak and the spread, when every input peaked.
void Spread(Sweep& s) {
    if (s.inputs.size() < 2) return;
    const SweepPeak *first = &s.inputs[0], *last = &s.inputs[0];
    for (const SweepPeak& p : s.inputs) {
        if (!p.peaked) return;
        if (p.ffLph > first->ffLph) first = &p;
        if (p.ffLph < last->ffLph) last = &p;
    }
    s.firstInput = first->input;
    s.lastInput = last->input;
    s.spreadLph = first->ffLph - last->ffLph;
}

}  // namespace

std::vector<FlowRow> FlowRowsOf(const std::vector<EnginePoint>& points) {
    std::vector<FlowRow> rows;
    for (size_t i = 0; i < points.size(); ++i)
        if (HasFlow(points[i])) rows.push_back(FlowRowOf(points[i], i));
    return rows;
}

std::vector<Sweep> FindSweeps(const std::vector<EnginePoint>& points, const ThermocoupleKinds& kinds, int monitor) {
    return FindSweeps(points, FlowRowsOf(points), kinds, monitor);
}

std::vector<Sweep> FindSweeps(const std::vector<EnginePoint>& points, const std::vector<FlowRow>& rows,
                              const ThermocoupleKinds& kinds, int monitor) {
    std::vector<Sweep> out;
    const Flow f = FlowOf(rows);
    for (const Leaning& l : Leanings(f)) {
        Sweep s;
        s.first = f.At(l.rich);
        s.last = f.At(l.lean);
        s.start = points[s.first].t;
        s.end = points[s.last].t;
        s.richLph = f.ff[l.rich];
        s.leanLph = f.ff[l.lean];
        s.rpm = points[s.first].rpm;
        s.mapBar = Bar(points[s.first].map);
        bool anyPeak = false;
        for (int n = 1; n <= 12; ++n) {
            if (KindOf(kinds, monitor, n) != EGT || !points[s.first].HasInput(n)) continue;
            s.inputs.push_back(PeakOf(points, f, l, n));
            anyPeak = anyPeak || s.inputs.back().peaked;
        }
        if (!anyPeak) continue;  // a leaning whose EGTs never topped: no sweep
        Spread(s);
        out.push_back(std::move(s));
    }
    return out;
}

}  // namespace krelby
