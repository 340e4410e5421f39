// What the chart and its strips answer with the mouse and on the keyboard (the chart has
// the focus), as the window's F1 sheet lists them.
#include "chart/gestures.h"

namespace krelby {

void DeclareChartGestures(QObject* chart) {
    DeclareGestures(chart, "Chart",
                    {
                        {"Wheel", "Zooms the time in or out around the mouse"},
                        {"+ / −", "Zooms the time in or out"},
                        {"← / →", "Moves along time by a tenth of the time shown"},
                        {"Drag to the right", "Zooms into the rectangle"},
                        {"Middle-drag or Ctrl+drag", "Moves along time"},
                        {"Home, double-click, right-click or drag to the left", "Shows the whole flight"},
                        {"Hover", "The values at the time under the mouse"},
                        {"Click a line", "Shows the grid of its axis"},
                        {"Click a legend entry", "Hides or shows its series"},
                        {"Shift+drag, or a click then Shift+click", "Marks a span and lists its figures"},
                    });
    DeclareGestures(chart, "Strips",
                    {
                        {"Drag to the right", "Zooms into the time of the rectangle, on every strip"},
                        {"Wheel, keys, hover, span", "As on the chart, on every strip at once"},
                        {"Scroll bar", "The strips scroll where each would be lower than 60 px"},
                    });
}

}  // namespace krelby
