// What the chart widget's parts share: its look, and the state behind ChartWidget (model
// sync in chart_widget.cpp, zoom and pan in chart_navigation.cpp, picture and print in
// chart_output.cpp). Private to the chart library.
#pragma once
#include <QLabel>
#include <QRubberBand>
#include <QScrollArea>
#include <QVariantAnimation>

#include <array>
#include <functional>
#include <set>
#include <vector>

#include "chart/chart_plot.h"
#include "chart/chart_widget.h"

namespace krelby {

inline const QColor kPanel(200, 200, 200);
inline const QColor kPlotArea(224, 224, 224);
inline const QColor kAxisLabelGreen(0, 128, 0);
inline constexpr int kZoomMillis = 200;
inline const QCPRange kNoTime(0, 3600);  // the time axis of an empty chart (not drawn)
inline constexpr double kThinnestLineMm = 0.25;  // on paper
// Seconds: the deepest time zoom, where labels of whole seconds still differ.
inline constexpr double kShortestTime = 10;
inline constexpr double kKeyPanShare = 0.1;      // of the time shown, per arrow key
inline constexpr int kPrintPlotWidth = 250;      // layout pixels the plot area keeps on a page
inline constexpr int kLeastPlotWidth = 200;      // the single chart scrolls rather than go narrower
inline constexpr int kLeastPlotHeight = 200;
inline constexpr int kLeastStripHeight = 60;     // below it the strips scroll

inline const std::array<QColor, kSlotCount> kPalette = {
    QColor(220, 0, 0),   QColor(0, 0, 220),    QColor(0, 140, 0),   QColor(200, 0, 200),
    QColor(230, 120, 0), QColor(0, 140, 140),  QColor(0, 0, 128),   QColor(128, 0, 0),
    QColor(110, 0, 160), QColor(128, 128, 0),  QColor(140, 70, 20), QColor(0, 100, 160),
    QColor(0, 0, 0),     QColor(220, 20, 120), QColor(70, 70, 140), QColor(60, 100, 30),
};

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


// One value axis drawn on its own in the strip view: its plot area, the value axis at its
// left, a time axis at its bottom (labelled only below the last strip) and a legend at its right.
struct Strip {
    QCPAxisRect* rect = nullptr;
    QCPAxis* value = nullptr;
    QCPAxis* time = nullptr;
    QCPLayoutGrid* side = nullptr;
    QCPLegend* legend = nullptr;
    std::vector<int> listed;  // slots in the legend
    QString name;             // of the axis, e.g. "Temp °C"
    // The name across the plot's top-left corner, where the strips are too low for every
    // name to run whole along them.
    QCPItemText* title = nullptr;
};

struct ChartWidget::Impl {
    ChartWidget* q;
    ChartModel& model;
    ChartPlot* plot = nullptr;
    QScrollArea* scroller = nullptr;
    DrawStyle style;
    bool want3D = false;  // the 3D box; the strips are drawn flat
    bool stripsOn = false;
    QCPAxisRect* mainRect = nullptr;
    QCPLayoutGrid* mainSide = nullptr;
    std::array<Strip, kAxisCount> strips;
    std::vector<int> stripAxes;     // the strips shown, top to bottom
    QCPAxisRect* timeRow = nullptr;  // the strips' shared time labels
    std::array<QCPAxis*, kAxisCount> axes{};
    std::array<SlotGraph*, kSlotCount> graphs{};
    std::array<CheckLegendItem*, kSlotCount> items{};
    std::vector<int> legendSlots;
    // Check boxes of the items whose series the legend hides: they stay hidden through
    // the replays that keep them in the chart.
    std::set<int> hiddenItems;
    std::function<bool(int)> itemTicked;
    QSharedPointer<QCPAxisTickerDateTime> ticker;
    QVariantAnimation animation;
    Ranges from, to;
    bool zoomed = false;
    QRubberBand* band = nullptr;
    QPoint pressPos;
    bool dragging = false;  // a zoom rectangle
    bool panning = false;   // along time
    QCPRange panFrom;
    Regional regional;
    QString emptyHint;
    const UnitSettings* units = nullptr;
    QLabel* readout = nullptr;

    Impl(ChartWidget* w, ChartModel& m) : q(w), model(m) {}

    void Build();
    void BuildStrips();
    // Lays out the single chart or the strips for the axes in use; graphs follow.
    void Arrange();
    void SyncStripLegends();
    // Legends (and the strips' names) laid out for a chart of this size.
    void FitLegends(int chartWidth, int chartHeight);
    size_t FitStripLegend(Strip& s, int height, int widest, const std::vector<QFont>& fonts);
    void FitMinimumSize();
    int keptPlotWidth = 0, widestChart = 0, leastChartWidth = 0;  // KeepPlotWidth
    // The time axis under the mouse and the plot area it measures: the single chart's, or
    // the strips' (all share one time range).
    QCPAxis* TimeAxis() const;
    QRect PlotArea() const;
    int RightColumnWidth() const;
    // The chart's width around a plot area of `plotWidth` in the view shown.
    int ChartWidth(int plotWidth) const;
    bool StripsShown() const;
    void SetTimeAxes(const QCPRange& range);
    void HideReadout();
    double shadeFrom = 0, shadeTo = 0;  // keys; shaded while from < to
    void PaintShade(QPainter& painter) const;
    double cursorKey = 0;  // the readout's time, drawn as a line while it shows
    bool cursorPinned = false;  // the time came from the track pane: it stays through zooms
    void PaintCursor(QPainter& painter) const;
    void Sync(bool forcePoints = false);
    void SyncLegend();
    Ranges Current() const;
    Ranges Whole() const;
    void Apply(const Ranges& r);
    void StartZoom(const Ranges& target, bool animate);
    void FinishAnimation();
    void PaintAxisNames(QPainter& painter, int height) const;
    void PaintEmptyHint(QPainter& painter) const;
    bool Empty() const;
    int CheckBoxOf(int slot) const;
    QImage Render(QSize size, qreal scale);
    void PrintPage(QCPPainter& painter, const QRectF& page, double dotsPerInch);
    std::vector<std::function<void()>> WidenLines(double width);
    void Hover(QMouseEvent* event);
    // The readout for the mouse at `pos`, again after each zoom and pan while it is shown.
    void ShowReadout(QPoint pos);
    void RefreshReadout();
    QPoint hoverAt;
    void LinkTime();
    void Press(QMouseEvent* event);
    void Move(QMouseEvent* event);
    void Release(QMouseEvent* event);
    void Wheel(QWheelEvent* event);
    bool Key(QKeyEvent* event);
    void ZoomTime(double factor, double aroundKey);
    void SetTime(QCPRange range);
    void SetTickerFormat();
    void FitTimeTicks(int chartWidth);
};

}  // namespace krelby
