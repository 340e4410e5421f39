#include "logbook/cooling.h"

#include <algorithm>
#include <deque>

#include "logbook/cruise.h"

namespace krelby {

void ForEachCoolingRate(const std::vector<EnginePoint>& points, int n,
                        const std::function<void(const CoolingRate&)>& each) {
    std::vector<size_t> order;  // the messages holding the input, by time
    for (size_t i = 0; i < points.size(); ++i)
        if (points[i].HasInput(n)) order.push_back(i);
    const auto time = [&](size_t k) { return points[order[k]].t; };
    const auto value = [&](size_t k) { return points[order[k]].tc[size_t(n - 1)]; };
    if (!std::is_sorted(order.begin(), order.end(), [&](size_t a, size_t b) { return points[a].t < points[b].t; }))
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return points[a].t < points[b].t; });
    // The window's highest value: a queue of positions whose values fall from front to back.
    std::deque<size_t> highest;
    size_t left = 0;  // the window's earliest message
    for (size_t i = 0; i < order.size();) {
        const int64_t t = time(i);
        size_t j = i;  // messages of the same time are all in each other's window
        for (; j < order.size() && time(j) == t; ++j) {
            while (!highest.empty() && value(highest.back()) <= value(j)) highest.pop_back();
            highest.push_back(j);
        }
        while (time(left) < t - kCoolingWindowS) ++left;
        while (highest.front() < left) highest.pop_front();
        const int64_t span = t - time(left);
        if (span >= kCoolingMinSpanS) {
            const double minutes = double(span) / 60.0;
            for (size_t k = i; k < j; ++k)
                each({n, double(value(highest.front()) - value(k)) / minutes, t, order[k]});
        }
        i = j;
    }
}

std::vector<CoolingRate> GreatestCoolingRates(const std::vector<EnginePoint>& points,
                                              const ThermocoupleKinds& kinds, int monitor) {
    std::vector<CoolingRate> out;
    for (int n = 1; n <= 12; ++n) {
        if (KindOf(kinds, monitor, n) != CHT) continue;
        std::optional<CoolingRate> best;
        ForEachCoolingRate(points, n, [&](const CoolingRate& r) {
            if (!best || r.cPerMin > best->cPerMin) best = r;
        });
        if (best) out.push_back(*best);
    }
    return out;
}

}  // namespace krelby
