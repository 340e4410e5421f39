#include "chart/track_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>

#include "base/recorded_units.h"
#include "chart/track_line.h"
#include "replay/units.h"

namespace krelby {
namespace {

const QColor kBackground = kTrackPaper;
const QColor kInk(40, 40, 40);
constexpr double kReachPixels = 8;  // how near the mouse must come to a point to pick it
// Room the fitted track leaves for the altitude scale above and the scale bar below.
constexpr int kSide = 16, kTop = 40, kBottom = 40;
// 0.1 km in a degree of latitude: the distance unit table converts from 0.1 km.
constexpr double kTenthKmPerDegree = kNmPerDegree * (kMetresPerNauticalMile / 100);

// An aircraft seen from above, nose up, about 24 pixels long.
QPolygonF Aircraft() {
    const QPointF half[] = {{0, -12}, {1.8, -9}, {2, -3}, {11, 1}, {11, 3.5}, {2, 2},
                            {1.5, 8}, {5, 10}, {5, 11.5}, {0, 10.5}};
    QPolygonF shape;
    for (const QPointF& p : half) shape << p;
    for (int i = static_cast<int>(std::size(half)) - 2; i > 0; --i) shape << QPointF(-half[i].x(), half[i].y());
    return shape;
}

QString Number(double v) { return v >= 1 ? QString::number(v, 'f', 0) : QString::number(v, 'g', 2); }

// The largest 1, 2 or 5 times a power of ten not above v.
double NiceBelow(double v) {
    const double power = std::pow(10.0, std::floor(std::log10(v)));
    for (double m : {5.0, 2.0, 1.0})
        if (m * power <= v) return m * power;
    return power;
}

}  // namespace

TrackView::TrackView(QWidget* parent)
    : QWidget(parent), spanFrom_(std::nan("")), spanTo_(std::nan("")) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);  // Home
    setMinimumSize(120, 120);
}

void TrackView::SetTrack(const Track* track, bool sameFlight) {
    track_ = track;
    line_ = QImage();  // the same track object may hold another flight
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
        const double w = std::max(10, area.width() - 2 * kSide), h = std::max(10, area.height() - kTop - kBottom);
        // A track that never moved is shown a nautical mile across.
        const double bw = std::max(box.Width(), 1e-9), bh = std::max(box.Height(), 1e-9);
        m.scale = (box.Width() > 0 || box.Height() > 0) ? std::min(w / bw, h / bh) : std::min(w, h) * kNmPerDegree;
        m.originX = (box.minX + box.maxX) / 2 - (kSide + w / 2) / m.scale;
        m.originY = (box.minY + box.maxY) / 2 + (kTop + h / 2) / m.scale;
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
    p.fillRect(QRect(QPoint(0, 0), size), kBackground);
    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);
    if (track_ && track_->Empty()) {
        p.setPen(kInk);
        p.drawText(QRect(QPoint(0, 0), size).adjusted(10, 10, -10, -10), Qt::AlignCenter | Qt::TextWordWrap,
                   "No positions in this flight");
    }
    if (!track_ || track_->Empty()) {
        p.restore();
        return;
    }
    const Track& t = *track_;
    const PixelMap m = Map(size);
    const TrackSpan span = VisibleSpan();
    const size_t n = t.Size();
    // On screen and in pictures the line is kept as pixels until the view, the time shown
    // or the track changes: moving the marker costs the same for any length of flight.
    // On paper it is drawn in vectors.
    const QPaintDevice* device = p.device();
    const bool kept = device && p.worldTransform().type() <= QTransform::TxTranslate &&
                      (device->devType() == QInternal::Widget || device->devType() == QInternal::Image ||
                       device->devType() == QInternal::Pixmap);
    if (kept) {
        const LineKey key{size, m.originX, m.originY, m.scale, span.begin, span.end, device->devicePixelRatioF()};
        if (line_.isNull() || !(key == lineKey_)) {
            line_ = QImage(size * key.pixelRatio, QImage::Format_RGB32);
            line_.setDevicePixelRatio(key.pixelRatio);
            line_.fill(kBackground);
            QPainter painter(&line_);
            DrawTrackLine(painter, t, m, span);
            lineKey_ = key;
        }
        p.drawImage(QPointF(0, 0), line_);
    } else {
        DrawTrackLine(p, t, m, span);
    }
    p.setRenderHint(QPainter::Antialiasing);

    if (marker_ && *marker_ < n) {
        p.save();
        p.translate(TrackPixel(t, m, *marker_));
        p.rotate(t.HeadingAt(*marker_));
        p.setPen(QPen(Qt::black, 1.2));
        p.setBrush(QColor(255, 215, 0));
        p.drawPolygon(Aircraft());
        p.restore();
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    const QFontMetrics fm(font);

    // The altitude scale, in the altitude unit chosen.
    static const UnitSettings kDefaultUnits;
    const UnitSettings& units = units_ ? *units_ : kDefaultUnits;
    const QString symbol = QString::fromUtf8(ShownUnit(UnitQuantity::Altitude, units).symbol.data());
    const QString low = QString::number(ConvertAltitude(t.MinPaltFeet(), units)) + " " + symbol;
    const QString high = QString::number(ConvertAltitude(t.MaxPaltFeet(), units)) + " " + symbol;
    const QString title = "PALT ";
    const int top = 12, barHeight = 10;
    int x = kSide;
    p.setPen(kInk);
    p.drawText(QPoint(x, top + fm.ascent() - 1), title + low);
    x += fm.horizontalAdvance(title + low) + 6;
    const int barWidth = std::min(140, size.width() - x - kSide - fm.horizontalAdvance(high) - 6);
    if (barWidth > 20) {
        for (int i = 0; i < barWidth; ++i) {
            p.setPen(AltitudeColour(i / double(barWidth - 1)));
            p.drawLine(x + i, top, x + i, top + barHeight);
        }
        p.setPen(kInk);
        p.setBrush(Qt::NoBrush);
        p.drawRect(x, top, barWidth, barHeight);
        p.drawText(QPoint(x + barWidth + 6, top + fm.ascent() - 1), high);
    }

    // The scale bar, in the distance unit chosen, about a third of the width.
    const UnitRow& distance = ShownUnit(UnitQuantity::Distance, units);
    const double perPixel = kTenthKmPerDegree * distance.Factor() / m.scale;
    const double length = NiceBelow(size.width() * 0.3 * perPixel);
    const double pixels = length / perPixel;
    const int y = size.height() - 14;
    p.setPen(QPen(kInk, 2));
    p.drawLine(QPointF(kSide, y), QPointF(kSide + pixels, y));
    p.setPen(QPen(kInk, 1));
    p.drawLine(QPointF(kSide, y - 4), QPointF(kSide, y + 3));
    p.drawLine(QPointF(kSide + pixels, y - 4), QPointF(kSide + pixels, y + 3));
    p.drawText(QPointF(kSide, y - 6), Number(length) + " " + QString::fromUtf8(distance.symbol.data()));

    // North is up.
    const QPointF north(size.width() - kSide - 4, size.height() - 16);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({north + QPointF(0, -10), north + QPointF(5, 4), north + QPointF(0, 1), north + QPointF(-5, 4)}));
    p.setPen(kInk);
    p.drawText(QRectF(north.x() - 10, north.y() + 3, 20, fm.height()), Qt::AlignHCenter | Qt::AlignTop, "N");
    p.restore();
}

QImage TrackView::Grab(QSize size) const {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(kBackground);
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
