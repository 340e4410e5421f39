// The chart's look: its colours, and its lengths in layout pixels (on a printed page one is
// 0.25 mm). The estimates say what a size needs before the plot has been laid out for it.
// Private to the chart library.
#pragma once
#include <QColor>

#include <array>

#include "chart/chart_plot.h"
#include "replay/chart_model.h"

namespace krelby {

inline const QColor kPanel(200, 200, 200);
inline const QColor kPlotArea(224, 224, 224);
inline const QColor kLegendPaper(240, 240, 240);
inline const QColor kAxisLabelGreen(0, 128, 0);

inline const std::array<QColor, kSlotCount> kPalette = {
    QColor(220, 0, 0),   QColor(0, 0, 220),    QColor(0, 140, 0),   QColor(200, 0, 200),
    QColor(230, 120, 0), QColor(0, 140, 140),  QColor(0, 0, 128),   QColor(128, 0, 0),
    QColor(110, 0, 160), QColor(128, 128, 0),  QColor(140, 70, 20), QColor(0, 100, 160),
    QColor(0, 0, 0),     QColor(220, 20, 120), QColor(70, 70, 140), QColor(60, 100, 30),
};

// The single chart. Above and right of its plot the room for the 3D view's depth and a gap,
// kept in the flat view too, so that switching moves nothing.
inline constexpr int kDepthRoom = kDepth + 6;
// Between a plot and the legend column at its right, and right of that column.
inline constexpr int kColumnGap = 6;
// Under the time labels, for the axis names drawn at the chart's height - 20.
inline constexpr int kAxisNameRoom = 22;
// An axis name fits between two axes (kAxisSpacing apart) with this much of the width.
inline constexpr int kAxisNameWidth = kAxisSpacing - 4;
// Estimates of the width and the height around the plot: the depth room twice, and in the
// height the time labels with the axis names under them.
inline constexpr int kTimeLabelsHeight = 60;
inline constexpr int kPlotFrameWidth = 2 * kDepthRoom;
inline constexpr int kPlotFrameHeight = 2 * kDepthRoom + kTimeLabelsHeight;
// An estimate of a legend of a few short titles, before one is laid out.
inline constexpr int kLegendWidthGuess = 130;

// The least sizes: the single chart scrolls rather than give its plot less width or height,
// the strips rather than go lower than kLeastStripHeight each. The widget itself is never
// narrower than one axis beside a legend and a plot of kLeastPlotWidth, nor lower than a plot
// of kLeastPlotHeight and 90 px around it, whatever scrolls inside it.
inline constexpr int kLeastPlotWidth = 200;
inline constexpr int kLeastPlotHeight = 200;
inline constexpr int kLeastStripHeight = 60;
inline constexpr int kLeastChartWidth =
    kBaseLeftMargin + kAxisSpacing + kLegendWidthGuess + kPlotFrameWidth + kLeastPlotWidth;
inline constexpr int kLeastChartHeight = kLeastPlotHeight + 90;
// The plot area a printed page keeps.
inline constexpr int kPrintPlotWidth = 250;

// The strip view. Above and below each strip's plot.
inline constexpr int kStripPad = 3;
// The strips' shared time labels under the last strip: their height before the first layout,
// and the room the least height keeps for them.
inline constexpr int kTimeRowGuess = 40;
inline constexpr int kTimeRowRoom = 45;
// The strips' legends keep to this share of the chart's width (a fifth), and no less than
// kStripLegendLeast.
inline constexpr int kStripLegendShare = 5;
inline constexpr int kStripLegendLeast = 60;

// No text is drawn smaller.
inline constexpr int kLeastFontPixels = 8;

// A press and release this near (in Manhattan length) are a click, not a drag.
inline constexpr int kClickSlop = 3;

}  // namespace krelby
