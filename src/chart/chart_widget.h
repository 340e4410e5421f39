// The chart widget: draws the ChartModel with QCustomPlot. One drawing function serves
// screen, JPEG and print.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>
#include <QImage>
#include <QWidget>

#include "base/regional.h"
#include "replay/chart_model.h"
#include "settings/records.h"

class QLabel;
class QPaintDevice;
class QPrinter;
class QPainter;
class QCustomPlot;
class QCPPainter;

namespace krelby {

struct SpanTable;

// A time shaded on paper: across the strip of a series slot, or across the plot (slot -1).
struct ChartShade {
    double from = 0, to = 0;  // days
    int slot = -1;
};

// What the chart shows: the time (date-times) and each value axis's range, as one reading of
// the flight drew them. A view of the whole flight stands for it in every reading.
struct ChartView {
    double from = 0, to = 0;
    std::array<std::pair<double, double>, kAxisCount> values{};
    bool zoomed = false;
    int reading = 0;  // the replay whose value ranges these are
};

class ChartWidget : public QWidget, public ChartObserver {
    Q_OBJECT
public:
    explicit ChartWidget(ChartModel& model, QWidget* parent = nullptr);
    ~ChartWidget() override;

    void Set3D(bool on);  // the depth effect, switched at once
    bool Is3D() const;
    // Each value axis in use in a strip of its own, all on one time axis; the single chart
    // when off (the default).
    void SetStrips(bool on);
    bool Strips() const;
    void ResetZoom(bool animate = true);  // back to the whole flight
    // Says whether a DataItem's check box is ticked: a series hidden with its legend box then
    // stays hidden, in every flight, until its item is unticked. Without it, until a replay
    // leaves the item out of the chart.
    void SetItemTicked(std::function<bool(int checkBox)> ticked);

    // The chart as shown (zoom, 3D, legend, axis names) at the given size.
    QImage Grab(QSize size);
    // Grab as a progressive JPEG file of quality 90, written whole or not at all; a path
    // that leads to `source` (the flight shown) is refused. Returns the picture's size.
    QSize SaveJpeg(const std::string& path, QSize size, const std::string& source);
    // Prints with margins of 15 % left/right and 27 % top/bottom of the page, drawn in
    // vectors with lines at least 0.25 mm wide.
    void Print(QPrinter& printer);
    // The same on any device whose whole area is the page (a picture of one in tests).
    void PrintPage(QPaintDevice& page);
    // Qt's modal print preview of the chart, owned by `parent`; repaints afterwards.
    void ShowPrintPreview(QWidget* parent);

    // Zooms to the part of the plot under a rectangle in widget pixels, as a drag does
    // (animated unless `animate` is false).
    void ZoomTo(const QRect& pixels, bool animate = true);
    bool IsZoomed() const;
    // Date and time separators of the X axis labels ("d/m/yy", "hh:mm:ss").
    void SetRegional(const Regional& regional);
    // The unit choices the model's values were converted with, for the hover readout's
    // units (the defaults when not set); they must outlive the widget.
    void SetUnits(const UnitSettings* units);
    // The readout that follows the mouse over the plot: the time and each shown value.
    QLabel* Readout() const;
    // Shown in the middle of the plot on screen while no series has a point; the time axis
    // then has no labels.
    void SetEmptyHint(const QString& hint);
    QString EmptyHint() const;
    bool IsEmpty() const;
    // Dashed lines at the pilot's limits, each a series slot and a value in that slot's
    // charted unit, until the next call or the next flight.
    void SetLimitLines(const std::vector<std::pair<int, double>>& lines);
    // Zooms the time to [from, to] (days, as the model's times) and a margin of `margin`
    // seconds either side, within the flight.
    void ZoomToTime(double from, double to, double margin, bool animate = true);
    // Shades the times [from, to] (days) across the plot on screen; an empty range clears it.
    void ShadeTime(double from, double to);
    // The times shaded (days), or an empty range.
    std::pair<double, double> ShadedTime() const;
    // Shades each of these on paper (the flight report's exceedances), until the next call;
    // an empty list for none.
    void SetPrintShades(const std::vector<ChartShade>& shades);
    // Where something stands beside the chart (the track pane): the widget asks for the
    // width its axes, legend and a plot of `pixels` need, up to `widest`, so that the plot
    // is not scrolled out of sight. 0 asks only for one axis and a plot of 200 px (the
    // default; the chart scrolls sideways when it needs more).
    void KeepPlotWidth(int pixels, int widest);
    // The QCustomPlot inside, for tests and fine tuning.
    QCustomPlot* Plot() const;

    // Tied to the track pane: a cursor line with the readout at a date-time (NaN hides it),
    // the time shown centred on a date-time or set to a span (within the flight), the time
    // shown, and the printed chart drawn into `area` of a page.
    void ShowTimeCursor(double days);
    void CentreTime(double days);
    void ShowTimeSpan(double fromDays, double toDays);
    std::pair<double, double> TimeSpan() const;
    void PrintInto(QCPPainter& painter, const QRectF& area, double dotsPerInch);

    // The view shown, or where a zoom's animation takes it; shown again, with the value
    // ranges only within the same reading of the flight (chart_view.cpp).
    ChartView View() const;
    void ShowView(const ChartView& view, bool animate = true);

    // A span of time marked (Shift+drag, or a click and a Shift+click), with the figures of
    // each series shown over it; times in date-times, either way round (chart_span.cpp).
    void SetSpan(double fromDays, double toDays);
    void ClearSpan();  // also the first cursor of a click
    bool HasSpan() const;
    std::pair<double, double> Span() const;  // earlier time first
    SpanTable SpanFigures() const;

    // The playback's cursor at a date-time (NaN hides it): a line with the readout at it;
    // where it leaves the time shown the view turns a page on, which is no step of the view
    // (no ViewChanged). While `running` the readout stays with it rather than the mouse.
    void ShowPlayCursor(double days, bool running = true);
    double PlayCursor() const;  // NaN when hidden

    // ChartObserver
    void ChartReset() override;
    void SeriesAdded(int slot) override;
    void AxisShown(int axis) override;
    void GridsChanged() override;
    void ReplayFinished() override;

signals:
    void SeriesClicked(int slot);
    // The date-time under the mouse as it moves over the plot of a flight.
    void TimeHovered(double days);
    // The time shown changed (zoom, pan, a new flight), in date-times.
    void TimeSpanChanged(double fromDays, double toDays);
    // The user or a call moved the view (a zoom, a pan step, back to the whole flight): once
    // each, when it is decided (a zoom's animation follows), not for a new flight.
    void ViewChanged();
    // A replay has filled the chart afresh: it shows the whole flight.
    void FlightDrawn();
    void SpanChanged();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// A picture written as the chart's JPEG export (progressive, quality 90), whole or not at
// all; a path that leads to `source` is refused. Returns the picture's size.
QSize SaveJpegImage(const QImage& image, const std::string& path, const std::string& source);

}  // namespace krelby
