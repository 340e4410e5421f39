// The state behind ChartWidget, grouped by feature; each feature's functions live in a file
// of their own (named beside each group). Private to the chart library.
#pragma once
#include <QLabel>
#include <QRubberBand>
#include <QScrollArea>
#include <QVariantAnimation>

#include <array>
#include <cmath>
#include <functional>
#include <set>
#include <vector>

#include "chart/chart_look.h"
#include "chart/chart_plot.h"
#include "chart/chart_strips.h"
#include "chart/chart_widget.h"

namespace krelby {

inline constexpr int kZoomMillis = 200;
inline const QCPRange kNoTime(0, 3600);  // the time axis of an empty chart (not drawn)
inline constexpr double kThinnestLineMm = 0.25;  // on paper
// Seconds: the deepest time zoom, where labels of whole seconds still differ.
inline constexpr double kShortestTime = 10;
inline constexpr double kKeyPanShare = 0.1;  // of the time shown, per arrow key

// The ranges of the time axis and of every value axis: a view of the chart.
struct Ranges {
    QCPRange x;
    std::array<QCPRange, kAxisCount> y;
};

inline QCPRange Lerp(const QCPRange& a, const QCPRange& b, double t) {
    return QCPRange(a.lower + (b.lower - a.lower) * t, a.upper + (b.upper - a.upper) * t);
}

// A little room above and below the data; a flat line gets a span of its own.
inline QCPRange Padded(double lo, double hi) {
    if (!(hi > lo)) return QCPRange(lo - 1, hi + 1);
    const double pad = (hi - lo) * 0.05;
    return QCPRange(lo - pad, hi + pad);
}

// Something painted over the finished plot on screen, given the chart's height.
using Overlay = std::function<void(QPainter&, int height)>;

struct ChartWidget::Impl {
    // The widget, the model it draws, and the plot that draws it (chart_widget.cpp).
    ChartWidget* q;
    ChartModel& model;
    QScrollArea* scroller = nullptr;
    ChartPlot* plot = nullptr;
    DrawStyle style;
    bool want3D = false;  // the 3D box; the strips are drawn flat
    QSharedPointer<QCPAxisTickerDateTime> ticker;
    Regional regional;
    const UnitSettings* units = nullptr;

    // The single chart: its plot area, value axes, series and legend, kept in step with the
    // model (chart_sync.cpp).
    QCPAxisRect* mainRect = nullptr;
    QCPLayoutGrid* mainSide = nullptr;  // the legend's column
    std::array<QCPAxis*, kAxisCount> axes{};
    std::array<SlotGraph*, kSlotCount> graphs{};
    std::array<CheckLegendItem*, kSlotCount> items{};
    std::vector<int> legendSlots;
    // Check boxes of the items whose series the legend hides: they stay hidden through
    // the replays that keep them in the chart.
    std::set<int> hiddenItems;
    std::function<bool(int)> itemTicked;

    // The strip view (chart_strips.cpp), shown instead of the single chart while on.
    bool stripsOn = false;
    ChartStrips strips{style};

    // Zoom and pan (chart_navigation.cpp).
    bool zoomed = false;
    QVariantAnimation animation;
    Ranges from, to;  // of the zoom on its way
    QRubberBand* band = nullptr;
    QPoint pressPos;
    bool dragging = false;  // a zoom rectangle
    bool panning = false;   // along time
    bool panMoved = false;  // a pan drag is one change of the view, said at its release
    QCPRange panFrom;
    int reading = 0;  // replays drawn: a view's value ranges hold within one (chart_view.cpp)

    // The readout that follows the mouse, and its cursor line (chart_hover.cpp).
    QLabel* readout = nullptr;
    QPoint hoverAt;
    double cursorKey = 0;       // the readout's time, drawn as a line while it shows
    bool cursorPinned = false;  // the time came from the track pane: it stays through zooms

    // Painted over the plot on screen, in this order (chart_overlays.cpp).
    std::vector<Overlay> overlays;
    double shadeFrom = 0, shadeTo = 0;  // keys; shaded while from < to
    std::vector<ChartShade> printShades;  // in keys
    // The span marked and the first cursor of a click, keys; NaN for none (chart_span.cpp).
    double spanFrom = NAN, spanTo = NAN, spanAnchor = NAN;
    bool spanDragging = false;
    // The playback cursor, a key (NaN hidden), and whether it is moving (chart_playback.cpp).
    double playKey = NAN;
    bool playRunning = false;
    QString emptyHint;

    // The room the chart asks for (chart_sizes.cpp).
    int keptPlotWidth = 0, widestChart = 0;  // KeepPlotWidth

    Impl(ChartWidget* w, ChartModel& m) : q(w), model(m) {}

    // chart_widget.cpp
    void Build();
    void BuildScroller();
    void BuildPlot();
    void BuildValueAxes();
    void BuildLegend();
    void BuildGraphs();
    void ConnectPlot();
    void SetTickerFormat();

    // chart_sync.cpp
    void Sync(bool forcePoints = false);
    void SyncAxes();
    bool SyncGraphs(bool forcePoints);
    void SyncLegend();
    // Lays out the single chart or the strips for the axes in use; graphs follow.
    void Arrange();
    // Legends (and the strips' names) laid out for a chart of this size.
    void FitLegends(int chartWidth, int chartHeight);
    void ToggleSeries(CheckLegendItem* item);
    bool StripsShown() const { return strips.Shown(); }
    bool Empty() const;
    int CheckBoxOf(int slot) const;

    // chart_navigation.cpp
    void BuildNavigation();
    // The time axis under the mouse and the plot area it measures: the single chart's, or
    // the strips' (all share one time range).
    QCPAxis* TimeAxis() const;
    QRect PlotArea() const;
    Ranges Current() const;
    Ranges Whole() const;
    void Apply(const Ranges& r);
    void SetTimeAxes(const QCPRange& range);
    // Every change of the view by zoom or pan comes through one of these two; `say` false
    // keeps it from being a step of the view (a pan drag on its way, the playback following).
    void StartZoom(const Ranges& target, bool animate);
    void SetTime(QCPRange range, bool say = true);
    void FinishAnimation();
    void ZoomTime(double factor, double aroundKey);
    void Press(QMouseEvent* event);
    void Move(QMouseEvent* event);
    void Release(QMouseEvent* event);
    void Wheel(QWheelEvent* event);
    bool Key(QKeyEvent* event);

    // chart_hover.cpp
    void BuildReadout();
    void Hover(QMouseEvent* event);
    // The readout for the mouse at `pos`, again after each zoom and pan while it is shown.
    void ShowReadout(QPoint pos);
    QString ReadoutText(double key) const;
    void PlaceReadout(QPoint pos, const QRect& area);
    void RefreshReadout();
    void HideReadout();
    void PaintCursor(QPainter& painter) const;

    // chart_span.cpp
    // A Shift+press in the plot starts a span; the span follows the mouse to its release.
    bool StartSpan(QMouseEvent* event);
    void MoveSpan(QPoint pos);
    void EndSpan(QPoint pos);
    // A click sets the first cursor; a Shift+click after it ends the span there.
    void ClickCursor(QPoint pos, bool shift);
    void SetSpanKeys(double a, double b);
    void PaintSpan(QPainter& painter) const;
    void PaintSpanTable(QPainter& painter, const QRectF& below, double dotsPerInch) const;

    // chart_playback.cpp
    void KeepInView(double key);
    void PaintPlayCursor(QPainter& painter) const;

    // chart_overlays.cpp
    void PaintAxisNames(QPainter& painter, int height) const;
    void PaintEmptyHint(QPainter& painter) const;
    void PaintShade(QPainter& painter) const;
    void PaintShade(QPainter& painter, double from, double to, int slot = -1) const;

    // chart_output.cpp
    QImage Render(QSize size, qreal scale);
    void PrintPage(QCPPainter& painter, const QRectF& page, double dotsPerInch);
    std::vector<std::function<void()>> WidenLines(double width);

    // chart_sizes.cpp
    // The chart's width around a plot area of `plotWidth` in the view shown.
    int ChartWidth(int plotWidth) const;
    void FitMinimumSize();
    void FitTimeTicks(int chartWidth);

    // chart_time_link.cpp
    void LinkTime();
};

}  // namespace krelby
