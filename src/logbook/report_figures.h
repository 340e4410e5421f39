// Every figure of a flight's report from one replay with the checksums tested, as the logbook
// and `krelby-cli analysis` read the flight: the logbook's row, the engine analysis, each
// input's hottest reading, and the exceedances of the pilot's limits (the first of them in the
// CSV's order, and the longest few, so that a flight of countless runs costs no more memory).
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/recorded_units.h"
#include "logbook/analysis.h"
#include "logbook/cylinders.h"
#include "logbook/exceedance_series.h"
#include "logbook/exceedances.h"
#include "logbook/summary.h"
#include "settings/records.h"

namespace krelby {

// The exceedances a report shades on its charts at most, lists of each series (the rest
// counted in the series' line), and charts on their own.
constexpr size_t kReportListedRuns = 2000;
constexpr size_t kReportRunsPerSeries = 20;
constexpr size_t kReportZoomedRuns = 3;

struct ReportFigures {
    FlightSummary summary;  // with the exceedances counted and the analysis' figures
    Analysis analysis;
    std::array<std::vector<CylinderInput>, kEngineMonitors> cylinders;
    bool limited = false;            // some limit is set
    int64_t exceedanceCount = 0;     // every one found
    std::vector<Exceedance> listed;  // the first kReportListedRuns in the CSV's order
    std::vector<ExceedanceSeries> series;  // each with its first kReportRunsPerSeries runs
    std::vector<Exceedance> longest;  // the kReportZoomedRuns longest, longest first (earlier first of equals)
    bool HasEngine() const;
};

// The report's figures of the flight file at `path` under `settings`' kinds and limits;
// `more` are fed by the same replay (the track). Throws krelby::Error when it cannot be read.
ReportFigures GatherReportFigures(const std::string& path, const Settings& settings,
                                  std::span<ReplaySink* const> more = {});

}  // namespace krelby
