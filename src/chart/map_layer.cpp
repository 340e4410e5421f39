#include "chart/map_layer.h"

#include <QEventLoop>
#include <QFontMetricsF>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>

#include "chart/tile_fetcher.h"

namespace krelby {

namespace {

// More than a large screen's worth of tiles is a view gone wrong, not a map to fetch.
constexpr size_t kMaxViewTiles = 600;
// Lower levels tried for a tile not there, nearest first.
constexpr int kFallbackLevels = 8;

struct Layout {
    int level = 0;
    double size = kTilePixels;  // a tile's width in target pixels
    std::vector<PlacedTile> tiles;
};

Layout LayoutOf(const QRectF& target, const MapView& view, const TileSource& source) {
    Layout l;
    l.level = TileZoomFor(view.zoom, source.maxZoom);
    l.size = kTilePixels * std::exp2(view.zoom - l.level);
    l.tiles = TilesCovering(view.Area(target.width(), target.height()), view.zoom, l.level, kMaxViewTiles);
    return l;
}

// Cells meet on whole pixels, so that no seam shows between tiles at any zoom.
QRect CellOf(const QRectF& target, const MapView& view, const Layout& l, const PlacedTile& t) {
    const double x = target.left() + double(t.column) * l.size - view.left;
    const double y = target.top() + double(t.id.y) * l.size - view.top;
    const int left = int(std::lround(x)), top = int(std::lround(y));
    return QRect(left, top, int(std::lround(x + l.size)) - left, int(std::lround(y + l.size)) - top);
}

// The part of a lower level's tile that covers `tile`, scaled up into its cell.
bool DrawFromLowerLevel(QPainter& painter, const QRect& cell, TileId tile, TileFetcher& fetcher) {
    for (int k = 1; k <= std::min(tile.z, kFallbackLevels); ++k) {
        const QImage image = fetcher.Find(tile.Parent(k));
        if (image.isNull()) continue;
        const int mask = (1 << k) - 1;
        const double w = double(image.width()) / (1 << k), h = double(image.height()) / (1 << k);
        painter.drawImage(QRectF(cell), image, QRectF((tile.x & mask) * w, (tile.y & mask) * h, w, h));
        return true;
    }
    return false;
}

}  // namespace

MapPicture PaintMapTiles(QPainter& painter, const QRectF& target, const MapView& view, TileFetcher& fetcher) {
    MapPicture picture;
    if (!fetcher.Enabled() || target.isEmpty()) return picture;
    picture.on = true;
    Layout l = LayoutOf(target, view, fetcher.Source());
    picture.tileLevel = l.level;
    // The middle of the picture first: what the pilot looks at comes first.
    const QPointF middle = target.center();
    std::stable_sort(l.tiles.begin(), l.tiles.end(), [&](const PlacedTile& a, const PlacedTile& b) {
        const QPointF da = QRectF(CellOf(target, view, l, a)).center() - middle;
        const QPointF db = QRectF(CellOf(target, view, l, b)).center() - middle;
        return QPointF::dotProduct(da, da) < QPointF::dotProduct(db, db);
    });
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    std::vector<TileId> missing, stale;
    for (const PlacedTile& t : l.tiles) {
        const QRect cell = CellOf(target, view, l, t);
        bool old = false;
        const QImage image = fetcher.Find(t.id, &old);
        if (!image.isNull()) {
            painter.drawImage(QRectF(cell), image);
            ++picture.tiles;
            if (old) stale.push_back(t.id);
        } else {
            missing.push_back(t.id);
            if (DrawFromLowerLevel(painter, cell, t.id, fetcher))
                ++picture.scaled;
            else
                ++picture.missing;
        }
        picture.failing = picture.failing || fetcher.Failed(t.id);
    }
    painter.restore();
    picture.failing = picture.failing || fetcher.Offline();
    missing.insert(missing.end(), stale.begin(), stale.end());
    fetcher.Want(missing);
    return picture;
}

MapPicture PaintMapTilesWaiting(QPainter& painter, const QRectF& target, const MapView& view, TileFetcher& fetcher,
                                QDeadlineTimer deadline) {
    if (fetcher.Enabled() && !fetcher.Offline() && !target.isEmpty()) {
        std::vector<TileId> missing;
        for (const PlacedTile& t : LayoutOf(target, view, fetcher.Source()).tiles)
            if (!fetcher.Failed(t.id) && fetcher.Find(t.id).isNull()) missing.push_back(t.id);
        fetcher.Want(missing);
        const auto waiting = [&] {
            return !fetcher.Offline() &&
                   std::any_of(missing.begin(), missing.end(), [&](TileId t) { return fetcher.Pending(t); });
        };
        if (waiting() && !deadline.hasExpired()) {
            QEventLoop loop;
            QObject::connect(&fetcher, &TileFetcher::Changed, &loop, [&] {
                if (!waiting()) loop.quit();
            });
            QTimer timer;
            timer.setSingleShot(true);
            QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
            if (!deadline.isForever()) timer.start(int(std::max<qint64>(0, deadline.remainingTime())));
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        }
    }
    return PaintMapTiles(painter, target, view, fetcher);
}

void PaintMapNotes(QPainter& painter, const QRectF& area, const MapPicture& picture, const TileFetcher& fetcher) {
    if (!picture.on || area.isEmpty()) return;
    painter.save();
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    const QFontMetricsF fm(font);
    const auto note = [&](const QString& text, double y, bool bottom) {
        const QString shown = fm.elidedText(text, Qt::ElideRight, std::max(0.0, area.width() - 8));
        const QSizeF size(fm.horizontalAdvance(shown) + 8, fm.height() + 2);
        const QRectF box(QPointF(area.right() - size.width(), bottom ? y - size.height() : y), size);
        painter.fillRect(box, QColor(255, 255, 255, 200));
        painter.setPen(QColor(50, 50, 50));
        painter.drawText(box, Qt::AlignCenter, shown);
        return bottom ? box.top() : box.bottom();
    };
    note(fetcher.Source().attribution, area.bottom(), true);
    double y = area.top();
    if (picture.failing) y = note("Map offline", y, false);
    if (!fetcher.CacheProblem().isEmpty()) note("Map tiles not kept: " + fetcher.CacheProblem(), y, false);
    painter.restore();
}

QPen HaloPen(qreal width) {
    return QPen(QColor(255, 255, 255, 190), width + 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void DrawWithHalo(QPainter& painter, const QPolygonF& line, const QPen& pen) {
    painter.save();
    painter.setPen(HaloPen(pen.widthF()));
    painter.drawPolyline(line);
    painter.setPen(pen);
    painter.drawPolyline(line);
    painter.restore();
}

}  // namespace krelby
