#include "app/lean_test_tab.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "app/engine_text.h"
#include "app/lean_test_chart.h"
#include "base/recorded_units.h"
#include "logbook/engine_figures.h"

namespace krelby {
namespace {

double Days(int64_t seconds) { return double(seconds) / double(kSecondsPerDay) + kUnixEpochDay; }

const SweepPeak* PeakOf(const Sweep& s, int input) {
    for (const SweepPeak& p : s.inputs)
        if (p.input == input) return &p;
    return nullptr;
}

}  // namespace

QString SweepText(const SweepCurve& c, const UnitSettings& units, const Regional& regional) {
    const QString when = QString("Monitor %1, %2 to %3")
                             .arg(c.monitor)
                             .arg(ClockText(c.sweep.start, regional), ClockText(c.sweep.end, regional));
    if (const std::optional<double> spread = ShownSpreadLph(c.sweep))
        return when + ": spread " + ShownFigure(*spread, Quantity::FuelFlow, units, regional);
    QStringList none;
    for (const SweepPeak& p : c.sweep.inputs)
        if (!p.peaked) none << InputTitle(c.monitor, p.input, EGT);
    if (!none.isEmpty()) return when + ": no peak of " + none.join(", ") + ", no spread";
    return when + ": one EGT input, no spread";
}

QString SweepDetails(const SweepCurve& c, const UnitSettings& units, const Regional& regional) {
    const Sweep& s = c.sweep;
    QString text = QString("Leaned from %1 to %2 at %3, %4")
                       .arg(ShownFigure(s.richLph, Quantity::FuelFlow, units, regional),
                            ShownFigure(s.leanLph, Quantity::FuelFlow, units, regional),
                            ShownFigure(s.rpm, Quantity::Rpm, units, regional),
                            ShownFigure(s.mapBar, Quantity::ManifoldPressure, units, regional));
    if (s.firstInput && s.lastInput) {
        const SweepPeak* first = PeakOf(s, *s.firstInput);
        const SweepPeak* last = PeakOf(s, *s.lastInput);
        text += QString(". %1 peaked first, at %2; %3 last, at %4")
                    .arg(InputTitle(c.monitor, first->input, EGT),
                         ShownFigure(first->ffLph, Quantity::FuelFlow, units, regional),
                         InputTitle(c.monitor, last->input, EGT),
                         ShownFigure(last->ffLph, Quantity::FuelFlow, units, regional));
    }
    return text;
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
        list_->addItem(QString("No mixture sweep in this flight. For a lean test, lean slowly at steady power "
                               "(%1 or more over %2 s or longer) through the peak EGT.")
                           .arg(ShownFigure(sweep::kMinFallLph, Quantity::FuelFlow, units, regional))
                           .arg(sweep::kMinSeconds));
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
