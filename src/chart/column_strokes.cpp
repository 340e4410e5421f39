#include "chart/column_strokes.h"

#include <QLineF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace krelby {
namespace {

struct Column {
    double x;                       // floor of its points' pixel x
    double low, high;               // pixel rows of its lowest and highest point
    QPointF last;
};

// The rows [a, b] of column x, within the clip.
void Run(QVector<QRect>& runs, const QRect& clip, double column, double a, double b) {
    if (column < clip.left() || column > clip.right()) return;
    const int x = static_cast<int>(column);
    // Clamped before the cast: a value far off a zoomed axis lies millions of pixels away.
    const double top = std::floor(std::min(a, b)), bottom = std::floor(std::max(a, b));
    const int from = static_cast<int>(std::clamp<double>(top, clip.top(), clip.bottom() + 1));
    const int to = static_cast<int>(std::clamp<double>(bottom, clip.top() - 1, clip.bottom()));
    if (from > to) return;
    // A steady line is one long run rather than a stroke a column.
    if (!runs.isEmpty()) {
        QRect& last = runs.last();
        if (last.top() == from && last.bottom() == to && last.right() + 1 == x) return last.setRight(x);
        if (last.top() <= from && last.bottom() >= to && last.left() <= x && last.right() >= x) return;
    }
    runs.append(QRect(x, from, 1, to - from + 1));
}

// The part of a line within `box` (Liang-Barsky); false when none is.
bool Clip(QLineF& line, const QRectF& box) {
    double t0 = 0, t1 = 1;
    const double dx = line.dx(), dy = line.dy();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {line.x1() - box.left(), box.right() - line.x1(), line.y1() - box.top(),
                         box.bottom() - line.y1()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
    line = QLineF(line.pointAt(t0), line.pointAt(t1));
    return true;
}

}  // namespace

void DrawColumnStrokes(QPainter& painter, const QVector<QPointF>& points, const QRect& clip, const QColor& color) {
    QVector<QRect> runs;
    QVector<QLineF> joins;
    const QRectF box = QRectF(clip).adjusted(-2, -2, 2, 2);
    bool open = false;
    Column c{};
    for (const QPointF& p : points) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y())) continue;
        const double x = std::floor(p.x());
        if (open && x == c.x) {
            c.low = std::min(c.low, p.y());
            c.high = std::max(c.high, p.y());
            c.last = p;
            continue;
        }
        if (open) {
            Run(runs, clip, c.x, c.low, c.high);
            if (x == c.x + 1) {
                // A step to the next column: half of it in each.
                const double mid = (c.last.y() + p.y()) / 2;
                Run(runs, clip, c.x, c.last.y(), mid);
                Run(runs, clip, x, mid, p.y());
            } else {
                // Across empty columns, or from beyond the plot: a line with its true slope.
                QLineF join(c.last, p);
                if (Clip(join, box)) joins.append(join);
            }
        }
        c = Column{x, p.y(), p.y(), p};
        open = true;
    }
    if (open) Run(runs, clip, c.x, c.low, c.high);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawRects(runs);
    painter.setPen(QPen(color, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawLines(joins);
    painter.restore();
}

}  // namespace krelby
