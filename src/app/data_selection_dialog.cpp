#include "data_selection_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include "selection_pages.h"

namespace krelby {

QString CheckBoxName(int number) {
    const bool lower = number >= 11 && number <= 13;
    return QString(lower ? "Checkbox%1" : "CheckBox%1").arg(number);
}

DataSelectionDialog::DataSelectionDialog(DataSelection& selection, QWidget* parent)
    : QDialog(parent), selection_(selection) {
    setObjectName("TForm2");  // tests and scripts find the dialog by the form's name
    setWindowTitle("Data selection");
    resize(565, 370);

    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControl1");
    pages_->setUsesScrollButtons(false);  // every tab in sight
    int sheet = 0;
    for (const SelectionPage& page : SelectionPages()) {
        auto* widget = new QWidget;
        widget->setObjectName(QString("TabSheet%1").arg(++sheet));
        auto* grid = new QGridLayout(widget);
        int rows = 0;
        for (int c = 0; c < static_cast<int>(page.columns.size()); ++c) {
            const SelectionColumn& column = page.columns[c];
            int row = 0;
            if (column.heading) grid->addWidget(new QLabel(column.heading), row, c);
            row = 1;
            for (const SelectionBox& spot : column.boxes) {
                if (spot.number > 0) {
                    auto* box = new QCheckBox(spot.caption);
                    box->setObjectName(CheckBoxName(spot.number));
                    boxes_[spot.number] = box;
                    grid->addWidget(box, row, c);
                    const int number = spot.number;
                    connect(box, &QCheckBox::toggled, this, [this, number](bool on) {
                        selection_.Set(number, on);
                        UpdateCount();
                    });
                }
                ++row;
            }
            rows = std::max(rows, row);
        }
        grid->setRowStretch(rows, 1);
        grid->setColumnStretch(static_cast<int>(page.columns.size()), 1);
        if (page.note) grid->addWidget(new QLabel(page.note), rows + 1, 0, 1, -1);
        pages_->addTab(widget, page.title);
    }

    auto* note = new QLabel("Select up to 16 items for simultaneous chart display or Excel export");
    count_ = new QLabel;
    count_->setObjectName("CountLabel");
    warning_ = new QLabel;
    warning_->setObjectName("LimitLabel");
    warning_->setStyleSheet("color: #a00000");
    auto* ok = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "OK");
    ok->setObjectName("BitBtn1");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* panel = new QGridLayout;
    panel->addWidget(note, 0, 0);
    panel->addWidget(count_, 1, 0);
    panel->addWidget(warning_, 2, 0);
    panel->addWidget(ok, 0, 1, 3, 1, Qt::AlignRight | Qt::AlignVCenter);
    panel->setColumnStretch(0, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addLayout(panel);

    LoadBoxes();
}

void DataSelectionDialog::showEvent(QShowEvent* event) {
    LoadBoxes();
    QDialog::showEvent(event);
}

void DataSelectionDialog::LoadBoxes() {
    for (int n = 1; n <= kCheckBoxCount; ++n) {
        if (!boxes_[n]) continue;
        const QSignalBlocker block(boxes_[n]);
        boxes_[n]->setChecked(selection_.Ticked(n));
    }
    UpdateCount();
}

void DataSelectionDialog::UpdateCount() {
    const int count = selection_.Count();
    count_->setText(count == 1 ? QString("1 item ticked") : QString("%1 items ticked").arg(count));
    warning_->setText(count > kChartedItemLimit
                          ? QString("More than %1 items are ticked: only the first %1 met in a "
                                    "flight are charted and exported.")
                                .arg(kChartedItemLimit)
                          : QString());
}

}  // namespace krelby
