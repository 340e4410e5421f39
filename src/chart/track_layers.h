// The track pane's layers. Each draws one thing from the same scene, and the pane draws them
// bottom to top in the order of its list: a new layer is one function and one entry there.
// Private to the chart library.
#pragma once
#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>

#include <functional>
#include <optional>

#include "replay/track.h"
#include "settings/records.h"

class QPainter;

namespace krelby {

inline const QColor kTrackInk(40, 40, 40);
// Room the fitted track leaves at the sides, for the altitude scale above and the scale bar
// below.
inline constexpr int kTrackSide = 16, kTrackTop = 40, kTrackBottom = 40;

// What the layers draw from. The painter's origin is the pane's top-left corner.
struct TrackScene {
    QSize size;
    const Track& track;  // never empty
    PixelMap map;
    TrackSpan span;  // the chart's time
    std::optional<size_t> marker;
    const UnitSettings& units;
    QFont font;  // the pane's, set on the painter
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
        bool operator==(const Key&) const = default;
    };
    QImage line_;
    Key key_{};
};

// The aircraft at the marker, turned to the track.
void PaintAircraft(QPainter& p, const TrackScene& scene);
// The colours of pressure altitude, lowest to highest, in the altitude unit chosen.
void PaintAltitudeScale(QPainter& p, const TrackScene& scene);
// A round distance of about a third of the width, in the distance unit chosen.
void PaintScaleBar(QPainter& p, const TrackScene& scene);
// North is up.
void PaintNorthArrow(QPainter& p, const TrackScene& scene);

}  // namespace krelby
