// The data selection dialog (object name TForm2, the name its form first had, as its check
// boxes keep theirs, CheckBox1 and on): the 213 check boxes of the data items, on ten
// pages. A tick goes straight into the selection record, which the next replay reads.
#pragma once
#include <QDialog>
#include <array>

#include "settings/records.h"

class QCheckBox;
class QLabel;
class QTabWidget;

namespace krelby {

constexpr int kChartedItemLimit = 16;

class DataSelectionDialog : public QDialog {
    Q_OBJECT
public:
    DataSelectionDialog(DataSelection& selection, QWidget* parent = nullptr);

    QCheckBox* Box(int number) const { return boxes_[number]; }
    QTabWidget* Pages() const { return pages_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void LoadBoxes();
    void UpdateCount();

    DataSelection& selection_;
    std::array<QCheckBox*, kCheckBoxCount + 1> boxes_{};
    QTabWidget* pages_;
    QLabel* count_;
    QLabel* warning_;
};

// "CheckBox" followed by the number; three are spelled "Checkbox".
QString CheckBoxName(int number);

}  // namespace krelby
