#include "app/cylinders_table.h"

#include <QHeaderView>

#include "app/engine_text.h"
#include "replay/units.h"

namespace krelby {
namespace {

// One row of the table: its heading and a cell per input.
struct Row {
    QString heading;
    struct Cell {
        int input;
        QString text, tip;
        bool marked;
    };
    std::vector<Cell> cells;
};

// The row of the inputs of `kind`, the hottest (the first of equals) marked.
Row ReadingsRow(int monitor, uint8_t kind, const std::vector<CylinderInput>& inputs, const UnitSettings& units) {
    const CylinderInput* hottest = nullptr;
    for (const CylinderInput& c : inputs)
        if (c.kind == kind && (!hottest || c.max > hottest->max)) hottest = &c;
    Row row{QString("Monitor %1 %2 max (%3)").arg(monitor).arg(kind == EGT ? "EGT" : "CHT",
                                                              ShownSymbol(Quantity::Temperature, units)), {}};
    for (const CylinderInput& c : inputs) {
        if (c.kind != kind) continue;
        const bool marked = &c == hottest;
        QString tip = InputTitle(monitor, c.input, kind) + QString(marked ? ": the hottest" : "");
        row.cells.push_back({c.input, QString::number(ConvertTemperature(c.max, units)), tip, marked});
    }
    return row;
}

Row CoolingRow(int monitor, const std::vector<CoolingRate>& rates, const UnitSettings& units,
               const Regional& regional) {
    const CoolingRate* fastest = nullptr;
    for (const CoolingRate& r : rates)
        if (!fastest || r.FasterThan(*fastest)) fastest = &r;
    Row row{QString("Monitor %1 CHT cooling (%2)").arg(monitor).arg(ShownSymbol(Quantity::CoolingRate, units)), {}};
    for (const CoolingRate& r : rates) {
        const bool marked = &r == fastest;
        const QString tip = QString("%1: fastest at %2%3")
                                .arg(InputTitle(monitor, r.input, CHT), ClockText(r.time, regional),
                                     marked ? ", the fastest of all" : "");
        row.cells.push_back({r.input, ShownNumber(r.CPerMin(), Quantity::CoolingRate, units, regional), tip, marked});
    }
    return row;
}

}  // namespace

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
    std::vector<Row> rows;
    for (int m = 1; m <= kEngineMonitors; ++m) {
        const std::vector<CylinderInput>& inputs = cylinders[size_t(m - 1)];
        for (const uint8_t kind : {uint8_t(EGT), uint8_t(CHT)}) {
            Row row = ReadingsRow(m, kind, inputs, units);
            if (!row.cells.empty()) rows.push_back(std::move(row));
        }
        if (analysis && !analysis->monitors[size_t(m - 1)].cooling.empty())
            rows.push_back(CoolingRow(m, analysis->monitors[size_t(m - 1)].cooling, units, regional));
    }
    // A column for each input any row has, in input order.
    std::array<int, kThermocoupleInputs + 1> columnOf{};
    for (const Row& row : rows)
        for (const Row::Cell& c : row.cells) columnOf[size_t(c.input)] = 1;
    QStringList headings;
    for (int n = 1; n <= kThermocoupleInputs; ++n)
        if (columnOf[size_t(n)]) {
            columnOf[size_t(n)] = int(headings.size());
            headings << QString("TC%1").arg(n);
        }
    clear();
    setRowCount(int(rows.size()));
    setColumnCount(int(headings.size()));
    setHorizontalHeaderLabels(headings);
    for (size_t r = 0; r < rows.size(); ++r) {
        setVerticalHeaderItem(int(r), new QTableWidgetItem(rows[r].heading));
        for (const Row::Cell& c : rows[r].cells) {
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
            setItem(int(r), columnOf[size_t(c.input)], item);
        }
    }
}

}  // namespace krelby
