#include "logbook/peak_fit.h"

#include <algorithm>
#include <cmath>

namespace krelby {
namespace {

// The first guess smooths the EGT over the messages of about this much fuel flow.
constexpr double kSmoothLph = 0.2;
// The top is the vertex of a parabola fitted to the samples within this of it: wide enough to
// average the noise away, narrow enough for the curve's sides (steeper lean of peak) to bend
// it little (about 0.03 l/h toward rich).
constexpr double kFitHalfLph = 0.45;
// Near the lean end the window narrows to stay whole (a one-sided window leans the fit), but
// not below this; where it holds too little of the curve to bend, it widens again up to the last.
constexpr double kNarrowestHalfLph = 0.3, kWidestHalfLph = 0.75, kWidenLph = 0.15;
constexpr size_t kMinFitSamples = 8;
constexpr int kFitRounds = 6;
// A top at the lean end must be where the curve over the last 1.4 l/h bends over: a parabola
// through them tops out at most 2 l/h beyond the end (an EGT topping at the end bends so; one
// still rising, rich of its peak, is nearly straight and tops out far beyond).
constexpr double kEndSpanLph = 1.4, kEndBeyondLph = 2.0;
// While fitted again, the estimate stays within this of the lean end.
constexpr double kSearchBeyondLph = 1.0;

// Means over [i - w, i + w], cut at the ends.
std::vector<double> Smoothed(const std::vector<FlowSample>& s, size_t w) {
    std::vector<double> sum(s.size() + 1, 0.0);
    for (size_t i = 0; i < s.size(); ++i) sum[i + 1] = sum[i] + s[i].egt;
    std::vector<double> out(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const size_t lo = i > w ? i - w : 0, hi = std::min(s.size(), i + w + 1);
        out[i] = (sum[hi] - sum[lo]) / double(hi - lo);
    }
    return out;
}

// egt = a + b u + c u², u = ff - centre, by least squares over the samples with |u| <= half.
struct Parabola {
    double a, b, c;
    double At(double u) const { return a + (b + c * u) * u; }
    // The vertex, when it is a top.
    std::optional<double> Top() const { return c < 0 ? std::optional<double>(-b / (2 * c)) : std::nullopt; }
};

std::optional<Parabola> FitParabola(const std::vector<FlowSample>& s, double centre, double half) {
    double m[3][4] = {};  // the normal equations, augmented
    size_t n = 0;
    for (const FlowSample& p : s) {
        const double u = p.ff - centre;
        if (std::fabs(u) > half) continue;
        const double pw[5] = {1, u, u * u, u * u * u, u * u * u * u};
        for (int r = 0; r < 3; ++r) {
            for (int k = 0; k < 3; ++k) m[r][k] += pw[r + k];
            m[r][3] += pw[r] * p.egt;
        }
        ++n;
    }
    if (n < kMinFitSamples) return std::nullopt;
    for (int col = 0; col < 3; ++col) {  // Gauss-Jordan with partial pivoting
        int pivot = col;
        for (int r = col + 1; r < 3; ++r)
            if (std::fabs(m[r][col]) > std::fabs(m[pivot][col])) pivot = r;
        if (std::fabs(m[pivot][col]) < 1e-12) return std::nullopt;
        std::swap(m[col], m[pivot]);
        for (int r = 0; r < 3; ++r) {
            if (r == col) continue;
            const double f = m[r][col] / m[col][col];
            for (int k = col; k < 4; ++k) m[r][k] -= f * m[col][k];
        }
    }
    return Parabola{m[0][3] / m[0][0], m[1][3] / m[1][1], m[2][3] / m[2][2]};
}

// The parabola around `centre` that tops out, and its vertex (relative to `centre`), with the
// window narrowed near the ends and widened where it does not bend.
std::optional<std::pair<Parabola, double>> TopNear(const std::vector<FlowSample>& s, double centre, double rich,
                                                 double lean) {
    const double narrow = std::clamp(std::min(centre - lean, rich - centre), kNarrowestHalfLph, kFitHalfLph);
    for (double half = narrow; half <= kWidestHalfLph + 1e-9;
         half = half < kFitHalfLph ? kFitHalfLph : half + kWidenLph) {
        const std::optional<Parabola> fit = FitParabola(s, centre, half);
        if (!fit) continue;
        if (const std::optional<double> u = fit->Top()) return std::pair(*fit, *u);
    }
    return std::nullopt;
}

}  // namespace

std::optional<FlowPeak> FindFlowPeak(const std::vector<FlowSample>& s) {
    if (s.size() < 2 * kMinFitSamples) return std::nullopt;
    const double rich = s.front().ff, lean = s.back().ff;
    if (!(rich > lean)) return std::nullopt;
    const double perSample = (rich - lean) / double(s.size() - 1);
    const size_t w = std::clamp<size_t>(size_t(std::lround(kSmoothLph / perSample / 2)), 2, 40);
    const std::vector<double> smooth = Smoothed(s, w);
    const size_t first = size_t(std::max_element(smooth.begin(), smooth.end()) - smooth.begin());

    // From the smoothed top, the parabola's vertex, fitted again around each new estimate. Once
    // there is one, a window that slid onto the lean end and no longer bends keeps it.
    double centre = s[first].ff, egt = 0;
    bool found = false;
    for (int round = 0; round < kFitRounds; ++round) {
        const auto top = TopNear(s, centre, rich, lean);
        if (!top) break;
        const double next = std::clamp(centre + top->second, lean - kSearchBeyondLph, rich);
        const bool settled = std::fabs(next - centre) < 0.002;
        egt = top->first.At(next - centre);
        centre = next;
        found = true;
        if (settled) break;
    }
    if (!found) return std::nullopt;  // no top: still rising, or flat
    if (centre - lean < kFitHalfLph) {  // at the lean end: does the curve bend over there?
        const std::optional<Parabola> end = FitParabola(s, lean + kEndSpanLph / 2, kEndSpanLph / 2);
        const std::optional<double> u = end ? end->Top() : std::nullopt;
        if (!u || kEndSpanLph / 2 + *u < -kEndBeyondLph) return std::nullopt;
    }
    if (egt - smooth.front() < peak::kMinRiseC) return std::nullopt;
    if (centre - lean >= peak::kAtLeanEndLph && egt - smooth.back() < peak::kMinFallC) return std::nullopt;
    centre = std::max(centre, lean);
    size_t near = 0;
    for (size_t i = 1; i < s.size(); ++i)
        if (std::fabs(s[i].ff - centre) < std::fabs(s[near].ff - centre)) near = i;
    return FlowPeak{centre, egt, near};
}

}  // namespace krelby
