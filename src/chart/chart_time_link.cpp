// The chart's side of the track pane: the time under the mouse and the time shown go out as
// signals; a time from the pane comes in as a cursor line, a centred time or a span.
#include <cmath>

#include "chart/chart_widget_impl.h"

namespace krelby {

void ChartWidget::Impl::LinkTime() {
    QObject::connect(plot->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), q,
                     [this](const QCPRange& r) { emit q->TimeSpanChanged(KeyToDays(r.lower), KeyToDays(r.upper)); });
}

void ChartWidget::ShowTimeCursor(double days) {
    if (std::isnan(days) || d->Empty()) {
        d->cursorPinned = false;
        d->HideReadout();
        return;
    }
    d->cursorPinned = true;
    d->cursorKey = DaysToKey(days);
    const QRect area = d->PlotArea();
    const int x = qRound(d->TimeAxis()->coordToPixel(d->cursorKey));
    // A time outside the span shown has no place on the plot: the readout goes.
    d->ShowReadout(QPoint(x, area.top() + area.height() / 3));
}

void ChartWidget::CentreTime(double days) {
    if (d->Empty()) return;
    d->FinishAnimation();
    const QCPRange range = d->plot->xAxis->range();
    const double key = DaysToKey(days);
    d->SetTime(QCPRange(key - range.size() / 2, key + range.size() / 2));
}

void ChartWidget::ShowTimeSpan(double fromDays, double toDays) {
    if (d->Empty() || !(toDays > fromDays)) return;
    d->FinishAnimation();
    d->SetTime(QCPRange(DaysToKey(fromDays), DaysToKey(toDays)));
}

std::pair<double, double> ChartWidget::TimeSpan() const {
    const QCPRange r = d->plot->xAxis->range();
    return {KeyToDays(r.lower), KeyToDays(r.upper)};
}

// Laid out as on a page whose middle (the print margins' inside) is `area`.
void ChartWidget::PrintInto(QCPPainter& painter, const QRectF& area, double dotsPerInch) {
    const QRectF whole = PrintArea(QRectF(0, 0, 1, 1));
    const double width = area.width() / whole.width(), height = area.height() / whole.height();
    d->PrintPage(painter, QRectF(area.left() - whole.left() * width, area.top() - whole.top() * height, width, height),
                 dotsPerInch);
}

}  // namespace krelby
