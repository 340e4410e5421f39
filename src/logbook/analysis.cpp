#include "logbook/analysis.h"

#include <charconv>
#include <future>

#include "logbook/exceedance_outputs.h"
#include "replay/replay.h"
#include "replay/value_text.h"

namespace krelby {

namespace {

// About three hours of four monitors: below it a second thread costs more than it saves (and
// the logbook, which analyses many flights side by side, would only crowd its cores).
constexpr size_t kRowsForTwoThreads = 40000;

// A monitor's figures, and its inputs' greatest readings (in the cruise where they have one).
void AnalyzeMonitor(const FlightRecord& r, const ThermocoupleKinds& kinds, int m, const Gathered* gathered,
                    Analysis& a) {
    const std::vector<EnginePoint>& points = r.engines[size_t(m - 1)];
    const bool ordered = r.inTimeOrder[size_t(m - 1)];
    MonitorAnalysis& out = a.monitors[size_t(m - 1)];
    out.present = !points.empty();
    if (!out.present) return;
    if (a.takeoff) out.takeoff = TakeoffFigures(points, ordered, *a.takeoff, kinds, m);
    if (a.cruise) out.cruise = CruiseFigures(points, ordered, *a.cruise, kinds, m);
    std::optional<EnginePass> pass = gathered ? gathered->passes[size_t(m - 1)] : std::nullopt;
    if (pass) {
        out.cooling = CoolingOfKind(*pass, kinds, m);
    } else {
        pass = EnginePass{GreatestOver(points, INT64_MIN, INT64_MAX), {}};
        out.cooling = GreatestCoolingRates(points, kinds, m);
    }
    out.sweeps = gathered ? FindSweeps(points, gathered->flows[size_t(m - 1)], kinds, m) : FindSweeps(points, kinds, m);
    for (size_t n = 0; n < 12; ++n) {
        const std::optional<int>& inCruise = out.cruise ? out.cruise->greatest[n] : std::nullopt;
        a.greatest[size_t(m - 1)][n] = inCruise ? inCruise : pass->greatest[n];
    }
}

}  // namespace

Analysis Analyze(const FlightRecord& r, const ThermocoupleKinds& kinds, const Gathered* gathered) {
    Analysis a;
    if (!r.flight.empty()) {
        a.start = r.flight.front().t;
        a.end = r.flight.back().t;
    }
    if (r.takeoff) a.takeoff = r.flight[*r.takeoff].t;
    if (r.landing) a.landing = r.flight[*r.landing].t;
    a.cruise = FindCruise(r);
    // Each monitor's figures are its own: with many messages, half the monitors go to a
    // second thread (writing only their own places in `a`).
    std::vector<int> present;
    size_t rows = 0;
    for (int m = 1; m <= 4; ++m)
        if (!r.engines[size_t(m - 1)].empty()) present.push_back(m), rows += r.engines[size_t(m - 1)].size();
    std::future<void> other;
    if (present.size() > 1 && rows >= kRowsForTwoThreads) {
        other = std::async(std::launch::async, [&] {
            for (size_t k = 1; k < present.size(); k += 2) AnalyzeMonitor(r, kinds, present[k], gathered, a);
        });
    }
    for (size_t k = 0; k < present.size(); k += other.valid() ? 2 : 1) AnalyzeMonitor(r, kinds, present[k], gathered, a);
    if (other.valid()) other.get();
    return a;  // a monitor without messages keeps its empty figures
}

void AnalysisSink::OnBegin() {
    FlightRecordSink::OnBegin();
    trackers_ = {};
    gathered_ = {};
    for (int m = 1; m <= 4; ++m) {
        uint16_t chts = 0;
        for (int n = 1; n <= 12; ++n)
            if (KindOf(kinds_, m, n) == CHT) chts |= uint16_t(1u << (n - 1));
        trackers_[size_t(m - 1)].RateOnly(chts);
    }
    result_ = {};
}

void AnalysisSink::OnEngineRow(int monitor, const EnginePoint& p, size_t index) {
    const size_t m = size_t(monitor - 1);
    trackers_[m].Add(p, index);
    if (!HasFlow(p)) return;
    std::vector<FlowRow>& flow = gathered_.flows[m];
    if (flow.empty() && reserve_) flow.reserve(reserve_);
    flow.push_back(FlowRowOf(p, index));
}

void AnalysisSink::ReserveFor(uint64_t bytes) {
    FlightRecordSink::ReserveFor(bytes);
    reserve_ = size_t(bytes / kBytesPerSecondAtLeast);
}

void AnalysisSink::OnEnd(const ReplayEnd&) {
    for (size_t m = 0; m < 4; ++m) gathered_.passes[m] = trackers_[m].End(Record().engines[m]);
    result_ = Analyze(Record(), kinds_, &gathered_);
    gathered_ = {};
    Record() = {};  // the rows are not needed any more
}

FlightAnalysis AnalyzeFlight(const std::string& path, const Settings& settings) {
    InputFile file = OpenFlight(path);
    const Settings nothingTicked;
    const ChecksumOptions checks;  // tested, as for the logbook
    AnalysisSink analysis(settings.thermocouples);
    analysis.ReserveFor(file.Size());
    ExceedanceList found;
    ExceedanceSink exceedances(settings.thermocouples, settings.limits, found);
    const bool limited = settings.limits.Any();
    FlightReplay(file, {nothingTicked, checks}, {&analysis, limited ? &exceedances : nullptr});
    FlightAnalysis out{analysis.Result(), {}};
    if (limited) {
        out.exceedances = std::move(found.found);
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
