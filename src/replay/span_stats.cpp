#include "replay/span_stats.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace krelby {

SpanStats StatsOverSpan(std::span<const double> xs, std::span<const double> ys, double from, double to) {
    constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    SpanStats s{false, kNone, kNone, kNone, kNone, kNone};
    if (to < from) std::swap(from, to);
    const size_t n = std::min(xs.size(), ys.size());
    // The last sample at or before a time holds at that time.
    const auto holding = [&](double t) {
        return static_cast<size_t>(std::upper_bound(xs.begin(), xs.begin() + n, t) - xs.begin());
    };
    const size_t atFrom = holding(from), atTo = holding(to);
    if (atTo == 0) return s;  // the first sample comes after the span
    s.any = true;
    s.end = ys[atTo - 1];
    // The value holding at the start, or the first sample where the series begins in the span.
    size_t i = atFrom;
    double t = from;
    if (atFrom > 0) {
        s.start = ys[atFrom - 1];
        --i;
    } else {
        t = xs[0];
    }
    s.min = s.max = ys[i];
    double weighted = 0;
    for (; i < atTo; ++i) {
        const double until = i + 1 < atTo ? xs[i + 1] : to;
        weighted += ys[i] * (until - t);
        s.min = std::min(s.min, ys[i]);
        s.max = std::max(s.max, ys[i]);
        t = until;
    }
    const double covered = to - (atFrom > 0 ? from : xs[0]);
    s.mean = covered > 0 ? weighted / covered : s.end;
    return s;
}

}  // namespace krelby
