#include "chart/track_profile.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

#include "chart/track_layers.h"
#include "base/recorded_units.h"
#include "chart/engine_text.h"
#include "chart/track_line.h"
#include "replay/units.h"

namespace krelby {
namespace {

constexpr int kLeastPane = 220;  // lower panes have no profile
constexpr int kReadoutHeight = 18;

const QColor kProfileLine(40, 80, 160);
const QColor kProfileFill(40, 80, 160, 55);
const QColor kSpanShade(255, 200, 60, 90);
const QColor kMarkerLine(200, 30, 30);

// One pixel column of a part of the profile between two breaks: its lowest and highest
// altitude (feet).
struct Column {
    int x;
    int32_t low, high;
};

// Each unbroken part of the track as columns, left to right.
std::vector<std::vector<Column>> Parts(const Track& t, const ProfileAxis& axis) {
    std::vector<std::vector<Column>> parts;
    for (size_t i = 0; i < t.Size(); ++i) {
        const int32_t ft = t.Point(i).paltFeet;
        const int x = int(std::floor(axis.X(t.Point(i).time)));
        if (i == 0 || t.BreaksBefore(i)) parts.emplace_back();
        std::vector<Column>& part = parts.back();
        if (!part.empty() && part.back().x == x) {
            part.back().low = std::min(part.back().low, ft);
            part.back().high = std::max(part.back().high, ft);
        } else {
            part.push_back({x, ft, ft});
        }
    }
    return parts;
}

// Each part filled down to the floor, its highs joined, each column from its low to its
// high: a gap in the positions stays a gap. Feet to y: the lowest at the bottom; at least
// 100 ft across, so that level flight reads as level.
void DrawCurve(QPainter& p, const Track& t, const QRect& plot) {
    const ProfileAxis axis = ProfileAxisOf(t, plot);
    double low = t.MinPaltFeet(), high = t.MaxPaltFeet();
    if (high - low < 100) {
        const double middle = (low + high) / 2;
        low = middle - 50;
        high = middle + 50;
    }
    const double floor = plot.bottom() + 1;
    const auto y = [&](double ft) { return floor - (ft - low) / (high - low) * plot.height(); };
    for (const std::vector<Column>& part : Parts(t, axis)) {
        QPolygonF top;
        for (const Column& c : part) top << QPointF(c.x + 0.5, y(c.high));
        QPolygonF area = top;
        area << QPointF(part.back().x + 0.5, floor) << QPointF(part.front().x + 0.5, floor);
        p.setPen(Qt::NoPen);
        p.setBrush(kProfileFill);
        p.drawPolygon(area);
        p.setPen(QPen(kProfileLine, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        if (top.size() == 1)
            p.drawPoint(top.front());
        else
            p.drawPolyline(top);
        p.setPen(QPen(kProfileLine, 1));
        for (const Column& c : part)
            if (c.low != c.high) p.drawLine(QPointF(c.x + 0.5, y(c.low)), QPointF(c.x + 0.5, y(c.high)));
    }
}

}  // namespace

TrackPaneLayout LayoutPane(QSize pane) {
    TrackPaneLayout l;
    const int w = pane.width(), h = pane.height();
    if (h < kLeastPane) {
        l.track = QRect(0, 0, w, h);
        return l;
    }
    const int profile = std::clamp(int(std::lround(h * 0.18)), 56, 96);
    l.track = QRect(0, 0, w, h - profile - kReadoutHeight);
    l.readout = QRect(0, l.track.bottom() + 1, w, kReadoutHeight);
    l.profile = QRect(0, h - profile, w, profile);
    l.plot = l.profile.adjusted(kTrackSide, 4, -kTrackSide, -6);
    return l;
}

double ProfileAxis::X(double days) const {
    return to > from ? left + (days - from) / (to - from) * width : left + width / 2;
}

double ProfileAxis::TimeAt(double x) const {
    if (!(to > from)) return from;
    return std::clamp(from + (x - left) / width * (to - from), from, to);
}

ProfileAxis ProfileAxisOf(const Track& t, const QRect& plot) {
    ProfileAxis a;
    if (!t.Empty()) {
        a.from = t.Point(0).time;
        a.to = t.Point(t.Size() - 1).time;
    }
    a.left = plot.left();
    a.width = std::max(1, plot.width());
    return a;
}

QString ProfileClockText(double days, const Regional& regional) {
    return ClockText(std::llround((days - kUnixEpochDay) * kSecondsPerDay), regional);
}

void PaintReadout(QPainter& p, const QRect& area, const QString& text, const QFont& font) {
    if (area.isEmpty()) return;
    p.save();
    p.fillRect(area, QColor(232, 231, 222));
    p.setPen(kTrackInk);
    p.setFont(font);
    p.drawText(area.adjusted(kTrackSide, 0, -kTrackSide, 0), Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetrics(font).elidedText(text, Qt::ElideRight, area.width() - 2 * kTrackSide));
    p.restore();
}

void TrackProfileLayer::Paint(QPainter& p, const ProfileScene& s) {
    if (s.plot.isEmpty()) return;
    p.save();
    p.fillRect(s.profile, kTrackPaper);
    p.setRenderHint(QPainter::Antialiasing);
    const ProfileAxis axis = ProfileAxisOf(s.track, s.plot);
    if (!std::isnan(s.spanFrom) && !std::isnan(s.spanTo)) {
        const double from = std::max<double>(axis.X(s.spanFrom), s.plot.left());
        const double to = std::min<double>(axis.X(s.spanTo), s.plot.right() + 1);
        if (to > from) p.fillRect(QRectF(from, s.plot.top(), to - from, s.plot.height()), kSpanShade);
    }
    // The curve costs a look at every position: kept as pixels, as the line is, so that
    // the marker moves at the same cost for any length of flight. On paper, in vectors.
    const QPaintDevice* device = p.device();
    const bool kept = device && p.worldTransform().type() <= QTransform::TxTranslate &&
                      (device->devType() == QInternal::Widget || device->devType() == QInternal::Image ||
                       device->devType() == QInternal::Pixmap);
    if (!kept) {
        DrawCurve(p, s.track, s.plot);
    } else {
        const Key key{s.plot.size(), device->devicePixelRatioF()};
        if (curve_.isNull() || !(key == key_)) {
            curve_ = QImage(s.plot.size().grownBy({0, 0, 1, 1}) * key.pixelRatio, QImage::Format_ARGB32_Premultiplied);
            curve_.setDevicePixelRatio(key.pixelRatio);
            curve_.fill(Qt::transparent);
            QPainter painter(&curve_);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.translate(-s.plot.topLeft());
            DrawCurve(painter, s.track, s.plot);
            key_ = key;
        }
        p.drawImage(s.plot.topLeft(), curve_);
    }
    const double floor = s.plot.bottom() + 1;
    if (!std::isnan(s.markerTime)) {
        const double x = std::floor(axis.X(s.markerTime)) + 0.5;  // on one column of pixels
        if (x >= s.plot.left() && x <= s.plot.right() + 1) {
            p.setPen(QPen(kMarkerLine, 1));
            p.drawLine(QPointF(x, s.plot.top()), QPointF(x, floor));
        }
    }
    // The extremes in the altitude unit, over the curve's corners.
    QFont small = s.font;
    small.setPixelSize(std::max(8, s.font.pixelSize() - 1));
    p.setFont(small);
    const QFontMetrics fm(small);
    const QString symbol = QString::fromUtf8(ShownUnit(UnitQuantity::Altitude, s.units).symbol.data());
    const auto label = [&](double ft, int top) {
        const QString text = QString::number(ConvertAltitude(int32_t(std::lround(ft)), s.units)) + " " + symbol;
        const QRect box(s.plot.left() + 2, top, fm.horizontalAdvance(text) + 4, fm.height());
        p.fillRect(box, QColor(255, 255, 255, 170));
        p.setPen(kTrackInk);
        p.drawText(box, Qt::AlignCenter, text);
    };
    label(s.track.MaxPaltFeet(), s.plot.top());
    const bool low = s.plot.height() > 2 * fm.height() + 4;
    if (low) label(s.track.MinPaltFeet(), s.plot.bottom() + 1 - fm.height());
    // The flight's first and last position time at the lower right, where there is room
    // beside the lowest altitude.
    const QString span = ProfileClockText(axis.from, s.regional) + QString::fromUtf8("\u2013") +
                         ProfileClockText(axis.to, s.regional);
    const int spanWidth = fm.horizontalAdvance(span) + 4;
    const int altitudeWidth = fm.horizontalAdvance(QString("-99999 ") + symbol) + 8;
    if (s.plot.width() >= spanWidth + altitudeWidth) {
        const QRect box(s.plot.right() - 1 - spanWidth, low ? s.plot.bottom() + 1 - fm.height() : s.plot.top(),
                        spanWidth, fm.height());
        p.fillRect(box, QColor(255, 255, 255, 170));
        p.setPen(kTrackInk);
        p.drawText(box, Qt::AlignCenter, span);
    }
    // The marker's time of day on its line, over the labels, kept inside the plot.
    if (!std::isnan(s.markerTime)) {
        const double x = axis.X(s.markerTime);
        if (x >= s.plot.left() && x <= s.plot.right() + 1) {
            const QString when = ProfileClockText(s.markerTime, s.regional);
            const int width = fm.horizontalAdvance(when) + 4;
            const int left = std::clamp(int(std::floor(x)) - width / 2, s.plot.left(), s.plot.right() + 1 - width);
            const QRect box(left, s.plot.top() + (s.plot.height() - fm.height()) / 2, width, fm.height());
            p.fillRect(box, QColor(255, 255, 255, 200));
            p.setPen(kMarkerLine);
            p.drawText(box, Qt::AlignCenter, when);
        }
    }
    p.restore();
}

}  // namespace krelby
