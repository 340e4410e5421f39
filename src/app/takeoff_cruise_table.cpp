#include "app/takeoff_cruise_table.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "chart/engine_rows.h"

namespace krelby {

TakeoffCruiseTable::TakeoffCruiseTable(QWidget* parent) : QWidget(parent) {
    setObjectName("TakeoffCruise");
    summary_ = new QLabel;
    summary_->setObjectName("TakeoffCruiseSummary");
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    table_ = new QTableWidget;
    table_->setObjectName("TakeoffCruiseTable");
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setFocusPolicy(Qt::NoFocus);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(summary_);
    layout->addWidget(table_, 1);
}

void TakeoffCruiseTable::Show(const Analysis* analysis, const UnitSettings& units, const Regional& regional) {
    table_->clear();
    table_->setRowCount(0);
    const TextTable table = TakeoffCruiseRows(analysis ? *analysis : Analysis{}, units, regional);
    table_->setColumnCount(int(table.columns.size()));
    table_->setHorizontalHeaderLabels(table.columns);
    summary_->setText(analysis ? TakeoffCruiseText(*analysis, units, regional) : QString());
    table_->setRowCount(int(table.rows.size()));
    for (size_t r = 0; r < table.rows.size(); ++r) {
        table_->setVerticalHeaderItem(int(r), new QTableWidgetItem(table.rows[r].heading));
        for (size_t c = 0; c < table.rows[r].cells.size(); ++c) {
            auto* item = new QTableWidgetItem(table.rows[r].cells[c].text);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (!table.rows[r].cells[c].tip.isEmpty()) item->setToolTip(table.rows[r].cells[c].tip);
            table_->setItem(int(r), int(c), item);
        }
    }
}

}  // namespace krelby
