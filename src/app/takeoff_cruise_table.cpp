#include "app/takeoff_cruise_table.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/duration_text.h"
#include "app/engine_text.h"
#include "logbook/columns.h"

namespace krelby {
namespace {

// The table's columns: each a figure of a monitor and the quantity it is shown as.
struct Figure {
    const char* title;
    Quantity quantity;
};
constexpr Figure kFigures[] = {{"RPM", Quantity::Rpm},           {"MAP", Quantity::ManifoldPressure},
                               {"Fuel flow", Quantity::FuelFlow},  {"Oil temp", Quantity::Temperature},
                               {"Oil pressure", Quantity::Pressure}, {"EGT", Quantity::Temperature},
                               {"CHT", Quantity::Temperature}};

// The inputs' values as "711–747" (the coldest to the hottest), each one in the tooltip.
QTableWidgetItem* InputsItem(const std::vector<InputFigure>& figures, int monitor, uint8_t kind,
                             const UnitSettings& units, const Regional& regional) {
    if (figures.empty()) return nullptr;
    const auto [lo, hi] = std::minmax_element(figures.begin(), figures.end(),
                                              [](const InputFigure& a, const InputFigure& b) { return a.value < b.value; });
    const auto shown = [&](double v) { return ShownNumber(v, Quantity::Temperature, units, regional); };
    auto* item = new QTableWidgetItem(lo->value == hi->value ? shown(hi->value)
                                                             : shown(lo->value) + QString::fromUtf8("\u2013") + shown(hi->value));
    QStringList each;
    for (const InputFigure& f : figures) each << InputTitle(monitor, f.input, kind) + " " + shown(f.value);
    item->setToolTip(each.join('\n'));
    return item;
}

QTableWidgetItem* Number(std::optional<double> v, Quantity q, const UnitSettings& units, const Regional& regional) {
    return v ? new QTableWidgetItem(ShownNumber(*v, q, units, regional)) : nullptr;
}

// "Takeoff at 09:41:03; cruise 09:50:12 to 10:32:40 (42 min 28 s) at 4500 ft, 105.3 kt".
QString SummaryText(const Analysis& a, const UnitSettings& units, const Regional& regional) {
    QString text = a.takeoff ? QString("Takeoff at %1 (the figures of %2 to %3)")
                                   .arg(ClockText(*a.takeoff, regional), ClockText(*a.takeoff - kTakeoffBeforeS, regional),
                                        ClockText(*a.takeoff + kTakeoffAfterS, regional))
                             : QString("No takeoff: the airspeed never reached 30 kt");
    if (!a.cruise)
        return text + ". No cruise: no stretch of 5 minutes or more between takeoff and landing with the VSI within "
                      "300 ft/min";
    const CruiseStretch& c = *a.cruise;
    return text + QString(". Cruise %1 to %2 (%3) at %4, %5")
                      .arg(ClockText(c.start, regional), ClockText(c.end, regional),
                           DurationText(c.DurationS()),
                           ShownFigure(c.paltFt, Quantity::Altitude, units, regional),
                           ShownFigure(c.iasKt, Quantity::Speed, units, regional));
}

}  // namespace

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
    QStringList headings;
    for (const Figure& f : kFigures) {
        const QString unit = ShownSymbol(f.quantity, units);
        headings << (unit.isEmpty() ? QString(f.title) : QString("%1 (%2)").arg(f.title, unit));
    }
    table_->setColumnCount(int(std::size(kFigures)));
    table_->setHorizontalHeaderLabels(headings);
    summary_->setText(analysis ? SummaryText(*analysis, units, regional) : QString());
    if (!analysis) return;
    for (int m = 1; m <= 4; ++m) {
        const MonitorAnalysis& e = analysis->monitors[size_t(m - 1)];
        const auto addRow = [&](const QString& heading, std::vector<QTableWidgetItem*> items) {
            const int row = table_->rowCount();
            table_->insertRow(row);
            table_->setVerticalHeaderItem(row, new QTableWidgetItem(heading));
            for (size_t c = 0; c < items.size(); ++c) {
                QTableWidgetItem* item = items[c] ? items[c] : new QTableWidgetItem(QString::fromUtf8("\u2013"));
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                table_->setItem(row, int(c), item);
            }
        };
        if (e.takeoff) {
            const TakeoffEngine& t = *e.takeoff;
            addRow(QString("Takeoff %1, greatest").arg(m),
                   {Number(t.rpmMax ? std::optional<double>(*t.rpmMax) : std::nullopt, Quantity::Rpm, units, regional),
                    Number(t.mapMaxBar, Quantity::ManifoldPressure, units, regional),
                    Number(t.ffMaxLph, Quantity::FuelFlow, units, regional), nullptr, nullptr,
                    InputsItem(t.egtMax, m, EGT, units, regional), InputsItem(t.chtMax, m, CHT, units, regional)});
        }
        if (e.cruise) {
            const CruiseEngine& c = *e.cruise;
            addRow(QString("Cruise %1, mean").arg(m),
                   {Number(c.rpm, Quantity::Rpm, units, regional), Number(c.mapBar, Quantity::ManifoldPressure, units, regional),
                    Number(c.ffLph, Quantity::FuelFlow, units, regional),
                    Number(c.oilTempC, Quantity::Temperature, units, regional),
                    Number(c.oilPressureBar, Quantity::Pressure, units, regional),
                    InputsItem(c.egt, m, EGT, units, regional), InputsItem(c.cht, m, CHT, units, regional)});
        }
    }
}

}  // namespace krelby
