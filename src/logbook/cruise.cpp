#include "logbook/cruise.h"

#include <algorithm>
#include <cstdlib>

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

// The inputs of one kind on `monitor`, in input order.
std::vector<int> InputsOfKind(const ThermocoupleKinds& kinds, int monitor, uint8_t kind) {
    std::vector<int> out;
    for (int n = 1; n <= 12; ++n)
        if (KindOf(kinds, monitor, n) == kind) out.push_back(n);
    return out;
}

}  // namespace

TakeoffEngine TakeoffFigures(const std::vector<EnginePoint>& points, int64_t takeoff,
                             const ThermocoupleKinds& kinds, int monitor) {
    TakeoffEngine e;
    std::array<std::optional<int32_t>, 12> tc;
    for (const EnginePoint& p : points) {
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

CruiseEngine CruiseFigures(const std::vector<EnginePoint>& points, const CruiseStretch& cruise,
                           const ThermocoupleKinds& kinds, int monitor) {
    Mean rpm, map, ff, oilt, oilp;
    std::array<Mean, 12> tc;
    for (const EnginePoint& p : points) {
        if (p.t < cruise.start || p.t > cruise.end) continue;
        if (p.Has(E::kRpm)) rpm.Add(p.rpm);
        if (p.Has(E::kManifoldPressure)) map.Add(Bar(p.map));
        if (p.Has(E::kFuelFlow)) ff.Add(LitresPerHour(p.ff));
        if (p.Has(E::kOilTemp)) oilt.Add(p.oilt);
        if (p.Has(E::kOilPressure)) oilp.Add(Bar(p.oilp));
        for (int n = 1; n <= 12 && p.HasInput(n); ++n) tc[size_t(n - 1)].Add(p.tc[size_t(n - 1)]);
    }
    CruiseEngine e{rpm.Value(), map.Value(), ff.Value(), oilt.Value(), oilp.Value(), {}, {}};
    for (uint8_t kind : {uint8_t{EGT}, uint8_t{CHT}})
        for (int n : InputsOfKind(kinds, monitor, kind))
            if (const std::optional<double> v = tc[size_t(n - 1)].Value())
                (kind == EGT ? e.egt : e.cht).push_back({n, *v});
    return e;
}

}  // namespace krelby
