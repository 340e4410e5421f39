// The track pane's line: coloured by pressure altitude, faded outside the chart's time,
// broken where the positions are, with its start and end marks.
#pragma once
#include <QColor>
#include <QPointF>

#include "replay/track.h"

class QPainter;

namespace krelby {

inline const QColor kTrackPaper(244, 243, 236);

// Low blue (0) through green and amber to high red (1).
QColor AltitudeColour(double share);
inline QPointF TrackPixel(const Track& t, const PixelMap& m, size_t i) {
    return QPointF(m.PixelX(t.X(i)), m.PixelY(t.Y(i)));
}
// The line, outside `span` (the chart's time) faded, inside in full (an empty span: all
// faded), thinned to what the pixels show; a green dot at the start, a red square at the end.
// Over a map the faded parts are see-through rather than pale, and a light halo runs under
// the line.
void DrawTrackLine(QPainter& p, const Track& t, const PixelMap& m, TrackSpan span, bool overMap = false);

}  // namespace krelby
