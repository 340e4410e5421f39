#include "logbook/cooling_limit.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "format/messages.h"
#include "logbook/cooling.h"
#include "logbook/cruise.h"
#include "logbook/exceedances.h"
#include "settings/limits.h"

namespace krelby {

bool CoolingLimit::Beyond(int32_t drop, int64_t spanS, double limit) {
    // 60 drop / span > limit, as limit x span - 60 drop < 0 rounded once: its sign is exact.
    return std::fma(limit, double(spanS), -60.0 * double(drop)) < 0;
}

void CoolingLimit::Begin(const ThermocoupleKinds& kinds, std::optional<double> limit) {
    limit_ = limit;
    earliest_ = INT64_MAX;
    for (int m = 1; m <= kEngineMonitors; ++m) {
        Monitor& mon = monitors_[size_t(m - 1)];
        mon = {};
        if (!limit) continue;
        for (int n = 1; n <= kThermocoupleInputs; ++n)
            if (KindOf(kinds, m, n) == CHT) mon.inputs |= uint16_t(1u << (n - 1));
    }
}

void CoolingLimit::Reach(int64_t seconds, double time) {
    for (Monitor& mon : monitors_) {
        if (!mon.inputs || mon.points.empty()) continue;
        if (!mon.reached || seconds > mon.reach) mon.reach = seconds, mon.reachTime = time;
        mon.reached = true;
    }
}

void CoolingLimit::Add(int monitor, const uint8_t* frame, int64_t seconds, double time) {
    Monitor& mon = monitors_[size_t(monitor - 1)];
    if (!mon.inputs) return;
    const EngineMessage m(frame);
    EnginePoint& p = mon.points.emplace_back();
    p = {};
    p.t = seconds;
    // Only whether the inputs are held matters here: the frame offset of the last is 70.
    p.end = static_cast<uint8_t>(std::min<size_t>(BodyEnd(m.Length()), 255));
    for (int n = 1; n <= kThermocoupleInputs; ++n)
        if (p.HasInput(n)) p.tc[size_t(n - 1)] = m.TC(n);
    mon.rows.push_back({time, mon.reached ? mon.reach : seconds, mon.reached ? mon.reachTime : time});
    mon.reached = false;
    earliest_ = std::min(earliest_, seconds);
}

void CoolingLimit::End(int64_t mergeSeconds, int64_t minSeconds, ExceedanceOutput& out, uint64_t& order) {
    for (int m = 1; m <= kEngineMonitors; ++m)
        for (int n = 1; n <= kThermocoupleInputs; ++n)
            if ((monitors_[size_t(m - 1)].inputs >> (n - 1)) & 1) EndInput(m, n, mergeSeconds, minSeconds, out, order);
    earliest_ = INT64_MAX;
}

// The messages of input n in file order: a run is consecutive ones beyond the limit; one
// without the input is passed over, one without a rate is not beyond.
void CoolingLimit::EndInput(int monitor, int n, int64_t mergeSeconds, int64_t minSeconds, ExceedanceOutput& out,
                            uint64_t& order) const {
    const Monitor& mon = monitors_[size_t(monitor - 1)];
    std::vector<CoolingRate> beyond;
    ForEachCoolingRate(mon.points, n, [&](const CoolingRate& r) {
        if (Beyond(r.drop, r.spanS, *limit_)) beyond.push_back(r);
    });
    if (beyond.empty()) return;
    // In the order of their times; the file's order where the clock stepped back.
    std::sort(beyond.begin(), beyond.end(), [](const CoolingRate& a, const CoolingRate& b) { return a.index < b.index; });
    struct Span {
        CoolingRate peak;
        int64_t start = 0, end = 0;
        double startTime = 0, endTime = 0;
    };
    std::optional<Span> run, joined;
    int64_t latest = 0;  // the latest time reached since the run began
    double latestTime = 0;
    const auto emit = [&] {
        if (joined->end - joined->start >= minSeconds) {
            Exceedance e;
            e.limit = LimitKey::ChtCoolingMax;
            e.monitor = monitor;
            e.input = n;
            e.item = "CHT" + std::to_string(n) + "COOL_" + std::to_string(monitor);
            e.limitValue = *limit_;
            e.start = joined->start, e.startTime = joined->startTime;
            e.end = joined->end, e.endTime = joined->endTime;
            e.peak = joined->peak.CPerMin();
            e.rate = true;
            e.order = order++;
            out.Take(e);
        }
        joined.reset();
    };
    const auto close = [&] {
        if (!joined || run->start - joined->end > mergeSeconds) {
            if (joined) emit();
            joined = run;
        } else {
            if (run->peak.FasterThan(joined->peak)) joined->peak = run->peak;
            if (run->end > joined->end) joined->end = run->end, joined->endTime = run->endTime;
        }
        run.reset();
    };
    size_t next = 0;  // into `beyond`
    for (size_t i = 0; i < mon.points.size(); ++i) {
        const Row& row = mon.rows[i];
        if (run && row.reach > latest) latest = row.reach, latestTime = row.reachTime;
        if (!mon.points[i].HasInput(n)) continue;
        if (next == beyond.size() || beyond[next].index != i) {
            if (run) close();
            continue;
        }
        const CoolingRate& r = beyond[next++];
        if (!run) {
            run = Span{r, mon.points[i].t, mon.points[i].t, row.time, row.time};
            latest = mon.points[i].t, latestTime = row.time;
        }
        if (r.FasterThan(run->peak)) run->peak = r;
        run->end = latest, run->endTime = latestTime;
    }
    if (run) close();
    if (joined) emit();
}

}  // namespace krelby
