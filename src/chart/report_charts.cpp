// The report's pictures: each strip chart of the whole flight on a page of its own, with the
// limit lines and the exceedances shaded, a page for each of the longest exceedances (the
// chart two minutes either side of it), and the track pane with its altitude profile.
#include "chart/chart_plot.h"
#include "chart/exceedance_text.h"
#include "chart/report_sections.h"

namespace krelby {
namespace {

constexpr double kZoomMarginS = 120;

QString ChartTitle(const ReportChart& chart) {
    return chart.monitor ? QString("Engine monitor %1, the whole flight").arg(chart.monitor)
                         : QString("The items charted, the whole flight");
}

const ReportChart* ChartOf(const ReportContext& c, const Exceedance& e) {
    for (const ReportChart& chart : c.charts)
        if ((chart.monitor == 0 || chart.monitor == e.monitor) && !chart.widget->IsEmpty()) return &chart;
    return nullptr;
}

}  // namespace

void ChartSection(ReportFlow& flow, const ReportContext& c) {
    const double least = flow.Body().height() * 0.6;
    for (const ReportChart& chart : c.charts) {
        if (chart.widget->IsEmpty()) continue;
        flow.NewPage();
        flow.Heading(ChartTitle(chart), least);
        flow.RestOfPage(least, [&](QCPPainter& p, const QRectF& area) {
            chart.widget->PrintInto(p, area, flow.Dpi());
        });
    }
    for (const Exceedance& e : c.figures.longest) {
        const ReportChart* chart = ChartOf(c, e);
        if (!chart) continue;
        flow.NewPage();
        flow.Heading(QString("Exceedance: %1").arg(ExceedanceText(e, c.settings.units, c.regional)), least);
        flow.Paragraph(QString("%1 min either side of it, shaded.").arg(kZoomMarginS / 60), kSmallPt + 0.5);
        flow.RestOfPage(least, [&](QCPPainter& p, const QRectF& area) {
            chart->widget->ZoomToTime(e.startTime, e.endTime, kZoomMarginS, false);
            chart->widget->PrintInto(p, area, flow.Dpi());
            chart->widget->ResetZoom(false);
        });
    }
}

void TrackSection(ReportFlow& flow, const ReportContext& c) {
    if (!c.track) {
        flow.Heading("Track", flow.Mm(10));
        flow.Paragraph("No GPS positions in this flight.");
        return;
    }
    const double least = flow.Body().height() * 0.6;
    flow.NewPage();
    flow.Heading("Track and altitude profile", least);
    flow.RestOfPage(least, [&](QCPPainter& p, const QRectF& area) {
        // Laid out as the chart is, one pixel of the pane 0.25 mm on paper.
        const double pixel = flow.Dpi() * 0.25 / 25.4;
        const QSize size(std::max(1, int(area.width() / pixel)), std::max(1, int(area.height() / pixel)));
        c.track->resize(size);
        p.translate(area.topLeft());
        p.scale(pixel, pixel);
        c.track->Paint(p, QRect(QPoint(0, 0), size), c.mapWait);
    });
}

}  // namespace krelby
