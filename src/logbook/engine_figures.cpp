#include "logbook/engine_figures.h"

namespace krelby {

std::optional<double> ShownSpreadLph(const Sweep& s) {
    if (!s.firstInput || !s.lastInput) return std::nullopt;
    double first = 0, last = 0;
    for (const SweepPeak& p : s.inputs) {
        if (p.input == *s.firstInput) first = Rounded(p.ffLph, kLphDecimals);
        if (p.input == *s.lastInput) last = Rounded(p.ffLph, kLphDecimals);
    }
    return Rounded(first - last, kLphDecimals);
}

void AddAnalysisFigures(const Analysis& a, FlightSummary& s) {
    const auto rounded = [](const std::optional<double>& x, int decimals) {
        return x ? std::optional<double>(Rounded(*x, decimals)) : std::nullopt;
    };
    if (a.cruise) {
        s.cruiseS = a.cruise->DurationS();
        s.cruisePaltFt = Rounded(a.cruise->paltFt, 0);
        s.cruiseIasKt = Rounded(a.cruise->iasKt, kKtDecimals);
    }
    for (size_t m = 0; m < a.monitors.size(); ++m) {
        const MonitorAnalysis& e = a.monitors[m];
        EngineSummary& out = s.engines[m];
        if (!e.present) continue;
        if (e.takeoff) {
            out.toRpmMax = e.takeoff->rpmMax;
            out.toMapMaxBar = rounded(e.takeoff->mapMaxBar, kBarDecimals);
            out.toFfMaxLph = rounded(e.takeoff->ffMaxLph, kLphDecimals);
        }
        if (e.cruise) out.cruiseFfLph = rounded(e.cruise->ffLph, kLphDecimals);
        const CoolingRate* fastest = nullptr;
        for (const CoolingRate& r : e.cooling)
            if (!fastest || r.FasterThan(*fastest)) fastest = &r;
        if (fastest) out.chtCoolMaxCMin = Rounded(fastest->CPerMin(), kRateDecimals);
        if (!e.sweeps.empty()) out.sweepSpreadLph = ShownSpreadLph(e.sweeps.back());
    }
}

}  // namespace krelby
