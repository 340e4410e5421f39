// Zoom and pan: the rectangle, the wheel, the middle button or Ctrl+drag, the keys. Every
// change of the view comes through StartZoom or SetTime, which say so once (ViewChanged).
#include <algorithm>
#include <cmath>

#include "chart/chart_widget_impl.h"

namespace krelby {

void ChartWidget::Impl::BuildNavigation() {
    band = new QRubberBand(QRubberBand::Rectangle, plot);
    animation.setDuration(kZoomMillis);
    animation.setStartValue(0.0);
    animation.setEndValue(1.0);
    animation.setEasingCurve(QEasingCurve::OutCubic);
    QObject::connect(&animation, &QVariantAnimation::valueChanged, q, [this](const QVariant& v) {
        const double t = v.toDouble();
        Ranges r;
        r.x = Lerp(from.x, to.x, t);
        for (int i = 0; i < kAxisCount; ++i) r.y[i] = Lerp(from.y[i], to.y[i], t);
        Apply(r);
        plot->replot(QCustomPlot::rpQueuedReplot);
    });
}

QCPAxis* ChartWidget::Impl::TimeAxis() const { return StripsShown() ? strips.TimeAxis() : plot->xAxis; }

QRect ChartWidget::Impl::PlotArea() const { return StripsShown() ? strips.PlotArea() : mainRect->rect(); }

Ranges ChartWidget::Impl::Current() const {
    Ranges r;
    r.x = plot->xAxis->range();
    for (int i = 0; i < kAxisCount; ++i) r.y[i] = axes[i]->range();
    return r;
}

Ranges ChartWidget::Impl::Whole() const {
    Ranges r = Current();
    bool anyX = false;
    double x0 = 0, x1 = 0;
    std::array<bool, kAxisCount> any{};
    std::array<double, kAxisCount> lo{}, hi{};
    for (int s = 0; s < kSlotCount; ++s) {
        const SeriesSlot& slot = model.Slot(s);
        const SlotGraph* g = graphs[s];
        if (!slot.inChart || slot.axis < 0 || slot.axis >= kAxisCount || !g->HasPoints()) continue;
        x0 = anyX ? std::min(x0, g->MinX()) : g->MinX();
        x1 = anyX ? std::max(x1, g->MaxX()) : g->MaxX();
        anyX = true;
        const int a = slot.axis;
        lo[a] = any[a] ? std::min(lo[a], g->MinY()) : g->MinY();
        hi[a] = any[a] ? std::max(hi[a], g->MaxY()) : g->MaxY();
        any[a] = true;
    }
    r.x = kNoTime;
    if (anyX) {
        r.x = QCPRange(DaysToKey(x0), DaysToKey(x1));
        if (!(x1 > x0)) r.x = QCPRange(r.x.lower - 30, r.x.upper + 30);  // a single moment: a minute
    }
    // A limit near the data is brought into view; one far off would flatten the lines.
    for (int s = 0; s < kSlotCount; ++s) {
        const int a = model.Slot(s).axis;
        if (!model.Slot(s).inChart || a < 0 || a >= kAxisCount || !any[a]) continue;
        const double span = std::max(hi[a] - lo[a], 1e-9);
        for (double limit : graphs[s]->Limits()) {
            if (limit < lo[a] - span / 2 || limit > hi[a] + span / 2) continue;
            lo[a] = std::min(lo[a], limit);
            hi[a] = std::max(hi[a], limit);
        }
    }
    for (int i = 0; i < kAxisCount; ++i)
        if (any[i]) r.y[i] = Padded(lo[i], hi[i]);
    return r;
}

void ChartWidget::Impl::Apply(const Ranges& r) {
    SetTimeAxes(r.x);
    for (int i = 0; i < kAxisCount; ++i) {
        axes[i]->setRange(r.y[i]);
        strips.SetValueRange(i, r.y[i]);
    }
    RefreshReadout();
}

// The single chart's time axis is the one the others follow.
void ChartWidget::Impl::SetTimeAxes(const QCPRange& range) {
    plot->xAxis->setRange(range);
    strips.SetTimeRange(range);
}

void ChartWidget::Impl::StartZoom(const Ranges& target, bool animate) {
    animation.stop();
    if (!animate) {
        Apply(target);
        plot->replot(QCustomPlot::rpQueuedReplot);
    } else {
        from = Current();
        to = target;
        animation.start();
    }
    emit q->ViewChanged();
}

// A zoom still on its way is taken to where it goes, so that what follows starts there.
void ChartWidget::Impl::FinishAnimation() {
    if (animation.state() != QAbstractAnimation::Running) return;
    animation.stop();
    Apply(to);
}

void ChartWidget::Impl::Press(QMouseEvent* event) {
    HideReadout();
    pressPos = event->pos();
    if (StartSpan(event)) return;  // Shift+drag marks a span
    const bool inPlot = PlotArea().contains(pressPos);
    const bool keys = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    panning = inPlot && !Empty() &&
              (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && ctrl));
    dragging = inPlot && event->button() == Qt::LeftButton && !keys;
    if (panning) {
        FinishAnimation();
        panFrom = plot->xAxis->range();
        panMoved = false;
        plot->setCursor(Qt::ClosedHandCursor);
    }
}

void ChartWidget::Impl::Move(QMouseEvent* event) {
    if (spanDragging) {
        MoveSpan(event->pos());
        return;
    }
    if (panning) {
        // The time under the cursor stays under it; the drag is one step, said at its end.
        const double perPixel = panFrom.size() / std::max(1, PlotArea().width());
        SetTime(panFrom - (event->pos().x() - pressPos.x()) * perPixel, false);
        panMoved = true;
        return;
    }
    if (dragging && (event->buttons() & Qt::LeftButton)) {
        if ((event->pos() - pressPos).manhattanLength() > kClickSlop) {
            QRect r = QRect(pressPos, event->pos()).normalized();
            // Strips zoom in time only: the band spans them all.
            if (StripsShown()) r = QRect(r.left(), PlotArea().top(), r.width(), PlotArea().height());
            band->setGeometry(r);
            band->show();
        }
        return;
    }
    if (event->buttons() == Qt::NoButton) Hover(event);
}

void ChartWidget::Impl::Release(QMouseEvent* event) {
    if (spanDragging) {
        EndSpan(event->pos());
        return;
    }
    if (panning) {
        panning = false;
        plot->unsetCursor();
        if (panMoved) emit q->ViewChanged();
        return;
    }
    if (event->button() == Qt::RightButton && (event->pos() - pressPos).manhattanLength() <= kClickSlop) {
        q->ResetZoom(true);
        return;
    }
    if (!dragging || event->button() != Qt::LeftButton) return;
    dragging = false;
    band->hide();
    const QPoint delta = event->pos() - pressPos;
    if (delta.manhattanLength() <= kClickSlop) {  // a click: the plot shows a line's grid
        ClickCursor(event->pos(), false);
        return;
    }
    // Dragging to the left undoes the zoom, as in the usual chart components.
    if (delta.x() < 0) {
        q->ResetZoom(true);
        return;
    }
    q->ZoomTo(QRect(pressPos, event->pos()).normalized(), true);
}

void ChartWidget::Impl::Wheel(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0 || Empty()) return;
    // One notch (120) halves the time shown, or doubles it, around the time under the cursor.
    const QCPRange range = plot->xAxis->range();
    const double at = std::clamp(TimeAxis()->pixelToCoord(event->position().x()), range.lower, range.upper);
    ZoomTime(std::pow(0.5, delta / 120.0), at);
}

bool ChartWidget::Impl::Key(QKeyEvent* event) {
    if (Empty()) return false;
    const QCPRange range = plot->xAxis->range();
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:  // + without Shift on many keyboards
            ZoomTime(0.5, range.center());
            return true;
        case Qt::Key_Minus:
            ZoomTime(2, range.center());
            return true;
        case Qt::Key_Left:
            SetTime(range - range.size() * kKeyPanShare);
            return true;
        case Qt::Key_Right:
            SetTime(range + range.size() * kKeyPanShare);
            return true;
        case Qt::Key_Home:
            q->ResetZoom(true);
            return true;
        default:
            return false;
    }
}

void ChartWidget::Impl::ZoomTime(double factor, double aroundKey) {
    FinishAnimation();
    const QCPRange range = plot->xAxis->range();
    const double size = std::max(range.size() * factor, kShortestTime);
    const double share = range.size() > 0 ? (aroundKey - range.lower) / range.size() : 0.5;
    SetTime(QCPRange(aroundKey - size * share, aroundKey + size * (1 - share)));
}

void ChartWidget::Impl::SetTime(QCPRange range, bool say) {
    // Never wider than the flight, nor beyond its ends; the value axes stay as they are.
    const Ranges whole = Whole();
    if (range.size() >= whole.x.size()) range = whole.x;
    if (range.lower < whole.x.lower) range += whole.x.lower - range.lower;
    if (range.upper > whole.x.upper) range -= range.upper - whole.x.upper;
    SetTimeAxes(range);
    const Ranges now = Current();
    zoomed = !(now.x == whole.x && now.y == whole.y);
    plot->replot(QCustomPlot::rpQueuedReplot);
    RefreshReadout();
    if (say) emit q->ViewChanged();
}

void ChartWidget::ResetZoom(bool animate) {
    d->zoomed = false;
    d->Sync();
    d->StartZoom(d->Whole(), animate);
}

void ChartWidget::ZoomTo(const QRect& pixels, bool animate) {
    d->Sync();
    const QRect r = pixels.intersected(d->PlotArea());
    if (r.width() < 2 || r.height() < 2) return;
    Ranges target = d->Current();
    const QCPAxis* time = d->TimeAxis();
    target.x = QCPRange(time->pixelToCoord(r.left()), time->pixelToCoord(r.right()));
    if (!d->StripsShown())
        for (int i = 0; i < kAxisCount; ++i)
            target.y[i] = QCPRange(d->axes[i]->pixelToCoord(r.bottom()), d->axes[i]->pixelToCoord(r.top()));
    d->zoomed = true;
    d->StartZoom(target, animate);
}

bool ChartWidget::IsZoomed() const { return d->zoomed; }

void ChartWidget::ZoomToTime(double from, double to, double margin, bool animate) {
    d->Sync();
    if (d->Empty()) return;
    const Ranges whole = d->Whole();
    Ranges target = d->zoomed ? d->Current() : whole;
    QCPRange x(DaysToKey(from) - margin, DaysToKey(to) + margin);
    x.lower = std::max(x.lower, whole.x.lower);
    x.upper = std::min(x.upper, whole.x.upper);
    if (!(x.upper > x.lower)) return;
    target.x = x;
    d->zoomed = true;
    d->StartZoom(target, animate);
}

}  // namespace krelby
