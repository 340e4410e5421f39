#include "app/engine_pane.h"

#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <numeric>

#include "app/cylinders_table.h"
#include "app/exceedances_pane.h"
#include "app/lean_test_tab.h"
#include "app/takeoff_cruise_table.h"

namespace krelby {
namespace {

// "Exceedances (12)": how many, in sight whichever tab is open.
QString ExceedancesTitle(int64_t count) {
    return count > 0 ? QString("Exceedances (%1)").arg(count) : QString("Exceedances");
}

}  // namespace

EnginePane::EnginePane(QWidget* parent) : QWidget(parent) {
    setObjectName("EnginePane");
    exceedances_ = new ExceedancesPane;
    cylinders_ = new CylindersTable;
    takeoffCruise_ = new TakeoffCruiseTable;
    leanTest_ = new LeanTestTab;
    tabs_ = new QTabWidget;
    tabs_->setObjectName("EngineTabs");
    tabs_->setDocumentMode(true);
    tabs_->addTab(exceedances_, ExceedancesTitle(0));
    tabs_->addTab(cylinders_, "Cylinders");
    tabs_->addTab(takeoffCruise_, "Takeoff && cruise");
    tabs_->addTab(leanTest_, "Lean test");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 2);
    layout->addWidget(tabs_);
    connect(exceedances_, &ExceedancesPane::Chosen, this, &EnginePane::ExceedanceChosen);
    connect(exceedances_, &ExceedancesPane::GroupChosen, this, &EnginePane::TimeChosen);
    connect(leanTest_, &LeanTestTab::SweepChosen, this, &EnginePane::TimeChosen);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
        picked_ = picked_ || !showing_;
        if (tab == kLeanTestTab) GrowTo(fontMetrics().height() * 20);
    });
}

void EnginePane::GrowTo(int height) {
    auto* split = qobject_cast<QSplitter*>(parentWidget());
    if (!split) return;
    QList<int> sizes = split->sizes();
    const int at = split->indexOf(this), total = std::accumulate(sizes.begin(), sizes.end(), 0);
    const int wanted = std::min(height, total / 2);
    if (at <= 0 || sizes[at] >= wanted) return;
    sizes[0] -= wanted - sizes[at];  // the chart above gives the room
    sizes[at] = wanted;
    split->setSizes(sizes);
}

QSize EnginePane::sizeHint() const {
    return QSize(QWidget::sizeHint().width(), fontMetrics().height() * 9 + tabs_->tabBar()->sizeHint().height());
}

void EnginePane::Show(const ExceedanceSearch::Result& r, bool limited, const UnitSettings& units,
                      const Regional& regional) {
    const Analysis* analysis = r.analysis ? &*r.analysis : nullptr;
    exceedances_->Show(r.first, r.series, r.count, limited, units, regional, QString::fromStdString(r.error));
    tabs_->setTabText(kExceedancesTab, ExceedancesTitle(r.count));
    cylinders_->Show(r.cylinders, analysis, units, regional);
    takeoffCruise_->Show(analysis, units, regional);
    leanTest_->Show(r.sweeps, units, regional);
    tabs_->setTabText(kLeanTestTab, r.sweeps.empty() ? QString("Lean test") : QString("Lean test (%1)").arg(r.sweeps.size()));
    bool engine = false;
    if (analysis)
        for (const MonitorAnalysis& m : analysis->monitors) engine = engine || m.present;
    const bool alarms = r.count > 0 || !r.error.empty();
    hasContent_ = engine || alarms;
    if (!picked_ && hasContent_) {
        showing_ = true;
        tabs_->setCurrentIndex(alarms || !cylinders_->HasContent() ? kExceedancesTab : kCylindersTab);
        showing_ = false;
    }
}

void EnginePane::Clear() { Show({}, false, {}, {}); }

void EnginePane::ShowProgress(int percent) { exceedances_->ShowProgress(percent); }

}  // namespace krelby
