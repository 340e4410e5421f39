// What the track pane's tests share: a small track, the pixel of a point, the mouse.
#pragma once
#include <QApplication>
#include <QMouseEvent>

#include <vector>

#include "chart/track_view.h"

namespace krelby::testing {

constexpr double kTrackSecond = 1.0 / 86400.0;

// Ten points a second apart going east then north, climbing 100 ft a second from 1000 ft.
inline Track Square() {
    std::vector<TrackPoint> points;
    for (int i = 0; i < 10; ++i)
        points.push_back({1000 + i * kTrackSecond, i < 5 ? 50.0 : 50.0 + (i - 4) * 0.01, i < 5 ? 8.0 + i * 0.01 : 8.04,
                          1000 + 100 * i});
    return Track(std::move(points));
}

inline QPointF PixelOf(const TrackView& view, size_t i) {
    const PixelMap m = view.Map(view.size());
    const Track& t = *view.Shown();
    return QPointF(m.PixelX(t.X(i)), m.PixelY(t.Y(i)));
}

inline void Send(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButton button = Qt::NoButton) {
    QMouseEvent e(type, at, w->mapToGlobal(at), button, type == QEvent::MouseMove ? Qt::NoButton : button, {});
    QApplication::sendEvent(w, &e);
}

}  // namespace krelby::testing
