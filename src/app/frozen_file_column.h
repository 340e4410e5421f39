// A table whose first column (the file) stays at the left while the figures scroll: a
// second view over that column, on the same model and selection.
#pragma once
#include <QTableView>

namespace krelby {

class FrozenFileColumn : public QTableView {
public:
    FrozenFileColumn();

    void Attach(QAbstractItemModel* model);
    QTableView* Frozen() const { return frozen_; }
    // The width a column's heading and cells ask for.
    int WidthWanted(int column) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    // A cell moved to with the keys is never left under the file column.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    // Scrolling to a file scrolls to its row only: the file column is always in sight.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

private:
    void Place();

    QTableView* frozen_ = nullptr;
};

}  // namespace krelby
