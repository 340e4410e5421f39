// The altitude profile under the track: pressure altitude against the flight's time, the
// chart's span shaded, the hover time marked, broken where the positions are (as the line
// is); and the readout line above it. Private to the chart library.
#pragma once
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include "base/regional.h"
#include "replay/track.h"
#include "settings/records.h"

class QPainter;

namespace krelby {

// The pane from top to bottom: the track (over its map), the readout line, the profile. A
// pane too low for them is all track.
struct TrackPaneLayout {
    QRect track, readout, profile, plot;  // plot: the profile's curve, inside `profile`
};
TrackPaneLayout LayoutPane(QSize pane);

// The profile's time axis: the flight's first to last position across the plot.
struct ProfileAxis {
    double from = 0, to = 0;  // date-times
    double left = 0, width = 1;
    double X(double days) const;
    double TimeAt(double x) const;  // within the flight
};
ProfileAxis ProfileAxisOf(const Track& t, const QRect& plot);

struct ProfileScene {
    const Track& track;  // never empty
    QRect profile, plot;
    double spanFrom, spanTo;  // the chart's time; NaN: none
    double markerTime;        // NaN: none
    const UnitSettings& units;
    const Regional& regional;
    QFont font;
};
class TrackProfileLayer {
public:
    void Paint(QPainter& p, const ProfileScene& scene);
    // The next paint draws the curve afresh (the same track object may hold another flight).
    void Forget() { curve_ = QImage(); }

private:
    struct Key {
        QSize size;
        qreal pixelRatio;
        bool operator==(const Key&) const = default;
    };
    QImage curve_;  // the plot's curve, clear around it
    Key key_{};
};
void PaintReadout(QPainter& p, const QRect& area, const QString& text, const QFont& font);
// A track date-time as the time of day: "09:42:43".
QString ProfileClockText(double days, const Regional& regional);

}  // namespace krelby
