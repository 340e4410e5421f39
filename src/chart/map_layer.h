// The map under a picture: the tiles a TileFetcher has for a view, drawn into a rect of any
// painter, with the source's attribution and "Map offline" over it, and a line drawn with a
// light halo so that a track stays legible over any map.
#pragma once
#include <QDeadlineTimer>
#include <QPen>
#include <QPolygonF>
#include <QRectF>

#include "replay/web_mercator.h"

class QPainter;

namespace krelby {

class TileFetcher;

// Pictures that are not drawn again (print, JPEG, report) wait this long in all for tiles.
constexpr int kOutputMapWaitMs = 5000;

// What a map picture drew, for the notes over it.
struct MapPicture {
    bool on = false;       // a source was set
    int tileLevel = 0;     // the zoom of the tiles drawn
    int tiles = 0;         // drawn at that level
    int scaled = 0;        // drawn from a lower level, scaled up
    int missing = 0;       // nothing drawn there (the background shows)
    bool failing = false;  // offline, or a tile of the view failed
};

// Draws into `target` what `fetcher` has of the view (MapView: the world pixel at the
// target's top left), tile by tile: at the view's level; else a lower level's, scaled up;
// else nothing, so that the background already drawn shows. Then asks for the tiles
// missing (nearest the middle first) and the stale ones; Changed() tells when to draw again.
// Draws nothing without a source.
MapPicture PaintMapTiles(QPainter& painter, const QRectF& target, const MapView& view, TileFetcher& fetcher);

// The same for pictures drawn once: first waits for the missing tiles until they come, the
// map goes offline or `deadline` passes (events are handled meanwhile, input aside).
// Offline it does not wait at all.
MapPicture PaintMapTilesWaiting(QPainter& painter, const QRectF& target, const MapView& view, TileFetcher& fetcher,
                                QDeadlineTimer deadline);

// Over everything else: the attribution at the bottom right of `area`, and "Map offline"
// at its top right when the picture was failing (with the cache's trouble, if any).
void PaintMapNotes(QPainter& painter, const QRectF& area, const MapPicture& picture, const TileFetcher& fetcher);

// A pen a little wider than one of `width`, light and half clear: drawn under a line first.
QPen HaloPen(qreal width);
// The line with its halo under it.
void DrawWithHalo(QPainter& painter, const QPolygonF& line, const QPen& pen);

}  // namespace krelby
