// Legends wrapped into columns to keep within a height, in one font. Private to the chart
// library.
#pragma once
#include <qcustomplot.h>

namespace krelby {

// The legend's items in one font.
void SetItemFont(QCPLegend* legend, const QFont& font);
// Wraps a legend into columns of `rows` items (0: one column).
void SetRows(QCPLegend* legend, int rows);
// A wrapped legend's grid has empty cells: its items, counted, and their tallest and widest.
struct ItemSizes {
    int count = 0, height = 1, width = 1;
};
ItemSizes SizesOf(const QCPLegend* legend);
// As many items a column as `height` holds.
void WrapToHeight(QCPLegend* legend, int height);

}  // namespace krelby
