#include "chart/track_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "chart/track_line.h"

namespace krelby {
namespace {

constexpr double kReachPixels = 8;  // how near the mouse must come to a point to pick it

}  // namespace

TrackView::TrackView(QWidget* parent)
    : QWidget(parent), spanFrom_(std::nan("")), spanTo_(std::nan("")) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);  // Home
    setMinimumSize(120, 120);
    // Bottom to top.
    layers_ = {
        [this](QPainter& p, const TrackScene& scene) { line_.Paint(p, scene); },
        PaintAircraft,
        PaintAltitudeScale,
        PaintScaleBar,
        PaintNorthArrow,
    };
}

void TrackView::SetTrack(const Track* track, bool sameFlight) {
    track_ = track;
    line_.Forget();  // the same track object may hold another flight
    marker_.reset();
    hovered_.reset();
    spanFrom_ = spanTo_ = std::nan("");
    if (!sameFlight) fitted_ = true;  // the view follows a new flight
    update();
}

void TrackView::SetUnits(const UnitSettings* units) {
    units_ = units;
    update();
}

void TrackView::SetMarkerTime(double days) {
    if (hovered_ || !track_) return;
    const std::optional<size_t> at = std::isnan(days) ? std::nullopt : track_->IndexAt(days);
    if (at == marker_) return;
    marker_ = at;
    update();
}

void TrackView::SetTimeSpan(double from, double to) {
    spanFrom_ = from;
    spanTo_ = to;
    update();
}

TrackSpan TrackView::VisibleSpan() const {
    if (!track_) return {};
    if (std::isnan(spanFrom_) || std::isnan(spanTo_)) return {0, track_->Size()};
    return track_->SpanOf(spanFrom_, spanTo_);
}

void TrackView::Fit() {
    fitted_ = true;
    update();
}

PixelMap TrackView::Map(QSize area) const {
    PixelMap m;
    if (!track_ || track_->Empty()) return m;
    if (fitted_) {
        const TrackBox box = track_->Bounds();
        const double w = std::max(10, area.width() - 2 * kTrackSide);
        const double h = std::max(10, area.height() - kTrackTop - kTrackBottom);
        // A track that never moved is shown a nautical mile across.
        const double bw = std::max(box.Width(), 1e-9), bh = std::max(box.Height(), 1e-9);
        m.scale = (box.Width() > 0 || box.Height() > 0) ? std::min(w / bw, h / bh) : std::min(w, h) * kNmPerDegree;
        m.originX = (box.minX + box.maxX) / 2 - (kTrackSide + w / 2) / m.scale;
        m.originY = (box.minY + box.maxY) / 2 + (kTrackTop + h / 2) / m.scale;
        return m;
    }
    m.scale = 1 / perPixel_;
    if (area != size() && width() > 0 && height() > 0)
        m.scale *= std::min(area.width() / double(width()), area.height() / double(height()));
    m.originX = centreX_ - area.width() / 2.0 / m.scale;
    m.originY = centreY_ + area.height() / 2.0 / m.scale;
    return m;
}

void TrackView::ZoomAround(QPointF at, double factor) {
    if (!track_ || track_->Empty() || !(factor > 0)) return;
    const PixelMap m = Map(size());
    const double x = m.X(at.x()), y = m.Y(at.y());
    // Between a few metres and a hemisphere across the pane.
    perPixel_ = std::clamp(1 / m.scale / factor, 1e-6, 1.0);
    centreX_ = x - (at.x() - width() / 2.0) * perPixel_;
    centreY_ = y + (at.y() - height() / 2.0) * perPixel_;
    fitted_ = false;
    update();
}

std::optional<size_t> TrackView::PointNear(QPointF pos) const {
    if (!track_ || track_->Empty()) return std::nullopt;
    const PixelMap m = Map(size());
    return track_->Nearest(m.X(pos.x()), m.Y(pos.y()), kReachPixels / m.scale);
}

void TrackView::Paint(QPainter& p, const QRect& area) const {
    p.save();
    p.setClipRect(area);
    p.translate(area.topLeft());
    const QSize size = area.size();
    p.fillRect(QRect(QPoint(0, 0), size), kTrackPaper);
    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);
    if (track_ && track_->Empty()) {
        p.setPen(kTrackInk);
        p.drawText(QRect(QPoint(0, 0), size).adjusted(10, 10, -10, -10), Qt::AlignCenter | Qt::TextWordWrap,
                   "No positions in this flight");
    }
    if (track_ && !track_->Empty()) {
        static const UnitSettings kDefaultUnits;
        const UnitSettings& units = units_ ? *units_ : kDefaultUnits;
        const TrackScene scene{size, *track_, Map(size), VisibleSpan(), marker_, units, font};
        for (const TrackLayer& layer : layers_) {
            p.save();
            layer(p, scene);
            p.restore();
        }
    }
    p.restore();
}

QImage TrackView::Grab(QSize size) const {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(kTrackPaper);
    QPainter painter(&image);
    Paint(painter, QRect(QPoint(0, 0), size));
    return image;
}

void TrackView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Paint(painter, rect());
}

void TrackView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    update();
}

void TrackView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressed_ = true;
    panning_ = false;
    pressPos_ = event->pos();
}

void TrackView::mouseMoveEvent(QMouseEvent* event) {
    if (pressed_ && (event->buttons() & Qt::LeftButton)) {
        if (!panning_ && (event->pos() - pressPos_).manhattanLength() > 3 && track_ && !track_->Empty()) {
            // Dragging takes the view from where it is, fitted or not.
            const PixelMap m = Map(size());
            pressCentreX_ = m.X(width() / 2.0);
            pressCentreY_ = m.Y(height() / 2.0);
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
    if (event->buttons() == Qt::NoButton) Hover(event->position());
}

void TrackView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = false;
    if (panning_) {
        panning_ = false;
        unsetCursor();
        return;
    }
    if (const std::optional<size_t> i = PointNear(event->position())) emit TimeClicked(track_->Point(*i).time);
}

void TrackView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (const std::optional<size_t> i = PointNear(event->position()))
        emit TimeDoubleClicked(track_->Point(*i).time);
}

void TrackView::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) return;
    // One notch (120) brings the track 1.4 times nearer, around the point under the mouse.
    ZoomAround(event->position(), std::pow(2.0, delta / 240.0));
    Hover(event->position());
}

void TrackView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Home: Fit(); return;
        case Qt::Key_Plus:
        case Qt::Key_Equal: ZoomAround(rect().center(), 2); return;
        case Qt::Key_Minus: ZoomAround(rect().center(), 0.5); return;
        default: QWidget::keyPressEvent(event);
    }
}

void TrackView::leaveEvent(QEvent* event) {
    EndHover();
    QWidget::leaveEvent(event);
}

void TrackView::Hover(QPointF pos) {
    const std::optional<size_t> i = PointNear(pos);
    if (!i) {
        EndHover();
        return;
    }
    if (i == hovered_) return;
    hovered_ = i;
    marker_ = i;
    update();
    emit TimeHovered(track_->Point(*i).time);
}

void TrackView::EndHover() {
    if (!hovered_) return;
    hovered_.reset();
    emit TimeHovered(std::nan(""));
}

}  // namespace krelby
