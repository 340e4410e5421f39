#include "chart/chart_plot.h"

#include <algorithm>
#include <numeric>

#include "chart/column_strokes.h"
#include "chart/decimate.h"

namespace krelby {

SlotGraph::SlotGraph(QCPAxis* key, QCPAxis* value, const ChartModel& model, int slot,
                     const DrawStyle& style)
    : QCPGraph(key, value), model_(model), slot_(slot), style_(style) {}

const double* SlotGraph::Xs() const { return sortedCopy_ ? xs_.data() : model_.Slot(slot_).xs.data(); }
const double* SlotGraph::Ys() const { return sortedCopy_ ? ys_.data() : model_.Slot(slot_).ys.data(); }

bool SlotGraph::SyncPoints(bool force) {
    const SeriesSlot& s = model_.Slot(slot_);
    const size_t n = std::min(s.xs.size(), s.ys.size());
    if (!force && n == count_) return false;
    count_ = n;
    shownColumns_ = -1;
    // Samples normally come in time order; a clock that stepped back gets a sorted copy.
    sortedCopy_ = !std::is_sorted(s.xs.begin(), s.xs.begin() + static_cast<std::ptrdiff_t>(n));
    xs_.clear();
    ys_.clear();
    if (sortedCopy_) {
        std::vector<size_t> order(n);
        std::iota(order.begin(), order.end(), size_t{0});
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return s.xs[a] < s.xs[b]; });
        xs_.reserve(n);
        ys_.reserve(n);
        for (size_t i : order) {
            xs_.push_back(s.xs[i]);
            ys_.push_back(s.ys[i]);
        }
    }
    if (n > 0) {
        const double* x = Xs();
        const double* y = Ys();
        minX_ = x[0];
        maxX_ = x[n - 1];
        auto [lo, hi] = std::minmax_element(y, y + n);
        minY_ = *lo;
        maxY_ = *hi;
    }
    data()->clear();
    return true;
}

bool SlotGraph::ValueAt(double days, double& value) const {
    if (count_ == 0) return false;
    const double* x = Xs();
    const size_t i = static_cast<size_t>(std::upper_bound(x, x + count_, days) - x);
    if (i == 0) return false;
    value = Ys()[i - 1];
    return true;
}

void SlotGraph::Decimate() {
    const QCPRange range = keyAxis()->range();
    const int columns = std::max(1, keyAxis()->axisRect()->width());
    if (range.lower == shownLo_ && range.upper == shownHi_ && columns == shownColumns_) return;
    shownLo_ = range.lower;
    shownHi_ = range.upper;
    shownColumns_ = columns;
    buffer_.clear();
    DecimateColumns(Xs(), Ys(), count_, KeyToDays(range.lower), KeyToDays(range.upper), columns,
                    [this](double x, double y) { buffer_.append(QCPGraphData(DaysToKey(x), y)); });
    data()->set(buffer_, true);
}

void SlotGraph::draw(QCPPainter* painter) {
    Decimate();
    // Where several points share a pixel column the line is a band of vertical strokes, drawn
    // column by column (the same for the single chart and every strip): smoothing its edges
    // shows nothing on screen and costs more than the rest of the chart. A page is drawn
    // once, at the printer's resolution, where a polyline leaves no gaps: smooth it.
    const bool crowded = !painter->modes().testFlag(QCPPainter::pmVectorized) &&
                         static_cast<double>(dataCount()) >= 1.5 * shownColumns_;
    setAntialiased(!crowded);
    if (style_.on && !data()->isEmpty()) {
        // The line as a ribbon running back into the chart.
        QVector<QPointF> front;
        getLines(&front, QCPDataRange(0, dataCount()));
        if (front.size() >= 2) {
            const QPointF shift(kDepth, -kDepth);
            QPolygonF band;
            band.reserve(front.size() * 2);
            for (const QPointF& p : front) band << p;
            for (auto it = front.crbegin(); it != front.crend(); ++it) band << *it + shift;
            QColor fill = pen().color();
            fill.setAlpha(70);
            painter->setPen(Qt::NoPen);
            painter->setBrush(fill);
            painter->drawPolygon(band);
            QPolygonF back;
            back.reserve(front.size());
            for (const QPointF& p : front) back << p + shift;
            painter->setPen(QPen(pen().color().darker(140), style_.lineWidth));
            painter->setBrush(Qt::NoBrush);
            painter->drawPolyline(back);
        }
    }
    if (crowded)
        DrawCrowded(painter);
    else
        QCPGraph::draw(painter);
    if (!limits_.empty()) {
        const QRect area = keyAxis()->axisRect()->rect();
        QPen dashed(pen().color(), style_.lineWidth, Qt::DashLine);
        painter->setPen(dashed);
        painter->setAntialiasing(painter->modes().testFlag(QCPPainter::pmVectorized));
        for (double limit : limits_) {
            const double y = valueAxis()->coordToPixel(limit);
            if (y >= area.top() && y <= area.bottom() + 1)
                painter->drawLine(QLineF(area.left(), y, area.right() + 1, y));
        }
    }
}

void SlotGraph::DrawCrowded(QCPPainter* painter) {
    QVector<QPointF> pixels;
    pixels.reserve(dataCount());
    const QCPAxis* key = keyAxis();
    const QCPAxis* value = valueAxis();
    for (const QCPGraphData& p : *data()) pixels.append(QPointF(key->coordToPixel(p.key), value->coordToPixel(p.value)));
    DrawColumnStrokes(*painter, pixels, key->axisRect()->rect(), pen().color());
}

QRect SlotGraph::clipRect() const {
    QRect r = QCPGraph::clipRect();
    if (style_.on) r.adjust(0, -kDepth, kDepth, 0);
    return r;
}

CheckLegendItem::CheckLegendItem(QCPLegend* legend, SlotGraph* graph, const DrawStyle& style)
    : QCPAbstractLegendItem(legend), graph_(graph), style_(style) {
    setAntialiased(false);
}

void CheckLegendItem::draw(QCPPainter* painter) {
    painter->setFont(mFont);
    const QFontMetrics fm(mFont);
    const QSize icon = mParentLegend->iconSize();
    const int box = std::min(fm.height(), 11);
    const int pad = mParentLegend->iconTextPadding();
    const QRect r = mRect;
    QRect check(r.left(), r.top() + (r.height() - box) / 2, box, box);
    painter->setPen(QPen(Qt::black, style_.lineWidth));
    painter->setBrush(Qt::white);
    painter->drawRect(check);
    if (graph_->Checked()) {
        painter->setPen(QPen(Qt::black, 2 * style_.lineWidth));
        const QPointF a(check.left() + box * 0.2, check.top() + box * 0.5);
        const QPointF b(check.left() + box * 0.45, check.top() + box * 0.8);
        const QPointF c(check.left() + box * 0.85, check.top() + box * 0.2);
        painter->drawLine(QLineF(a, b));
        painter->drawLine(QLineF(b, c));
    }
    const int lineLeft = check.right() + pad;
    const int midY = r.top() + r.height() / 2;
    painter->setPen(QPen(graph_->pen().color(), 2 * style_.lineWidth));
    painter->drawLine(QLineF(lineLeft, midY, lineLeft + icon.width(), midY));
    painter->setPen(mTextColor);
    painter->drawText(QRect(lineLeft + icon.width() + pad, r.top(), r.width(), r.height()),
                      Qt::AlignLeft | Qt::AlignVCenter, graph_->name());
}

QSize CheckLegendItem::minimumOuterSizeHint() const {
    const QFontMetrics fm(mFont);
    const QSize icon = mParentLegend->iconSize();
    const int pad = mParentLegend->iconTextPadding();
    const int box = std::min(fm.height(), 11);
    QSize s(box + pad + icon.width() + pad + fm.horizontalAdvance(graph_->name()),
            std::max(fm.height() + 2, box));
    s.rwidth() += mMargins.left() + mMargins.right();
    s.rheight() += mMargins.top() + mMargins.bottom();
    return s;
}

DepthWall::DepthWall(QCustomPlot* plot, QCPAxisRect* rect, const DrawStyle& style)
    : QCPLayerable(plot), rect_(rect), style_(style) {}

void DepthWall::applyDefaultAntialiasingHint(QCPPainter* painter) const {
    applyAntialiasingHint(painter, true, QCP::aeOther);
}

QRect DepthWall::clipRect() const { return rect_->rect().adjusted(0, -kDepth, kDepth, 1); }

void DepthWall::draw(QCPPainter* painter) {
    if (!style_.on) return;
    const QRectF r = rect_->rect();
    const QPointF d(kDepth, -kDepth);
    const QColor edge(90, 90, 90);
    painter->setPen(QPen(edge, style_.lineWidth));
    // Back wall, then the floor and the left side joining it to the front.
    painter->setBrush(QColor(236, 236, 236));
    painter->drawRect(r.translated(d));
    painter->setBrush(QColor(170, 170, 170));
    painter->drawPolygon(QPolygonF({r.bottomLeft(), r.bottomRight(), r.bottomRight() + d, r.bottomLeft() + d}));
    painter->setBrush(QColor(200, 200, 200));
    painter->drawPolygon(QPolygonF({r.topLeft(), r.topLeft() + d, r.bottomLeft() + d, r.bottomLeft()}));
}

void ChartPlot::paintEvent(QPaintEvent* event) {
    QCustomPlot::paintEvent(event);
    if (afterPaint) {
        QPainter painter(this);
        afterPaint(painter, height());
    }
}

void ChartPlot::mousePressEvent(QMouseEvent* event) {
    if (onPress) onPress(event);
    QCustomPlot::mousePressEvent(event);
}

void ChartPlot::mouseMoveEvent(QMouseEvent* event) {
    if (onMove) onMove(event);
    QCustomPlot::mouseMoveEvent(event);
}

void ChartPlot::mouseReleaseEvent(QMouseEvent* event) {
    if (onRelease) onRelease(event);
    QCustomPlot::mouseReleaseEvent(event);
}

void ChartPlot::mouseDoubleClickEvent(QMouseEvent* event) {
    if (onDoubleClick) onDoubleClick(event);
    QCustomPlot::mouseDoubleClickEvent(event);
}

void ChartPlot::wheelEvent(QWheelEvent* event) {
    if (!onWheel) return QCustomPlot::wheelEvent(event);
    onWheel(event);
    event->accept();
}

void ChartPlot::keyPressEvent(QKeyEvent* event) {
    if (onKey && onKey(event)) return event->accept();
    QCustomPlot::keyPressEvent(event);
}

void ChartPlot::leaveEvent(QEvent* event) {
    if (onLeave) onLeave();
    QCustomPlot::leaveEvent(event);
}

}  // namespace krelby
