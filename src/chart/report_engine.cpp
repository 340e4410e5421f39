// The report's engine section: the cylinders table, the lean test's sweeps, and the
// exceedances grouped by series as the Engine pane lists them.
#include "chart/engine_rows.h"
#include "chart/exceedance_text.h"
#include "chart/report_sections.h"

namespace krelby {
namespace {

void LeanTest(ReportFlow& flow, const ReportContext& c) {
    flow.Subheading("Lean test", flow.Mm(10));
    bool any = false;
    for (int m = 1; m <= kEngineMonitors; ++m)
        for (const Sweep& s : c.figures.analysis.monitors[size_t(m - 1)].sweeps) {
            any = true;
            flow.Paragraph(SweepText(m, s, c.settings.units, c.regional));
            flow.Paragraph(SweepDetails(m, s, c.settings.units, c.regional) + ".", kSmallPt + 0.5, false, 5);
        }
    if (!any) flow.Paragraph(NoSweepText(c.settings.units, c.regional));
}

void Exceedances(ReportFlow& flow, const ReportContext& c) {
    const ReportFigures& f = c.figures;
    const UnitSettings& units = c.settings.units;
    flow.Heading("Exceedances", flow.Mm(12));
    if (!f.limited) {
        flow.Paragraph("No limits set.");
        return;
    }
    if (f.exceedanceCount == 0) {
        flow.Paragraph("No exceedances of the limits set.");
        return;
    }
    flow.Paragraph(QString("%1 exceedance%2, by item and limit in the order they began.")
                       .arg(Grouped(f.exceedanceCount), f.exceedanceCount == 1 ? "" : "s"));
    // Every series with the sums of all its runs; of a long series its first runs, the rest
    // counted, so that a flight of thousands of runs stays a few pages.
    for (const ExceedanceSeries& s : f.series) {
        if (s.count == 1) {
            flow.Paragraph(ExceedanceText(s.first, units, c.regional));
            continue;
        }
        flow.Paragraph(ExceedanceGroupText(s, units, c.regional), kBodyPt, true);
        for (const Exceedance& e : s.runs) flow.Paragraph(ExceedanceText(e, units, c.regional), kBodyPt - 0.5, false, 5);
        if (const int64_t more = s.count - int64_t(s.runs.size()); more > 0)
            flow.Paragraph(QString("and %1 more (krelby-cli exceedances lists every run)").arg(Grouped(more)),
                           kBodyPt - 0.5, false, 5);
    }
}

}  // namespace

void EngineSection(ReportFlow& flow, const ReportContext& c) {
    flow.Heading("Engine", flow.Mm(30));
    if (!c.figures.HasEngine()) {
        flow.Paragraph("No engine data in this flight.");
    } else {
        flow.Subheading("Cylinders: the greatest reading of each input; the hottest of each row is marked.",
                        flow.Mm(15));
        const TextTable cylinders = CylinderRows(c.figures.cylinders, &c.figures.analysis, c.settings.units, c.regional);
        if (cylinders.rows.empty()) flow.Paragraph("No EGT or CHT input in use.");
        else flow.Table(cylinders);
        LeanTest(flow, c);
    }
    Exceedances(flow, c);
}

}  // namespace krelby
