// The chart's side of the playback: its cursor across the plot with the readout at it, and
// the view turned a page on where the cursor leaves the time shown.
#include "chart/chart_widget_impl.h"

namespace krelby {
namespace {

const QColor kPlayLine(0, 150, 70);
// Where the cursor stands on the page the view turns to: a twentieth in from its left.
constexpr double kPageLead = 0.05;

}  // namespace

// Each page is as long as the time shown: its few replots are all the cursor costs to draw.
void ChartWidget::Impl::KeepInView(double key) {
    const QCPRange shown = plot->xAxis->range();
    if (key >= shown.lower && key <= shown.upper) return;
    FinishAnimation();
    const double lower = key - shown.size() * kPageLead;
    SetTime(QCPRange(lower, lower + shown.size()), false);
}

void ChartWidget::Impl::PaintPlayCursor(QPainter& painter) const {
    if (std::isnan(playKey) || Empty()) return;
    const QRect area = PlotArea();
    const double x = TimeAxis()->coordToPixel(playKey);
    if (x < area.left() || x > area.right() + 1) return;
    painter.save();
    painter.setPen(QPen(kPlayLine, 2));
    painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    painter.restore();
}

void ChartWidget::ShowPlayCursor(double days, bool running) {
    if (std::isnan(days) || d->Empty()) {
        d->playKey = NAN;
        d->playRunning = false;
        d->cursorPinned = false;
        d->HideReadout();
        d->plot->update();
        return;
    }
    d->playKey = DaysToKey(days);
    d->playRunning = running;
    d->KeepInView(d->playKey);
    // The readout's cursor is pinned to it, as to a time from the track pane.
    d->cursorPinned = true;
    d->cursorKey = d->playKey;
    const QRect area = d->PlotArea();
    d->ShowReadout(QPoint(qRound(d->TimeAxis()->coordToPixel(d->playKey)), area.top() + area.height() / 3));
    d->plot->update();
}

double ChartWidget::PlayCursor() const { return std::isnan(d->playKey) ? NAN : KeyToDays(d->playKey); }

}  // namespace krelby
