#include "logbook/cruise.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace krelby {
namespace {

using E = EngineMessage;

template <typename T>
void Max(std::optional<T>& at, T v) {
    if (!at || v > *at) at = v;
}

// A sum of doubles in message order and its count: a mean, or none without a value.
struct Mean {
    double sum = 0;
    int64_t n = 0;
    void Add(double v) {
        sum += v;
        ++n;
    }
    std::optional<double> Value() const { return n ? std::optional<double>(sum / double(n)) : std::nullopt; }
};

// The 12 inputs of whole messages (nearly all): their sums in 32-bit lanes and their greatest
// values, in vectors of four (SIMD registers where the machine has them), emptied into 64-bit
// sums before they could overflow.
using I32x4 = int32_t __attribute__((vector_size(16)));
using I16x4 = int16_t __attribute__((vector_size(8)));
struct InputLanes {
    I32x4 sum[3] = {}, top[3] = {I32x4{} + INT32_MIN, I32x4{} + INT32_MIN, I32x4{} + INT32_MIN};
    void Add(const std::array<int16_t, 12>& tc) {
        for (size_t q = 0; q < 3; ++q) {
            I16x4 h;
            std::memcpy(&h, tc.data() + 4 * q, sizeof h);
            const I32x4 v = __builtin_convertvector(h, I32x4);
            sum[q] += v;
            top[q] = v > top[q] ? v : top[q];
        }
    }
    int32_t Sum(size_t k) const { return sum[k / 4][k % 4]; }
    int32_t Top(size_t k) const { return top[k / 4][k % 4]; }
    void ClearSums() {
        for (I32x4& v : sum) v = I32x4{};
    }
};

// The inputs of one kind on `monitor`, in input order.
std::vector<int> InputsOfKind(const ThermocoupleKinds& kinds, int monitor, uint8_t kind) {
    std::vector<int> out;
    for (int n = 1; n <= 12; ++n)
        if (KindOf(kinds, monitor, n) == kind) out.push_back(n);
    return out;
}

}  // namespace

std::pair<size_t, size_t> RowsOfTime(const std::vector<EnginePoint>& points, bool inTimeOrder, int64_t from,
                                     int64_t to) {
    if (!inTimeOrder) return {0, points.size()};
    const auto lo = std::lower_bound(points.begin(), points.end(), from,
                                     [](const EnginePoint& p, int64_t t) { return p.t < t; });
    const auto hi = std::upper_bound(lo, points.end(), to, [](int64_t t, const EnginePoint& p) { return t < p.t; });
    return {size_t(lo - points.begin()), size_t(hi - points.begin())};
}

TakeoffEngine TakeoffFigures(const std::vector<EnginePoint>& points, bool inTimeOrder, int64_t takeoff,
                             const ThermocoupleKinds& kinds, int monitor) {
    TakeoffEngine e;
    std::array<std::optional<int32_t>, 12> tc;
    const auto [lo, hi] = RowsOfTime(points, inTimeOrder, takeoff - kTakeoffBeforeS, takeoff + kTakeoffAfterS);
    for (size_t i = lo; i < hi; ++i) {
        const EnginePoint& p = points[i];
        if (p.t < takeoff - kTakeoffBeforeS || p.t > takeoff + kTakeoffAfterS) continue;
        if (p.Has(E::kRpm)) Max<int32_t>(e.rpmMax, p.rpm);
        if (p.Has(E::kManifoldPressure)) Max(e.mapMaxBar, Bar(p.map));
        if (p.Has(E::kFuelFlow)) Max(e.ffMaxLph, LitresPerHour(p.ff));
        for (int n = 1; n <= 12 && p.HasInput(n); ++n) Max<int32_t>(tc[size_t(n - 1)], p.tc[size_t(n - 1)]);
    }
    for (int n = 1; n <= 12; ++n) {
        const std::optional<int32_t>& v = tc[size_t(n - 1)];
        if (!v) continue;
        const uint8_t kind = KindOf(kinds, monitor, n);
        if (kind == EGT) e.egtMax.push_back({n, double(*v)});
        else if (kind == CHT) e.chtMax.push_back({n, double(*v)});
    }
    return e;
}

std::optional<CruiseStretch> FindCruise(const FlightRecord& r) {
    if (!r.takeoff || !r.landing) return std::nullopt;
    const std::vector<FlightPoint>& f = r.flight;
    const auto level = [&](size_t i) { return std::abs(int{f[i].vsi}) <= kCruiseVsiFpm; };
    std::optional<CruiseStretch> best;
    for (size_t i = *r.takeoff; i <= *r.landing; ++i) {
        if (!level(i)) continue;
        size_t j = i;  // the stretch from i grows while the next message may join it
        while (j < *r.landing && level(j + 1) && f[j + 1].t > f[j].t && f[j + 1].t - f[j].t <= kCruiseStepS) ++j;
        const int64_t duration = f[j].t - f[i].t;
        if (duration >= kCruiseMinS && (!best || duration > best->DurationS())) {
            best = CruiseStretch{i, j, f[i].t, f[j].t};
        }
        i = j;  // a stretch inside this one is shorter
    }
    if (!best) return best;
    Mean palt, ias;
    for (size_t i = best->first; i <= best->last; ++i) {
        palt.Add(double(f[i].palt));
        ias.Add(Knots(f[i].asi));
    }
    best->paltFt = *palt.Value();
    best->iasKt = *ias.Value();
    return best;
}

CruiseEngine CruiseFigures(const std::vector<EnginePoint>& points, bool inTimeOrder, const CruiseStretch& cruise,
                           const ThermocoupleKinds& kinds, int monitor) {
    // Whole numbers summed as integers give the very sums of their doubles (all below 2^53);
    // the bar and l/h values are summed as the doubles they decode to, in message order.
    int64_t rpm = 0, oilt = 0, nRpm = 0, nMap = 0, nFf = 0, nOilt = 0, nOilp = 0;
    double map = 0, ff = 0, oilp = 0;
    std::array<int64_t, 12> tc{}, nTc{};
    std::array<int32_t, 12> greatest;
    greatest.fill(INT32_MIN);
    InputLanes lanes;
    int64_t inLanes = 0, whole = 0;
    const auto empty = [&] {
        for (size_t k = 0; k < 12; ++k) tc[k] += lanes.Sum(k), greatest[k] = std::max(greatest[k], lanes.Top(k));
        lanes.ClearSums();
        inLanes = 0;
    };
    const auto [lo, hi] = RowsOfTime(points, inTimeOrder, cruise.start, cruise.end);
    for (size_t i = lo; i < hi; ++i) {
        const EnginePoint& p = points[i];
        if (p.t < cruise.start || p.t > cruise.end) continue;
        if (p.HasInput(12)) {  // every field, as nearly every message
            rpm += p.rpm, oilt += p.oilt;
            map += Bar(p.map), ff += LitresPerHour(p.ff), oilp += Bar(p.oilp);
            lanes.Add(p.tc);
            ++whole;
            if (++inLanes == 65536) empty();  // 2^16 readings of at most 2^15 each
            continue;
        }
        if (p.Has(E::kRpm)) rpm += p.rpm, ++nRpm;
        if (p.Has(E::kManifoldPressure)) map += Bar(p.map), ++nMap;
        if (p.Has(E::kFuelFlow)) ff += LitresPerHour(p.ff), ++nFf;
        if (p.Has(E::kOilTemp)) oilt += p.oilt, ++nOilt;
        if (p.Has(E::kOilPressure)) oilp += Bar(p.oilp), ++nOilp;
        for (int n = 1; n <= 12 && p.HasInput(n); ++n) {
            const size_t k = size_t(n - 1);
            tc[k] += p.tc[k];
            ++nTc[k];
            greatest[k] = std::max<int32_t>(greatest[k], p.tc[k]);
        }
    }
    empty();
    nRpm += whole, nMap += whole, nFf += whole, nOilt += whole, nOilp += whole;
    for (int64_t& n : nTc) n += whole;
    const auto mean = [](double sum, int64_t n) { return n ? std::optional<double>(sum / double(n)) : std::nullopt; };
    CruiseEngine e{mean(double(rpm), nRpm), mean(map, nMap), mean(ff, nFf), mean(double(oilt), nOilt),
                   mean(oilp, nOilp), {}, {}, {}};
    for (size_t k = 0; k < 12; ++k)
        if (nTc[k]) e.greatest[k] = greatest[k];
    for (uint8_t kind : {uint8_t{EGT}, uint8_t{CHT}})
        for (int n : InputsOfKind(kinds, monitor, kind))
            if (const std::optional<double> v = mean(double(tc[size_t(n - 1)]), nTc[size_t(n - 1)]))
                (kind == EGT ? e.egt : e.cht).push_back({n, *v});
    return e;
}

}  // namespace krelby
