// The figures of one charted series over a span of time, as the chart's span table lists
// them. A charted series is a step function: each value holds from its sample until the next
// one (the readout shows the same), and the last one holds on to the span's end.
#pragma once
#include <cstddef>
#include <span>

namespace krelby {

struct SpanStats {
    bool any = false;  // the series has a value somewhere in the span; the rest is NaN without
    double start;      // the value at the span's start (NaN: it begins before the first sample)
    double end;        // the value at the span's end
    double min, max;   // over the value holding at the start and every sample up to the end
    // Time-weighted: each value counts for as long as it holds within the span, so a series
    // sampled unevenly (a monitor that paused, a burst of messages) is not drawn toward its
    // dense stretches. Over a span of no length, the value there.
    double mean;
};

// The figures of the series (`xs` in time order, `ys` its values) over [from, to]; the span
// may be given either way round. Only the part of the span from the first sample on counts.
SpanStats StatsOverSpan(std::span<const double> xs, std::span<const double> ys, double from, double to);

}  // namespace krelby
