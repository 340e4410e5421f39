#include "logbook/report_figures.h"

#include <algorithm>

#include "logbook/engine_figures.h"
#include "logbook/exceedance_outputs.h"
#include "replay/replay.h"

namespace krelby {
namespace {

// Longer first; of equals the one before in the CSV's order.
bool Longer(const Exceedance& a, const Exceedance& b) {
    if (a.DurationS() != b.DurationS()) return a.DurationS() > b.DurationS();
    return ExceedanceBefore(a, b);
}

// Hands each exceedance to the list and the series, and keeps the longest few.
class ReportRuns : public ExceedanceOutput {
public:
    void Take(const Exceedance& e) override {
        first.Take(e);
        series.Take(e);
        if (longest.size() == kReportZoomedRuns && !Longer(e, longest.back())) return;
        longest.insert(std::upper_bound(longest.begin(), longest.end(), e, Longer), e);
        if (longest.size() > kReportZoomedRuns) longest.pop_back();
    }
    FirstExceedances first{kReportListedRuns};
    ExceedanceSeriesTotals series{kReportRunsPerSeries};
    std::vector<Exceedance> longest;
};

}  // namespace

bool ReportFigures::HasEngine() const {
    return std::any_of(summary.engines.begin(), summary.engines.end(), [](const EngineSummary& e) { return e.present; });
}

ReportFigures GatherReportFigures(const std::string& path, const Settings& settings, std::span<ReplaySink* const> more) {
    InputFile file = OpenFlight(path);
    const Settings nothingTicked;
    const ChecksumOptions checks;  // tested, as for the logbook and the analysis
    const ThermocoupleKinds& kinds = settings.thermocouples;
    SummarySink summary(kinds);
    ReportRuns runs;
    ExceedanceSink exceedances(kinds, settings.limits, runs);
    AnalysisSink analysis(kinds);
    analysis.ReserveFor(file.Size());
    CylinderSink cylinders(kinds);
    ReportFigures out;
    out.limited = settings.limits.Any();
    std::vector<ReplaySink*> sinks{&summary, out.limited ? &exceedances : nullptr, &analysis, &cylinders};
    sinks.insert(sinks.end(), more.begin(), more.end());
    FlightReplay(file, {nothingTicked, checks}, sinks);
    out.summary = summary.Summary();
    out.analysis = analysis.Result();
    AddAnalysisFigures(out.analysis, out.summary);
    out.cylinders = cylinders.Result();
    if (out.limited) {
        out.exceedanceCount = runs.first.Count();
        out.summary.exceedances = out.exceedanceCount;
        out.listed = runs.first.Sorted();
        out.series = runs.series.Sorted();
        out.longest = std::move(runs.longest);
    }
    return out;
}

}  // namespace krelby
