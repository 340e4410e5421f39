#include "chart/track_line.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "chart/map_layer.h"

namespace krelby {

QColor AltitudeColour(double share) {
    struct Stop {
        double at;
        int r, g, b;
    };
    static constexpr std::array<Stop, 5> kStops = {
        {{0.0, 40, 80, 220}, {0.3, 0, 160, 190}, {0.55, 40, 170, 40}, {0.78, 235, 165, 0}, {1.0, 215, 30, 30}}};
    share = std::clamp(share, 0.0, 1.0);
    size_t k = 1;
    while (k + 1 < kStops.size() && share > kStops[k].at) ++k;
    const Stop& a = kStops[k - 1];
    const Stop& b = kStops[k];
    const double t = (share - a.at) / (b.at - a.at);
    const auto mix = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
    return QColor(mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b));
}

namespace {

constexpr int kColourSteps = 32;
constexpr double kFullWidth = 2.5, kFadedWidth = 1.5;  // of the line, in pane pixels

QColor Faded(const QColor& c) {
    const auto mix = [](int x, int bg) { return bg + (x - bg) * 3 / 10; };
    return QColor(mix(c.red(), kTrackPaper.red()), mix(c.green(), kTrackPaper.green()),
                  mix(c.blue(), kTrackPaper.blue()));
}

int Step(const Track& t, size_t i) {
    const double range = t.MaxPaltFeet() - t.MinPaltFeet();
    if (range <= 0) return kColourSteps / 2;
    return static_cast<int>(std::lround((t.Point(i).paltFeet - t.MinPaltFeet()) / range * (kColourSteps - 1)));
}


// The polyline without the points that lie within `tolerance` pixels of the line through
// their neighbours kept (Douglas-Peucker): a gentle curve of many pixels needs few points.
QPolygonF Simplified(const QPolygonF& line, double tolerance) {
    const int n = static_cast<int>(line.size());
    if (n < 3) return line;
    std::vector<char> keep(static_cast<size_t>(n), 0);
    keep.front() = keep.back() = 1;
    std::vector<std::pair<int, int>> open{{0, n - 1}};
    while (!open.empty()) {
        const auto [a, b] = open.back();
        open.pop_back();
        const QPointF d = line[b] - line[a];
        const double length = QPointF::dotProduct(d, d);
        double worst = tolerance * tolerance;
        int at = -1;
        for (int i = a + 1; i < b; ++i) {
            const QPointF v = line[i] - line[a];
            const double t = length > 0 ? std::clamp(QPointF::dotProduct(v, d) / length, 0.0, 1.0) : 0.0;
            const QPointF off = v - t * d;
            const double distance = QPointF::dotProduct(off, off);
            if (distance > worst) {
                worst = distance;
                at = i;
            }
        }
        if (at < 0) continue;
        keep[static_cast<size_t>(at)] = 1;
        open.push_back({a, at});
        open.push_back({at, b});
    }
    QPolygonF out;
    for (int i = 0; i < n; ++i)
        if (keep[static_cast<size_t>(i)]) out << line[i];
    return out;
}

// A span of the track as polylines of one colour step each, thinned to what the pixels show.
// The line breaks where the positions do (a lost fix, a gap in time): a position alone
// between two breaks is a dot. Over a map, each unbroken run's halo goes under all of it
// first, so that no halo covers the line where two colours meet.
void DrawSpan(QPainter& p, const Track& t, const PixelMap& m, TrackSpan span, bool faded, bool overMap) {
    std::vector<uint32_t> kept;
    t.ReduceToPixels(span, m, kept);
    if (kept.empty()) return;
    struct Piece {
        QPolygonF line;
        int step;
    };
    std::vector<Piece> pieces;
    std::vector<QPolygonF> runs;
    const auto start = [&](size_t k, bool newRun) {
        pieces.push_back({QPolygonF() << TrackPixel(t, m, kept[k]), Step(t, kept[k])});
        if (newRun) runs.push_back(pieces.back().line);
    };
    start(0, true);
    for (size_t k = 1; k < kept.size(); ++k) {
        const QPointF at = TrackPixel(t, m, kept[k]);
        // Thinning keeps both points either side of a break, one after the other.
        if (t.BreaksBefore(kept[k]) && kept[k - 1] + 1 == kept[k]) {
            start(k, true);
            continue;
        }
        if (Step(t, kept[k]) != pieces.back().step) {
            start(k - 1, false);
            pieces.back().step = Step(t, kept[k]);
        }
        pieces.back().line << at;
        runs.back() << at;
    }
    const double width = faded ? kFadedWidth : kFullWidth;
    const auto draw = [&p](const QPolygonF& line, const QPen& pen) {
        p.setPen(pen);
        if (line.size() == 1)
            p.drawPoint(line.front());
        else
            p.drawPolyline(Simplified(line, 0.3));
    };
    if (overMap) {
        QPen halo = HaloPen(width);
        if (faded) halo.setColor(QColor(255, 255, 255, 110));
        for (const QPolygonF& run : runs) draw(run, halo);
    }
    for (const Piece& piece : pieces) {
        QColor c = AltitudeColour(piece.step / double(kColourSteps - 1));
        if (faded) c = overMap ? QColor(c.red(), c.green(), c.blue(), 120) : Faded(c);
        draw(piece.line, QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
}

}  // namespace

// The line, outside the chart's time faded, inside in full (the faded parts run to the
// span's first and last points so the line stays whole), and its start and end marks: a
// green dot and a dark red square.
void DrawTrackLine(QPainter& p, const Track& t, const PixelMap& m, TrackSpan span, bool overMap) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const size_t n = t.Size();
    if (span.Empty()) {
        DrawSpan(p, t, m, {0, n}, true, overMap);
    } else {
        if (span.begin > 0) DrawSpan(p, t, m, {0, span.begin + 1}, true, overMap);
        if (span.end < n) DrawSpan(p, t, m, {span.end - 1, n}, true, overMap);
        DrawSpan(p, t, m, span, false, overMap);
    }
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(QColor(0, 150, 60));
    p.drawEllipse(TrackPixel(t, m, 0), 5.5, 5.5);
    p.setBrush(QColor(150, 0, 0));
    p.drawRect(QRectF(TrackPixel(t, m, n - 1) - QPointF(5, 5), QSizeF(10, 10)));
    p.restore();
}

}  // namespace krelby
