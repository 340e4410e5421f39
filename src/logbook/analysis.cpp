#include "logbook/analysis.h"

#include <charconv>

#include "replay/replay.h"
#include "replay/value_text.h"

namespace krelby {

Analysis Analyze(const FlightRecord& r, const ThermocoupleKinds& kinds) {
    Analysis a;
    if (!r.flight.empty()) {
        a.start = r.flight.front().t;
        a.end = r.flight.back().t;
    }
    if (r.takeoff) a.takeoff = r.flight[*r.takeoff].t;
    if (r.landing) a.landing = r.flight[*r.landing].t;
    a.cruise = FindCruise(r);
    for (int m = 1; m <= 4; ++m) {
        const std::vector<EnginePoint>& points = r.engines[size_t(m - 1)];
        MonitorAnalysis& out = a.monitors[size_t(m - 1)];
        out.present = !points.empty();
        if (!out.present) continue;
        if (a.takeoff) out.takeoff = TakeoffFigures(points, *a.takeoff, kinds, m);
        if (a.cruise) out.cruise = CruiseFigures(points, *a.cruise, kinds, m);
        out.cooling = GreatestCoolingRates(points, kinds, m);
        out.sweeps = FindSweeps(points, kinds, m);
    }
    a.greatest = GreatestReadingsOf(r, a.cruise);
    return a;
}

void AnalysisSink::OnBegin() {
    FlightRecordSink::OnBegin();
    result_ = {};
}

void AnalysisSink::OnEnd(const ReplayEnd&) {
    result_ = Analyze(Record(), kinds_);
    Record() = {};  // the rows are not needed any more
}

FlightAnalysis AnalyzeFlight(const std::string& path, const Settings& settings) {
    InputFile file = OpenFlight(path);
    const Settings nothingTicked;
    const ChecksumOptions checks;  // tested, as for the logbook
    AnalysisSink analysis(settings.thermocouples);
    ExceedanceSink exceedances(settings.thermocouples, settings.limits);
    const bool limited = settings.limits.Any();
    FlightReplay(file, {nothingTicked, checks}, {&analysis, limited ? &exceedances : nullptr});
    FlightAnalysis out{analysis.Result(), {}};
    if (limited) {
        out.exceedances = exceedances.Found();
        SortExceedances(out.exceedances);
    }
    return out;
}

double Rounded(double x, int decimals) {
    const std::string text = FixedText(x, 18, decimals, '.');
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

}  // namespace krelby
