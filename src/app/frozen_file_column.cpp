#include "frozen_file_column.h"

#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>

namespace krelby {

FrozenFileColumn::FrozenFileColumn() {
    frozen_ = new QTableView(this);
    frozen_->setObjectName("LogbookFileColumn");
    frozen_->setFocusPolicy(Qt::NoFocus);  // keys go to the table beneath
    frozen_->verticalHeader()->hide();
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setEditTriggers(NoEditTriggers);
    frozen_->setSelectionBehavior(SelectRows);
    frozen_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen_->horizontalHeader()->setSortIndicatorShown(true);
    setHorizontalScrollMode(ScrollPerPixel);
    connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(), &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, frozen_->verticalScrollBar(), &QAbstractSlider::setValue);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (section != 0) return;
        frozen_->setColumnWidth(0, size);
        Place();
    });
    connect(verticalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) { frozen_->setRowHeight(section, size); });
    connect(horizontalHeader(), &QHeaderView::sortIndicatorChanged, frozen_->horizontalHeader(),
            &QHeaderView::setSortIndicator);
    connect(frozen_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        const QHeaderView* h = horizontalHeader();
        sortByColumn(section, h->sortIndicatorSection() == section && h->sortIndicatorOrder() == Qt::AscendingOrder
                                  ? Qt::DescendingOrder
                                  : Qt::AscendingOrder);
    });
    viewport()->stackUnder(frozen_);
    frozen_->show();
}

void FrozenFileColumn::Attach(QAbstractItemModel* model) {
    setModel(model);
    frozen_->setModel(model);
    frozen_->setSelectionModel(selectionModel());
    for (int c = 1; c < model->columnCount(); ++c) frozen_->setColumnHidden(c, true);
    frozen_->setColumnWidth(0, columnWidth(0));
    Place();
}

int FrozenFileColumn::WidthWanted(int column) const {
    return std::max(sizeHintForColumn(column), horizontalHeader()->sectionSizeHint(column));
}

void FrozenFileColumn::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    if (frozen_) Place();
}

void FrozenFileColumn::updateGeometries() {
    QTableView::updateGeometries();
    if (frozen_) Place();
}

QModelIndex FrozenFileColumn::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = QTableView::moveCursor(action, modifiers);
    const int left = visualRect(current).left();
    if (current.column() > 0 && left < frozen_->columnWidth(0))
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + left - frozen_->columnWidth(0));
    return current;
}

void FrozenFileColumn::scrollTo(const QModelIndex& index, ScrollHint hint) {
    const int x = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    if (index.column() == 0) horizontalScrollBar()->setValue(x);
}

void FrozenFileColumn::Place() {
    frozen_->setGeometry(verticalHeader()->width() + frameWidth(), frameWidth(), columnWidth(0),
                         viewport()->height() + horizontalHeader()->height());
}

}  // namespace krelby
