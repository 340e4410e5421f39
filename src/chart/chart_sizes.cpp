// The room the chart takes: its width around a plot, the least size before it scrolls, and
// the time labels that width holds.
#include <QStyle>

#include <algorithm>

#include "chart/chart_widget_impl.h"
#include "chart/time_ticks.h"

namespace krelby {

void ChartWidget::Impl::FitTimeTicks(int chartWidth) {
    // As many time labels as the plot's width holds with room between them (the strips share
    // the ticker and the range of the single chart's time axis).
    FitTickCount(*plot->xAxis, chartWidth - ChartWidth(0));
}

int ChartWidget::Impl::ChartWidth(int plotWidth) const {
    if (StripsShown()) {
        // The strips' left margin is laid out at the next replot; one axis takes about this.
        return kBaseLeftMargin + kAxisSpacing + plotWidth + kColumnGap + strips.RightColumnWidth();
    }
    return model.LeftMargin() + plot->legend->minimumOuterSizeHint().width() + kPlotFrameWidth + plotWidth;
}

// The plot keeps at least kLeastPlotWidth of width and kLeastPlotHeight of height, each strip
// kLeastStripHeight; below that the chart scrolls.
void ChartWidget::Impl::FitMinimumSize() {
    const int width = ChartWidth(kLeastPlotWidth);
    const int rowGap = plot->plotLayout()->rowSpacing();
    const int shown = static_cast<int>(strips.Axes().size());
    const int height = StripsShown() ? shown * (kLeastStripHeight + rowGap) + kTimeRowRoom
                                     : kLeastPlotHeight + kPlotFrameHeight;
    if (plot->minimumSize() != QSize(width, height)) plot->setMinimumSize(width, height);
    int least = kLeastChartWidth;
    if (keptPlotWidth > 0) {
        // Room for a scroll bar of strips that scroll.
        const int kept = ChartWidth(keptPlotWidth) + q->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        least = std::max(least, std::min(kept, widestChart));
    }
    if (q->minimumWidth() != least) q->setMinimumWidth(least);
}

void ChartWidget::KeepPlotWidth(int pixels, int widest) {
    d->keptPlotWidth = pixels;
    d->widestChart = widest;
    d->FitMinimumSize();
}

}  // namespace krelby
