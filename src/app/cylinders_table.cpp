#include "app/cylinders_table.h"

#include <QHeaderView>

#include "chart/engine_rows.h"

namespace krelby {

CylindersTable::CylindersTable(QWidget* parent) : QTableWidget(parent) {
    setObjectName("CylinderTable");
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

void CylindersTable::Show(const std::array<std::vector<CylinderInput>, kEngineMonitors>& cylinders,
                          const Analysis* analysis, const UnitSettings& units, const Regional& regional) {
    const TextTable table = CylinderRows(cylinders, analysis, units, regional);
    clear();
    setRowCount(int(table.rows.size()));
    setColumnCount(int(table.columns.size()));
    setHorizontalHeaderLabels(table.columns);
    for (size_t r = 0; r < table.rows.size(); ++r) {
        setVerticalHeaderItem(int(r), new QTableWidgetItem(table.rows[r].heading));
        for (size_t col = 0; col < table.rows[r].cells.size(); ++col) {
            const TextTable::Cell& c = table.rows[r].cells[col];
            if (c.text.isEmpty()) continue;
            auto* item = new QTableWidgetItem(c.text);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            item->setToolTip(c.tip);
            item->setData(kMarkedRole, c.marked);
            if (c.marked) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
                item->setBackground(QColor(255, 214, 170));  // warm, as the hottest reads
            }
            setItem(int(r), int(col), item);
        }
    }
}

}  // namespace krelby
