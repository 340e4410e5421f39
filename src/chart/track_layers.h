// The track pane's layers. Each draws one thing from the same scene, and the pane draws them
// bottom to top in the order of its list: a new layer is one function and one entry there.
// Private to the chart library.
#pragma once
#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>

#include <QDeadlineTimer>

#include <functional>
#include <optional>

#include "chart/map_layer.h"
#include "replay/track.h"
#include "settings/records.h"

class QPainter;

namespace krelby {

inline const QColor kTrackInk(40, 40, 40);
// Room the fitted track leaves at the sides, for the altitude scale above and the scale bar
// below.
inline constexpr int kTrackSide = 16, kTrackTop = 40, kTrackBottom = 40;

class TileFetcher;

// The map under the track while one is shown: the tiles, the wait of a picture drawn once,
// and what the tiles' layer drew, for the notes over everything.
struct TrackMapScene {
    TileFetcher& tiles;
    std::optional<QDeadlineTimer> wait;
    MapPicture picture;
};

// What the layers draw from. The painter's origin is the pane's top-left corner; `size` is
// the track's part of the pane (the profile lies below it).
struct TrackScene {
    QSize size;
    const Track& track;  // never empty
    PixelMap map;
    TrackSpan span;  // the chart's time
    std::optional<size_t> marker;
    const UnitSettings& units;
    QFont font;  // the pane's, set on the painter
    TrackMapScene* tiles = nullptr;  // null without a map
};

// One layer. Each is drawn between a save and a restore of the painter and sets what it uses.
using TrackLayer = std::function<void(QPainter&, const TrackScene&)>;

// The line. On screen and in pictures it is kept as pixels until the view, the time shown or
// the track changes: moving the marker costs the same for any length of flight. On paper it
// is drawn in vectors.
class TrackLineLayer {
public:
    void Paint(QPainter& p, const TrackScene& scene);
    // The next paint draws the line afresh (the same track object may hold another flight).
    void Forget() { line_ = QImage(); }

private:
    // What the kept pixels were drawn for.
    struct Key {
        QSize size;
        double originX, originY, scale;
        size_t spanBegin, spanEnd;
        qreal pixelRatio;
        bool overMap;  // then kept clear around the line, with a halo
        bool operator==(const Key&) const = default;
    };
    QImage line_;
    Key key_{};
};

// The map's tiles under everything (a picture drawn once waits for them first).
void PaintTrackTiles(QPainter& p, const TrackScene& scene);
// Over everything: the source's attribution and "Map offline", clear of the altitude
// scale above and of the scale bar and north arrow below.
void PaintTrackMapNotes(QPainter& p, const TrackScene& scene);
// The aircraft at the marker, turned to the track.
void PaintAircraft(QPainter& p, const TrackScene& scene);
// The colours of pressure altitude, lowest to highest, in the altitude unit chosen.
void PaintAltitudeScale(QPainter& p, const TrackScene& scene);
// A round distance of about a third of the width, in the distance unit chosen.
void PaintScaleBar(QPainter& p, const TrackScene& scene);
// North is up.
void PaintNorthArrow(QPainter& p, const TrackScene& scene);

}  // namespace krelby
