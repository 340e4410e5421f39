// A span of time marked on the chart: Shift+drag, or a click (the first cursor) and a
// Shift+click (the second). Shaded across the plot with a line at each end on screen; its
// figures per series shown (span_table.h) go to the window's table and under the printed chart.
#include <algorithm>

#include "chart/chart_widget_impl.h"
#include "chart/span_table.h"

namespace krelby {
namespace {

const QColor kSpanFill(70, 130, 220, 55);
const QColor kSpanLine(30, 80, 190);

}  // namespace

bool ChartWidget::Impl::StartSpan(QMouseEvent* event) {
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (event->button() != Qt::LeftButton || !shift || Empty() || !PlotArea().contains(event->pos())) return false;
    FinishAnimation();
    spanDragging = true;
    return true;
}

void ChartWidget::Impl::MoveSpan(QPoint pos) {
    if ((pos - pressPos).manhattanLength() <= kClickSlop) return;
    const QCPAxis* time = TimeAxis();
    const QCPRange shown = time->range();
    const double a = std::clamp(time->pixelToCoord(pressPos.x()), shown.lower, shown.upper);
    const double b = std::clamp(time->pixelToCoord(pos.x()), shown.lower, shown.upper);
    SetSpanKeys(a, b);
}

void ChartWidget::Impl::EndSpan(QPoint pos) {
    spanDragging = false;
    if ((pos - pressPos).manhattanLength() <= kClickSlop)
        ClickCursor(pos, true);
    else
        MoveSpan(pos);
}

void ChartWidget::Impl::ClickCursor(QPoint pos, bool shift) {
    if (Empty() || !PlotArea().contains(pos)) return;
    const double key = TimeAxis()->pixelToCoord(pos.x());
    if (shift && !std::isnan(spanAnchor)) {
        SetSpanKeys(spanAnchor, key);
        return;
    }
    // A new first cursor: the span before it goes.
    const bool hadSpan = !std::isnan(spanFrom);
    spanFrom = spanTo = NAN;
    spanAnchor = key;
    plot->update();
    if (hadSpan) emit q->SpanChanged();
}

void ChartWidget::Impl::SetSpanKeys(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) {
        spanFrom = spanTo = spanAnchor = NAN;
    } else {
        spanFrom = std::min(a, b);
        spanTo = std::max(a, b);
        spanAnchor = a;
    }
    plot->update();
    emit q->SpanChanged();
}

void ChartWidget::Impl::PaintSpan(QPainter& painter) const {
    if (Empty() || (std::isnan(spanAnchor) && std::isnan(spanFrom))) return;
    const QRect area = PlotArea();
    const QCPAxis* time = TimeAxis();
    const auto line = [&](double key) {
        const double x = time->coordToPixel(key);
        if (x >= area.left() && x <= area.right() + 1) painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    };
    painter.save();
    painter.setPen(QPen(kSpanLine, 1));
    if (std::isnan(spanFrom)) {
        line(spanAnchor);
    } else {
        const double x0 = std::max<double>(time->coordToPixel(spanFrom), area.left());
        const double x1 = std::min<double>(time->coordToPixel(spanTo), area.right() + 1);
        if (x1 > x0) painter.fillRect(QRectF(x0, area.top(), x1 - x0, area.height()), kSpanFill);
        line(spanFrom);
        line(spanTo);
    }
    painter.restore();
}

// Under the printed chart, in the page's margin below it, at about 8 points.
void ChartWidget::Impl::PaintSpanTable(QPainter& painter, const QRectF& below, double dotsPerInch) const {
    if (std::isnan(spanFrom)) return;
    QFont font = plot->font();
    font.setPixelSize(std::max(1, static_cast<int>(dotsPerInch * 8 / 72)));
    krelby::PaintSpanTable(painter, below, q->SpanFigures(), font);
}

void ChartWidget::SetSpan(double fromDays, double toDays) { d->SetSpanKeys(DaysToKey(fromDays), DaysToKey(toDays)); }

void ChartWidget::ClearSpan() {
    if (std::isnan(d->spanFrom) && std::isnan(d->spanAnchor)) return;
    d->SetSpanKeys(NAN, NAN);
}

bool ChartWidget::HasSpan() const { return !std::isnan(d->spanFrom); }

std::pair<double, double> ChartWidget::Span() const {
    if (!HasSpan()) return {NAN, NAN};
    return {KeyToDays(d->spanFrom), KeyToDays(d->spanTo)};
}

SpanTable ChartWidget::SpanFigures() const {
    if (!HasSpan() || d->Empty()) return {};
    const auto [from, to] = Span();
    std::vector<SpanSeries> series;
    // In the legend's order: by slot.
    for (const SlotGraph* g : d->graphs)
        if (g->visible() && g->HasPoints())
            series.push_back({g->Slot(), g->pen().color(), StatsOverSpan(g->Times(), g->Values(), from, to)});
    static const UnitSettings kDefaultUnits;
    return MakeSpanTable(d->model, series, from, to, d->units ? *d->units : kDefaultUnits, d->regional);
}

}  // namespace krelby
