#include "chart/track_layers.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

#include "base/recorded_units.h"
#include "chart/track_line.h"
#include "replay/units.h"

namespace krelby {
namespace {

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

void TrackLineLayer::Paint(QPainter& p, const TrackScene& scene) {
    const PixelMap& m = scene.map;
    const QPaintDevice* device = p.device();
    const bool kept = device && p.worldTransform().type() <= QTransform::TxTranslate &&
                      (device->devType() == QInternal::Widget || device->devType() == QInternal::Image ||
                       device->devType() == QInternal::Pixmap);
    if (!kept) {
        DrawTrackLine(p, scene.track, m, scene.span);
        return;
    }
    const Key key{scene.size, m.originX, m.originY, m.scale, scene.span.begin, scene.span.end,
                  device->devicePixelRatioF()};
    if (line_.isNull() || !(key == key_)) {
        line_ = QImage(scene.size * key.pixelRatio, QImage::Format_RGB32);
        line_.setDevicePixelRatio(key.pixelRatio);
        line_.fill(kTrackPaper);
        QPainter painter(&line_);
        DrawTrackLine(painter, scene.track, m, scene.span);
        key_ = key;
    }
    p.drawImage(QPointF(0, 0), line_);
}

void PaintAircraft(QPainter& p, const TrackScene& scene) {
    if (!scene.marker || *scene.marker >= scene.track.Size()) return;
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(TrackPixel(scene.track, scene.map, *scene.marker));
    p.rotate(scene.track.HeadingAt(*scene.marker));
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(QColor(255, 215, 0));
    p.drawPolygon(Aircraft());
}

void PaintAltitudeScale(QPainter& p, const TrackScene& scene) {
    p.setRenderHint(QPainter::Antialiasing, false);
    const QFontMetrics fm(scene.font);
    const Track& t = scene.track;
    const QString symbol = QString::fromUtf8(ShownUnit(UnitQuantity::Altitude, scene.units).symbol.data());
    const QString low = QString::number(ConvertAltitude(t.MinPaltFeet(), scene.units)) + " " + symbol;
    const QString high = QString::number(ConvertAltitude(t.MaxPaltFeet(), scene.units)) + " " + symbol;
    const QString title = "PALT ";
    const int top = 12, barHeight = 10;
    int x = kTrackSide;
    p.setPen(kTrackInk);
    p.drawText(QPoint(x, top + fm.ascent() - 1), title + low);
    x += fm.horizontalAdvance(title + low) + 6;
    const int barWidth = std::min(140, scene.size.width() - x - kTrackSide - fm.horizontalAdvance(high) - 6);
    if (barWidth <= 20) return;
    for (int i = 0; i < barWidth; ++i) {
        p.setPen(AltitudeColour(i / double(barWidth - 1)));
        p.drawLine(x + i, top, x + i, top + barHeight);
    }
    p.setPen(kTrackInk);
    p.setBrush(Qt::NoBrush);
    p.drawRect(x, top, barWidth, barHeight);
    p.drawText(QPoint(x + barWidth + 6, top + fm.ascent() - 1), high);
}

void PaintScaleBar(QPainter& p, const TrackScene& scene) {
    p.setRenderHint(QPainter::Antialiasing, false);
    const UnitRow& distance = ShownUnit(UnitQuantity::Distance, scene.units);
    const double perPixel = kTenthKmPerDegree * distance.Factor() / scene.map.scale;
    const double length = NiceBelow(scene.size.width() * 0.3 * perPixel);
    const double pixels = length / perPixel;
    const int y = scene.size.height() - 14;
    p.setPen(QPen(kTrackInk, 2));
    p.drawLine(QPointF(kTrackSide, y), QPointF(kTrackSide + pixels, y));
    p.setPen(QPen(kTrackInk, 1));
    p.drawLine(QPointF(kTrackSide, y - 4), QPointF(kTrackSide, y + 3));
    p.drawLine(QPointF(kTrackSide + pixels, y - 4), QPointF(kTrackSide + pixels, y + 3));
    p.drawText(QPointF(kTrackSide, y - 6), Number(length) + " " + QString::fromUtf8(distance.symbol.data()));
}

void PaintNorthArrow(QPainter& p, const TrackScene& scene) {
    const QFontMetrics fm(scene.font);
    const QPointF north(scene.size.width() - kTrackSide - 4, scene.size.height() - 16);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kTrackInk);
    p.drawPolygon(QPolygonF({north + QPointF(0, -10), north + QPointF(5, 4), north + QPointF(0, 1), north + QPointF(-5, 4)}));
    p.setPen(kTrackInk);
    p.drawText(QRectF(north.x() - 10, north.y() + 3, 20, fm.height()), Qt::AlignHCenter | Qt::AlignTop, "N");
}

}  // namespace krelby
