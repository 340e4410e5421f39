#include "chart/track_layers.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

#include "base/recorded_units.h"
#include "chart/track_line.h"
#include "replay/units.h"

namespace krelby {
namespace {

// 0.1 km in a nautical mile: the distance unit table converts from 0.1 km.
constexpr double kTenthKmPerNm = kMetresPerNauticalMile / 100;
// Light under the pane's own marks, so that they read over any map.
const QColor kBackdrop(255, 255, 255, 200);

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
    const bool overMap = scene.tiles != nullptr;
    if (!kept) {
        DrawTrackLine(p, scene.track, m, scene.span, overMap);
        return;
    }
    const Key key{scene.size, m.originX, m.originY, m.scale, scene.span.begin, scene.span.end,
                  device->devicePixelRatioF(), overMap};
    if (line_.isNull() || !(key == key_)) {
        // Over a map the kept pixels are clear around the line, which the tiles show through.
        line_ = QImage(scene.size * key.pixelRatio, overMap ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        line_.setDevicePixelRatio(key.pixelRatio);
        line_.fill(overMap ? QColor(Qt::transparent) : kTrackPaper);
        QPainter painter(&line_);
        DrawTrackLine(painter, scene.track, m, scene.span, overMap);
        key_ = key;
    }
    p.drawImage(QPointF(0, 0), line_);
}

void PaintTrackTiles(QPainter& p, const TrackScene& scene) {
    if (!scene.tiles) return;
    const QRectF target(QPointF(0, 0), QSizeF(scene.size));
    const MapView view = MercatorViewOf(scene.map);
    TrackMapScene& map = *scene.tiles;
    map.picture = map.wait ? PaintMapTilesWaiting(p, target, view, map.tiles, *map.wait)
                           : PaintMapTiles(p, target, view, map.tiles);
}

void PaintTrackMapNotes(QPainter& p, const TrackScene& scene) {
    if (!scene.tiles) return;
    // Below the altitude scale; above the scale bar and the north arrow.
    const double top = 28, bottom = scene.size.height() - 30;
    if (bottom - top < 20) return;
    PaintMapNotes(p, QRectF(0, top, scene.size.width(), bottom - top), scene.tiles->picture, scene.tiles->tiles);
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
    const int barWidth = std::min(140, scene.size.width() - x - fm.horizontalAdvance(title + low) - 6 - kTrackSide -
                                           fm.horizontalAdvance(high) - 6);
    if (scene.tiles) {
        const int right = barWidth > 20 ? x + fm.horizontalAdvance(title + low) + 12 + barWidth + fm.horizontalAdvance(high)
                                        : x + fm.horizontalAdvance(title + low);
        p.fillRect(QRect(x - 4, top - 3, right - x + 8, std::max(barHeight, fm.height()) + 5), kBackdrop);
    }
    p.setPen(kTrackInk);
    p.drawText(QPoint(x, top + fm.ascent() - 1), title + low);
    x += fm.horizontalAdvance(title + low) + 6;
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
    // True at the middle of the pane: under a map the scale grows towards the poles.
    const double nmPerUnit = scene.track.NmPerUnit(scene.map.Y(scene.size.height() / 2.0));
    const double perPixel = nmPerUnit * kTenthKmPerNm * distance.Factor() / scene.map.scale;
    const double length = NiceBelow(scene.size.width() * 0.3 * perPixel);
    const double pixels = length / perPixel;
    const int y = scene.size.height() - 14;
    const QString label = Number(length) + " " + QString::fromUtf8(distance.symbol.data());
    if (scene.tiles) {
        const QFontMetrics fm(scene.font);
        const double right = kTrackSide + std::max<double>(pixels, fm.horizontalAdvance(label));
        p.fillRect(QRectF(kTrackSide - 4, y - 6 - fm.ascent() - 2, right - kTrackSide + 8, fm.ascent() + 14), kBackdrop);
    }
    p.setPen(QPen(kTrackInk, 2));
    p.drawLine(QPointF(kTrackSide, y), QPointF(kTrackSide + pixels, y));
    p.setPen(QPen(kTrackInk, 1));
    p.drawLine(QPointF(kTrackSide, y - 4), QPointF(kTrackSide, y + 3));
    p.drawLine(QPointF(kTrackSide + pixels, y - 4), QPointF(kTrackSide + pixels, y + 3));
    p.drawText(QPointF(kTrackSide, y - 6), label);
}

void PaintNorthArrow(QPainter& p, const TrackScene& scene) {
    const QFontMetrics fm(scene.font);
    const QPointF north(scene.size.width() - kTrackSide - 4, scene.size.height() - 16);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    if (scene.tiles) {
        p.setBrush(kBackdrop);
        p.drawEllipse(north + QPointF(0, 3), 12, 14);
    }
    p.setBrush(kTrackInk);
    p.drawPolygon(QPolygonF({north + QPointF(0, -10), north + QPointF(5, 4), north + QPointF(0, 1), north + QPointF(-5, 4)}));
    p.setPen(kTrackInk);
    p.drawText(QRectF(north.x() - 10, north.y() + 3, 20, fm.height()), Qt::AlignHCenter | Qt::AlignTop, "N");
}

}  // namespace krelby
