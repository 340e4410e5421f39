#include "logbook/exceedance_series.h"

#include <algorithm>

namespace krelby {

void ExceedanceSeriesTotals::Take(const Exceedance& e) {
    const auto [it, added] = series_.try_emplace(Key{e.item, int(e.limit), e.minimum}, Open{{}, FirstExceedances(keep_)});
    ExceedanceSeries& s = it->second.sum;
    if (added) {
        s.first = s.extreme = e;
        s.from = e.startTime;
        s.to = e.endTime;
    } else {
        if (ExceedanceBefore(e, s.first)) s.first = e;
        const bool beyond = e.minimum ? e.peak < s.extreme.peak : e.peak > s.extreme.peak;
        if (beyond || (e.peak == s.extreme.peak && ExceedanceBefore(e, s.extreme))) s.extreme = e;
        s.from = std::min(s.from, e.startTime);
        s.to = std::max(s.to, e.endTime);
    }
    ++s.count;
    s.seconds += e.DurationS();
    it->second.kept.Take(e);
}

std::vector<ExceedanceSeries> ExceedanceSeriesTotals::Sorted() {
    std::vector<ExceedanceSeries> out;
    out.reserve(series_.size());
    for (auto& [key, open] : series_) {
        open.sum.runs = open.kept.Sorted();
        out.push_back(std::move(open.sum));
    }
    series_.clear();
    std::sort(out.begin(), out.end(),
              [](const ExceedanceSeries& a, const ExceedanceSeries& b) { return ExceedanceBefore(a.first, b.first); });
    return out;
}

}  // namespace krelby
