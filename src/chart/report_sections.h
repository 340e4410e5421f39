// The flight report's sections, each drawn into the page flow. Private to the flight report.
#pragma once
#include <QDeadlineTimer>

#include <memory>
#include <string>
#include <vector>

#include "base/regional.h"
#include "chart/chart_widget.h"
#include "chart/report_layout.h"
#include "chart/track_view.h"
#include "logbook/report_figures.h"
#include "replay/chart_model.h"
#include "replay/track.h"
#include "settings/records.h"

namespace krelby {

// A strip chart of the report: of one monitor's engine items (0: of the items charted).
struct ReportChart {
    int monitor = 0;
    std::unique_ptr<ChartModel> model;
    std::unique_ptr<ChartWidget> widget;
};

struct ReportContext {
    const std::string& flight;
    const Settings& settings;
    const Regional& regional;
    const ReportFigures& figures;
    const std::vector<ReportChart>& charts;
    TrackView* track;  // null without a position
    QDeadlineTimer mapWait;  // one for all the output
};

PageHead HeadOf(const ReportContext& c);
void SummarySection(ReportFlow& flow, const ReportContext& c);
void EngineSection(ReportFlow& flow, const ReportContext& c);
void ChartSection(ReportFlow& flow, const ReportContext& c);
void TrackSection(ReportFlow& flow, const ReportContext& c);

}  // namespace krelby
