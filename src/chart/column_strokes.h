// A crowded line drawn pixel column by pixel column. Where a series has more points than the
// plot has columns, a polyline of sub-pixel segments leaves columns blank wherever the values
// are steady (the raster stroker draws no pixel for a segment inside one pixel). Instead every
// column holding points gets a stroke from its lowest to its highest point, and the step from
// one column's last point to the next column's first is drawn too, so no column is ever lost.
#pragma once
#include <QColor>
#include <QPointF>
#include <QRect>
#include <QVector>

class QPainter;

namespace krelby {

// `points` in pixels, in time order (at most a few a column: the decimated series); only
// what lies within `clip` is drawn, one pixel wide, in `color`.
void DrawColumnStrokes(QPainter& painter, const QVector<QPointF>& points, const QRect& clip, const QColor& color);

}  // namespace krelby
