// Reduces a long series to what one pixel column can show: the first, lowest, highest
// and last point of every column, in their order, so the line looks the same and no peak
// is lost. Keys must be ascending; the visible span is found by binary search.
#pragma once
#include <algorithm>
#include <cstddef>

namespace krelby {

// Calls out(x, y) for the points of [lo, hi] plus one neighbour on each side (so the
// line runs to the edges), reduced to at most four points per column of `columns`.
template <class Emit>
void DecimateColumns(const double* xs, const double* ys, size_t n, double lo, double hi,
                     int columns, Emit&& out) {
    if (n == 0) return;
    size_t b = static_cast<size_t>(std::lower_bound(xs, xs + n, lo) - xs);
    size_t e = static_cast<size_t>(std::upper_bound(xs, xs + n, hi) - xs);
    if (b > 0) --b;
    if (e < n) ++e;
    if (columns < 1 || !(hi > lo) || e - b <= 4 * static_cast<size_t>(columns)) {
        for (size_t i = b; i < e; ++i) out(xs[i], ys[i]);
        return;
    }
    const double width = (hi - lo) / columns;
    size_t i = b;
    while (i < e) {
        // Points left of lo or right of hi form columns of their own; that is harmless.
        const double column = static_cast<double>(static_cast<long long>((xs[i] - lo) / width) -
                                                  (xs[i] < lo ? 1 : 0));
        const double edge = lo + (column + 1) * width;
        const size_t first = i;
        size_t low = i, high = i;
        for (++i; i < e && xs[i] < edge; ++i) {
            if (ys[i] < ys[low]) low = i;
            if (ys[i] > ys[high]) high = i;
        }
        const size_t last = i - 1;
        const size_t a = std::min(low, high), c = std::max(low, high);
        out(xs[first], ys[first]);
        if (a != first) out(xs[a], ys[a]);
        if (c != a && c != first) out(xs[c], ys[c]);
        if (last != c && last != first) out(xs[last], ys[last]);
    }
}

}  // namespace krelby
