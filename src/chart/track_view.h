// The track pane: the flight's ground track beside the chart, coloured by pressure altitude,
// over a map when one is chosen, with the position and altitude under the mouse and an
// altitude profile under it, tied to the chart's time both ways. One Paint serves screen,
// JPEG and print; it draws the layers of track_layers.h, then the profile.
#pragma once
#include <QDeadlineTimer>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

#include "chart/track_layers.h"
#include "base/regional.h"
#include "chart/track_profile.h"
#include "replay/track.h"
#include "settings/records.h"

class QPrinter;

namespace krelby {

class ChartWidget;
class TileFetcher;

class TrackView : public QWidget {
    Q_OBJECT
public:
    explicit TrackView(QWidget* parent = nullptr);

    // The track to show (kept by the caller, which calls again when it changes), fitted
    // into the pane; null shows nothing, an empty one "No positions in this flight". With
    // `sameFlight` (the flight shown, read again) the pane keeps its zoom and place.
    void SetTrack(const Track* track, bool sameFlight = false);
    // The track as drawn: the one given, or the same points in Web Mercator under a map.
    const Track* Shown() const { return track_; }
    // The tiles to draw under the track (kept by the caller; null for none). While its
    // source is set the pane draws in Web Mercator over them, keeping the place and the
    // ground scale it shows; it follows the fetcher's Changed().
    void SetMap(TileFetcher* tiles);
    bool MapShown() const;
    // The unit choices for the altitude scale and the scale bar (defaults when not set);
    // they must outlive the widget.
    void SetUnits(const UnitSettings* units);
    // The separators of the times it writes (the readout's, the profile's ends).
    void SetRegional(const Regional& regional);
    // The aircraft marker at the last position at or before a chart time; NaN hides it.
    // Kept where the mouse put it while the mouse is on the track.
    void SetMarkerTime(double days);
    std::optional<size_t> Marker() const { return marker_; }
    // The chart's visible time: the track outside it is drawn faded. NaN shows all in full.
    void SetTimeSpan(double from, double to);
    TrackSpan VisibleSpan() const;
    // Home: the whole track in the pane.
    void Fit();
    // Zoom by `factor` (above 1 nearer) keeping the point under `at` (pane pixels) there.
    void ZoomAround(QPointF at, double factor);

    // Draws the pane into `area` of any device, showing what the pane shows on screen.
    // Pictures drawn once (print, JPEG) give `mapWait`: missing tiles are waited for until
    // it passes, one deadline for all the pictures of an output.
    void Paint(QPainter& painter, const QRect& area, std::optional<QDeadlineTimer> mapWait = {}) const;
    QImage Grab(QSize size, std::optional<QDeadlineTimer> mapWait = {}) const;
    // Projection to pixels for an area: the pane's view, scaled to fit an area of another size.
    PixelMap Map(QSize area) const;
    // The point of the track within reach of pane pixel `pos`.
    std::optional<size_t> PointNear(QPointF pos) const;
    // The line under the track: the position under the mouse, or of the point hovered or
    // marked, in the position format of the units, with that point's pressure altitude.
    QString ReadoutText() const;
    // The profile's plot in pane pixels (empty in a pane too low for one), and its time axis.
    QRect ProfilePlot() const;
    double ProfileX(double days) const;
    double ProfileTimeAt(double x) const;

    // What the mouse and the keys do in the pane, for the window's sheet of shortcuts.
    struct Gesture {
        QString keys;    // "Wheel", "Double-click on the track", "Home"
        QString action;  // what it does
    };
    static std::vector<Gesture> Gestures();

    QSize sizeHint() const override { return QSize(320, 400); }

signals:
    // The time of the point under the mouse; NaN when the mouse leaves the track.
    void TimeHovered(double days);
    void TimeClicked(double days);
    void TimeDoubleClicked(double days);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void Hover(QPointF pos);
    void HoverProfile(QPointF pos);
    void EndHover();
    // The time under `pos` when it lies on the track or the profile.
    std::optional<double> TimeUnder(QPointF pos) const;
    // The track in the projection the map asks for; the view kept over the same place.
    void FollowMap();
    void Project();
    QRect TrackArea(QSize area) const;

    const Track* given_ = nullptr;
    Track projected_;  // the given points in another projection, when the map asks for it
    const Track* track_ = nullptr;  // given_ or &projected_
    QPointer<TileFetcher> tiles_;
    const UnitSettings* units_ = nullptr;
    Regional regional_;
    std::optional<size_t> marker_;
    double markerTime_;  // NaN: none
    std::optional<size_t> hovered_;
    std::optional<QPointF> mouse_;  // over the track, for the position under it
    double spanFrom_, spanTo_;  // NaN: no span
    // The view: the projected point at the pane's centre and projected units per pixel.
    double centreX_ = 0, centreY_ = 0, perPixel_ = 1;
    bool fitted_ = true;  // follows the pane's size until zoomed or panned
    mutable TrackLineLayer line_;
    mutable TrackProfileLayer profile_;
    std::vector<TrackLayer> layers_;  // bottom to top
    QPoint pressPos_;
    double pressCentreX_ = 0, pressCentreY_ = 0;
    bool pressed_ = false, panning_ = false;
};

// The chart with the track pane at its right, as the window shows them side by side, as
// tall as the chart (the pane fitted to that height). Each is one output: the map's tiles
// are waited for until `mapWait` passes (kOutputMapWaitMs from the call by default).
QImage GrabBeside(ChartWidget& chart, QSize chartSize, const TrackView& track, QSize trackSize,
                  std::optional<QDeadlineTimer> mapWait = {});
// Writes that picture as the chart's JPEG export does.
QSize SaveJpegBeside(ChartWidget& chart, QSize chartSize, const TrackView& track, QSize trackSize,
                     const std::string& path, const std::string& source);
// Prints both within the chart's page margins, the pane taking its share of the width.
void PrintBeside(ChartWidget& chart, const TrackView& track, QPrinter& printer,
                 std::optional<QDeadlineTimer> mapWait = {});
void PrintPageBeside(ChartWidget& chart, const TrackView& track, QPaintDevice& page,
                     std::optional<QDeadlineTimer> mapWait = {});
// Qt's modal print preview of both, owned by `parent`: its pages wait for the map's tiles
// kOutputMapWaitMs in all.
void ShowPrintPreviewBeside(ChartWidget& chart, const TrackView& track, QWidget* parent);

}  // namespace krelby
