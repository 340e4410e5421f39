// The track pane: the flight's ground track beside the chart, coloured by pressure altitude,
// tied to the chart's time both ways. One Paint serves screen, JPEG and print; it draws the
// layers of track_layers.h.
#pragma once
#include <QImage>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

#include "chart/track_layers.h"
#include "replay/track.h"
#include "settings/records.h"

class QPrinter;

namespace krelby {

class ChartWidget;

class TrackView : public QWidget {
    Q_OBJECT
public:
    explicit TrackView(QWidget* parent = nullptr);

    // The track to show (kept by the caller, which calls again when it changes), fitted
    // into the pane; null shows nothing, an empty one "No positions in this flight". With
    // `sameFlight` (the flight shown, read again) the pane keeps its zoom and place.
    void SetTrack(const Track* track, bool sameFlight = false);
    const Track* Shown() const { return track_; }
    // The unit choices for the altitude scale and the scale bar (defaults when not set);
    // they must outlive the widget.
    void SetUnits(const UnitSettings* units);
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
    void Paint(QPainter& painter, const QRect& area) const;
    QImage Grab(QSize size) const;
    // Projection to pixels for an area: the pane's view, scaled to fit an area of another size.
    PixelMap Map(QSize area) const;
    // The point of the track within reach of pane pixel `pos`.
    std::optional<size_t> PointNear(QPointF pos) const;

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
    void EndHover();

    const Track* track_ = nullptr;
    const UnitSettings* units_ = nullptr;
    std::optional<size_t> marker_;
    std::optional<size_t> hovered_;
    double spanFrom_, spanTo_;  // NaN: no span
    // The view: the projected point at the pane's centre and projected units per pixel.
    double centreX_ = 0, centreY_ = 0, perPixel_ = 1;
    bool fitted_ = true;  // follows the pane's size until zoomed or panned
    mutable TrackLineLayer line_;
    std::vector<TrackLayer> layers_;  // bottom to top
    QPoint pressPos_;
    double pressCentreX_ = 0, pressCentreY_ = 0;
    bool pressed_ = false, panning_ = false;
};

// The chart with the track pane at its right, as the window shows them side by side, as
// tall as the chart (the pane fitted to that height).
QImage GrabBeside(ChartWidget& chart, QSize chartSize, const TrackView& track, QSize trackSize);
// Writes that picture as the chart's JPEG export does.
QSize SaveJpegBeside(ChartWidget& chart, QSize chartSize, const TrackView& track, QSize trackSize,
                     const std::string& path, const std::string& source);
// Prints both within the chart's page margins, the pane taking its share of the width.
void PrintBeside(ChartWidget& chart, const TrackView& track, QPrinter& printer);
void PrintPageBeside(ChartWidget& chart, const TrackView& track, QPaintDevice& page);
// Qt's modal print preview of both, owned by `parent`.
void ShowPrintPreviewBeside(ChartWidget& chart, const TrackView& track, QWidget* parent);

}  // namespace krelby
