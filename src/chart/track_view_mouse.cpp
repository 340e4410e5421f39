// The track pane's mouse and keys: hover, click and double-click on the track or the
// profile tie it to the chart's time; the wheel, a drag and the keys move the track's view.
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <cmath>

#include "chart/track_profile.h"
#include "chart/track_view.h"

namespace krelby {
namespace {

constexpr double kReachPixels = 8;  // how near the mouse must come to a point to pick it

}  // namespace

std::optional<size_t> TrackView::PointNear(QPointF pos) const {
    if (!track_ || track_->Empty() || !QRectF(TrackArea(size())).contains(pos)) return std::nullopt;
    const PixelMap m = Map(size());
    return track_->Nearest(m.X(pos.x()), m.Y(pos.y()), kReachPixels / m.scale);
}

std::optional<double> TrackView::TimeUnder(QPointF pos) const {
    if (!track_ || track_->Empty()) return std::nullopt;
    const QRect plot = ProfilePlot();
    // The profile's whole strip answers, so that its ends are easy to reach.
    if (!plot.isEmpty() && pos.y() >= LayoutPane(size()).profile.top()) return ProfileTimeAt(pos.x());
    if (const std::optional<size_t> i = PointNear(pos)) return track_->Point(*i).time;
    return std::nullopt;
}

void TrackView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressed_ = true;
    panning_ = false;
    pressPos_ = event->pos();
}

void TrackView::mouseMoveEvent(QMouseEvent* event) {
    if (pressed_ && (event->buttons() & Qt::LeftButton)) {
        const bool onTrack = TrackArea(size()).contains(pressPos_);
        if (!panning_ && onTrack && (event->pos() - pressPos_).manhattanLength() > 3 && track_ && !track_->Empty()) {
            // Dragging takes the view from where it is, fitted or not.
            const PixelMap m = Map(size());
            const QPointF middle = QRectF(TrackArea(size())).center();
            pressCentreX_ = m.X(middle.x());
            pressCentreY_ = m.Y(middle.y());
            perPixel_ = 1 / m.scale;
            fitted_ = false;
            panning_ = true;
            EndHover();
            setCursor(Qt::ClosedHandCursor);
        }
        if (panning_) {
            const QPoint delta = event->pos() - pressPos_;
            centreX_ = pressCentreX_ - delta.x() * perPixel_;
            centreY_ = pressCentreY_ + delta.y() * perPixel_;
            update();
        }
        return;
    }
    if (event->buttons() != Qt::NoButton) return;
    if (!ProfilePlot().isEmpty() && event->position().y() >= LayoutPane(size()).profile.top())
        HoverProfile(event->position());
    else
        Hover(event->position());
}

void TrackView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = false;
    if (panning_) {
        panning_ = false;
        unsetCursor();
        return;
    }
    if (const std::optional<double> t = TimeUnder(event->position())) emit TimeClicked(*t);
}

void TrackView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (const std::optional<double> t = TimeUnder(event->position())) emit TimeDoubleClicked(*t);
}

void TrackView::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0 || !TrackArea(size()).contains(event->position().toPoint())) return;
    // One notch (120) brings the track 1.4 times nearer, around the point under the mouse.
    ZoomAround(event->position(), std::pow(2.0, delta / 240.0));
    Hover(event->position());
}

void TrackView::keyPressEvent(QKeyEvent* event) {
    const QPointF middle = QRectF(TrackArea(size())).center();
    switch (event->key()) {
        case Qt::Key_Home: Fit(); return;
        case Qt::Key_Plus:
        case Qt::Key_Equal: ZoomAround(middle, 2); return;
        case Qt::Key_Minus: ZoomAround(middle, 0.5); return;
        default: QWidget::keyPressEvent(event);
    }
}

void TrackView::leaveEvent(QEvent* event) {
    mouse_.reset();
    EndHover();
    update();
    QWidget::leaveEvent(event);
}

void TrackView::Hover(QPointF pos) {
    // The position under the mouse is read out wherever it is over the track.
    mouse_ = pos;
    const std::optional<size_t> i = PointNear(pos);
    if (!i) {
        EndHover();
        update(LayoutPane(size()).readout);
        return;
    }
    if (i == hovered_) return;
    hovered_ = i;
    marker_ = i;
    markerTime_ = track_->Point(*i).time;
    update();
    emit TimeHovered(markerTime_);
}

void TrackView::HoverProfile(QPointF pos) {
    mouse_.reset();
    if (!track_ || track_->Empty()) return;
    const double time = ProfileTimeAt(pos.x());
    if (hovered_ && time == markerTime_) return;
    // The chart's cursor goes to the time under the mouse, the aircraft to the position then.
    const std::optional<size_t> at = track_->IndexAt(time);
    hovered_ = at.value_or(0);
    marker_ = at;
    markerTime_ = time;
    update();
    emit TimeHovered(time);
}

void TrackView::EndHover() {
    if (!hovered_) return;
    hovered_.reset();
    emit TimeHovered(std::nan(""));
}

}  // namespace krelby
