// The span's table of the main window: docked under the chart while a span is marked, its
// heading the span's times and duration, a row for each series shown. Ctrl+C copies it as
// text, Esc clears the span and the cursors (its dock's close button too).
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QHeaderView>
#include <QTableWidget>

#include "chart/chart_widget.h"
#include "chart/span_table.h"
#include "main_window.h"

namespace krelby {

void MainWindow::BuildSpanPane() {
    spanTable_ = new QTableWidget;
    spanTable_->setObjectName("SpanTable");
    spanTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    spanTable_->setSelectionMode(QAbstractItemView::NoSelection);
    spanTable_->setFocusPolicy(Qt::NoFocus);  // the chart keeps the keys
    spanTable_->verticalHeader()->hide();
    spanTable_->verticalHeader()->setDefaultSectionSize(spanTable_->fontMetrics().height() + 4);
    spanTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Columns as wide as their figures: a stretched last one would part the mean from its header.
    spanTable_->horizontalHeader()->setStretchLastSection(false);
    spanDock_ = new QDockWidget("Span", this);
    spanDock_->setObjectName("SpanDock");
    spanDock_->setWidget(spanTable_);
    spanDock_->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::RightDockWidgetArea);
    addDockWidget(Qt::BottomDockWidgetArea, spanDock_);
    spanDock_->hide();
    // Closed by its own button: the span goes with it.
    connect(spanDock_->toggleViewAction(), &QAction::triggered, this, [this](bool shown) {
        if (!shown) chart_->ClearSpan();
    });
    connect(chart_, &ChartWidget::SpanChanged, this, &MainWindow::ShowSpanFigures);

    QAction* copy = AddShortcut("CopySpan1", QKeySequence::Copy);
    copy->setToolTip("Copies the span's figures as text");
    copy->setProperty("where", "Chart");
    connect(copy, &QAction::triggered, this, [this] {
        if (chart_->HasSpan()) QApplication::clipboard()->setText(SpanTableText(chart_->SpanFigures()));
    });
    QAction* clear = AddShortcut("ClearSpan1", QKeySequence(Qt::Key_Escape));
    clear->setToolTip("Clears the span and the cursors");
    clear->setProperty("where", "Chart");
    connect(clear, &QAction::triggered, this, [this] {
        chart_->ClearSpan();
        StopPlayback(true);
    });
}

void MainWindow::ShowSpanFigures() {
    const SpanTable table = chart_->SpanFigures();
    spanDock_->setVisible(!table.Empty());
    if (table.Empty()) return;
    spanDock_->setWindowTitle(table.heading);
    spanTable_->setColumnCount(int(table.columns.size()));
    spanTable_->setHorizontalHeaderLabels(table.columns);
    spanTable_->setRowCount(int(table.rows.size()));
    for (int r = 0; r < int(table.rows.size()); ++r) {
        const SpanTable::Row& row = table.rows[size_t(r)];
        for (int c = 0; c < int(row.cells.size()); ++c) {
            auto* cell = new QTableWidgetItem(row.cells[c]);
            // Figures right-aligned, under one another; the series in its line's colour.
            cell->setTextAlignment(c < 2 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            if (c == 0) cell->setForeground(row.colour);
            spanTable_->setItem(r, c, cell);
        }
    }
}

}  // namespace krelby
