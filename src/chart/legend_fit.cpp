#include "chart/legend_fit.h"

#include <algorithm>

namespace krelby {

void SetItemFont(QCPLegend* legend, const QFont& font) {
    for (int i = 0; i < legend->elementCount(); ++i)
        if (auto* item = qobject_cast<QCPAbstractLegendItem*>(legend->elementAt(i)))
            if (item->font() != font) item->setFont(font);
}

void SetRows(QCPLegend* legend, int rows) {
    if (legend->wrap() == rows) return;
    legend->setWrap(rows);
    legend->setFillOrder(QCPLayoutGrid::foRowsFirst, true);
}

ItemSizes SizesOf(const QCPLegend* legend) {
    ItemSizes s;
    for (int i = 0; i < legend->elementCount(); ++i) {
        if (QCPLayoutElement* item = legend->elementAt(i)) {
            const QSize hint = item->minimumOuterSizeHint();
            s.height = std::max(s.height, hint.height() + legend->rowSpacing());
            s.width = std::max(s.width, hint.width() + legend->columnSpacing());
            ++s.count;
        }
    }
    return s;
}

void WrapToHeight(QCPLegend* legend, int height) {
    const ItemSizes items = SizesOf(legend);
    const int inner = height - legend->margins().top() - legend->margins().bottom();
    const int rows = std::max(1, inner / items.height);
    SetRows(legend, items.count > rows ? rows : 0);
}

}  // namespace krelby
