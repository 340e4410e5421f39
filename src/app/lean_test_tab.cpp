#include "app/lean_test_tab.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "chart/engine_rows.h"
#include "chart/engine_text.h"
#include "app/lean_test_chart.h"
#include "base/recorded_units.h"
#include "logbook/engine_figures.h"

namespace krelby {
namespace {

double Days(int64_t seconds) { return double(seconds) / double(kSecondsPerDay) + kUnixEpochDay; }

}  // namespace

QString SweepText(const SweepCurve& c, const UnitSettings& units, const Regional& regional) {
    return SweepText(c.monitor, c.sweep, units, regional);
}

QString SweepDetails(const SweepCurve& c, const UnitSettings& units, const Regional& regional) {
    return SweepDetails(c.monitor, c.sweep, units, regional);
}

LeanTestTab::LeanTestTab(QWidget* parent) : QWidget(parent) {
    setObjectName("LeanTest");
    list_ = new QListWidget;
    list_->setObjectName("SweepList");
    details_ = new QLabel;
    details_->setObjectName("SweepDetails");
    details_->setWordWrap(true);
    details_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    chart_ = new LeanTestChart;
    auto* right = new QVBoxLayout;
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(2);
    right->addWidget(details_);
    right->addWidget(chart_, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_, 2);
    layout->addLayout(right, 5);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        Draw(row);
        if (row >= 0) emit SweepChosen(Days(sweeps_[size_t(row)].sweep.start), Days(sweeps_[size_t(row)].sweep.end));
    });
    // A click on the sweep already charted shows its time again.
    for (auto signal : {&QListWidget::itemClicked, &QListWidget::itemActivated})
        connect(list_, signal, this, [this](QListWidgetItem* item) {
            const SweepCurve& c = sweeps_[size_t(list_->row(item))];
            emit SweepChosen(Days(c.sweep.start), Days(c.sweep.end));
        });
}

void LeanTestTab::Show(std::vector<SweepCurve> sweeps, const UnitSettings& units, const Regional& regional) {
    sweeps_ = std::move(sweeps);
    units_ = units;
    regional_ = regional;
    const QSignalBlocker quiet(list_);  // charted, not chosen: the flight's chart stays as it is
    list_->clear();
    for (const SweepCurve& c : sweeps_) list_->addItem(SweepText(c, units, regional));
    if (sweeps_.empty())
        list_->addItem(NoSweepText(units, regional));
    list_->item(0)->setFlags(sweeps_.empty() ? Qt::NoItemFlags : list_->item(0)->flags());
    list_->setWordWrap(true);
    list_->setCurrentRow(sweeps_.empty() ? -1 : 0);
    Draw(sweeps_.empty() ? -1 : 0);
}

void LeanTestTab::Draw(int row) {
    const SweepCurve* c = row >= 0 && size_t(row) < sweeps_.size() ? &sweeps_[size_t(row)] : nullptr;
    details_->setText(c ? SweepDetails(*c, units_, regional_) : QString());
    chart_->Show(c, units_, regional_);
}

}  // namespace krelby
