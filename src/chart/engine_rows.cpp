#include "chart/engine_rows.h"

#include <algorithm>

#include "chart/duration_text.h"
#include "chart/engine_text.h"
#include "logbook/engine_figures.h"
#include "replay/units.h"

namespace krelby {
namespace {

// A row's cells by input before they take their columns.
struct InputRow {
    QString heading;
    std::vector<std::pair<int, TextTable::Cell>> cells;
};

// The row of the inputs of `kind`, the hottest (the first of equals) marked.
InputRow ReadingsRow(int monitor, uint8_t kind, const std::vector<CylinderInput>& inputs, const UnitSettings& units) {
    const CylinderInput* hottest = nullptr;
    for (const CylinderInput& c : inputs)
        if (c.kind == kind && (!hottest || c.max > hottest->max)) hottest = &c;
    InputRow row{QString("Monitor %1 %2 max (%3)").arg(monitor).arg(kind == EGT ? "EGT" : "CHT",
                                                                   ShownSymbol(Quantity::Temperature, units)), {}};
    for (const CylinderInput& c : inputs) {
        if (c.kind != kind) continue;
        const bool marked = &c == hottest;
        QString tip = InputTitle(monitor, c.input, kind) + QString(marked ? ": the hottest" : "");
        row.cells.push_back({c.input, {QString::number(ConvertTemperature(c.max, units)), tip, marked}});
    }
    return row;
}

InputRow CoolingRow(int monitor, const std::vector<CoolingRate>& rates, const UnitSettings& units,
                    const Regional& regional) {
    const CoolingRate* fastest = nullptr;
    for (const CoolingRate& r : rates)
        if (!fastest || r.FasterThan(*fastest)) fastest = &r;
    InputRow row{QString("Monitor %1 CHT cooling (%2)").arg(monitor).arg(ShownSymbol(Quantity::CoolingRate, units)), {}};
    for (const CoolingRate& r : rates) {
        const bool marked = &r == fastest;
        const QString tip = QString("%1: fastest at %2%3")
                                .arg(InputTitle(monitor, r.input, CHT), ClockText(r.time, regional),
                                     marked ? ", the fastest of all" : "");
        row.cells.push_back({r.input,
                             {ShownNumber(Rounded(r.CPerMin(), kRateDecimals), Quantity::CoolingRate, units, regional),
                              tip, marked}});
    }
    return row;
}

// The takeoff and cruise table's columns: each a figure of a monitor and the quantity it is shown as.
struct Figure {
    const char* title;
    Quantity quantity;
};
constexpr Figure kFigures[] = {{"RPM", Quantity::Rpm},           {"MAP", Quantity::ManifoldPressure},
                               {"Fuel flow", Quantity::FuelFlow},  {"Oil temp", Quantity::Temperature},
                               {"Oil pressure", Quantity::Pressure}, {"EGT", Quantity::Temperature},
                               {"CHT", Quantity::Temperature}};

const QString kNone = QString::fromUtf8("\u2013");

// A figure as the logbook and the JSON give it (rounded in the recording's unit), so that a
// converted unit shows the same digits in every view.
std::optional<double> Defined(std::optional<double> v, int decimals) {
    return v ? std::optional<double>(Rounded(*v, decimals)) : std::nullopt;
}

// The inputs' values as "711–747" (the coldest to the hottest), each one in the tip.
TextTable::Cell InputsCell(const std::vector<InputFigure>& figures, int monitor, uint8_t kind,
                           const UnitSettings& units, const Regional& regional) {
    if (figures.empty()) return {kNone, {}, false};
    const auto [lo, hi] = std::minmax_element(figures.begin(), figures.end(),
                                              [](const InputFigure& a, const InputFigure& b) { return a.value < b.value; });
    const auto shown = [&](double v) {
        return ShownNumber(Rounded(v, kMeanCDecimals), Quantity::Temperature, units, regional);
    };
    QStringList each;
    for (const InputFigure& f : figures) each << InputTitle(monitor, f.input, kind) + " " + shown(f.value);
    return {lo->value == hi->value ? shown(hi->value) : shown(lo->value) + kNone + shown(hi->value), each.join('\n'),
            false};
}

TextTable::Cell Number(std::optional<double> v, Quantity q, const UnitSettings& units, const Regional& regional) {
    return {v ? ShownNumber(*v, q, units, regional) : kNone, {}, false};
}

const SweepPeak* PeakOf(const Sweep& s, int input) {
    for (const SweepPeak& p : s.inputs)
        if (p.input == input) return &p;
    return nullptr;
}

}  // namespace

TextTable CylinderRows(const std::array<std::vector<CylinderInput>, kEngineMonitors>& cylinders,
                       const Analysis* analysis, const UnitSettings& units, const Regional& regional) {
    std::vector<InputRow> rows;
    for (int m = 1; m <= kEngineMonitors; ++m) {
        const std::vector<CylinderInput>& inputs = cylinders[size_t(m - 1)];
        for (const uint8_t kind : {uint8_t(EGT), uint8_t(CHT)}) {
            InputRow row = ReadingsRow(m, kind, inputs, units);
            if (!row.cells.empty()) rows.push_back(std::move(row));
        }
        if (analysis && !analysis->monitors[size_t(m - 1)].cooling.empty())
            rows.push_back(CoolingRow(m, analysis->monitors[size_t(m - 1)].cooling, units, regional));
    }
    // A column for each input any row has, in input order.
    std::array<int, kThermocoupleInputs + 1> columnOf{};
    for (const InputRow& row : rows)
        for (const auto& c : row.cells) columnOf[size_t(c.first)] = 1;
    TextTable table;
    for (int n = 1; n <= kThermocoupleInputs; ++n)
        if (columnOf[size_t(n)]) {
            columnOf[size_t(n)] = int(table.columns.size());
            table.columns << QString("TC%1").arg(n);
        }
    for (InputRow& row : rows) {
        TextTable::Row out{row.heading, std::vector<TextTable::Cell>(size_t(table.columns.size()))};
        for (auto& c : row.cells) out.cells[size_t(columnOf[size_t(c.first)])] = std::move(c.second);
        table.rows.push_back(std::move(out));
    }
    return table;
}

TextTable TakeoffCruiseRows(const Analysis& analysis, const UnitSettings& units, const Regional& regional) {
    TextTable table;
    for (const Figure& f : kFigures) {
        const QString unit = ShownSymbol(f.quantity, units);
        table.columns << (unit.isEmpty() ? QString(f.title) : QString("%1 (%2)").arg(f.title, unit));
    }
    const auto n = [&](std::optional<double> v, Quantity q) { return Number(v, q, units, regional); };
    for (int m = 1; m <= kEngineMonitors; ++m) {
        const MonitorAnalysis& e = analysis.monitors[size_t(m - 1)];
        if (e.takeoff) {
            const TakeoffEngine& t = *e.takeoff;
            table.rows.push_back({QString("Takeoff %1, greatest").arg(m),
                                  {n(t.rpmMax ? std::optional<double>(*t.rpmMax) : std::nullopt, Quantity::Rpm),
                                   n(Defined(t.mapMaxBar, kBarDecimals), Quantity::ManifoldPressure),
                                   n(Defined(t.ffMaxLph, kLphDecimals), Quantity::FuelFlow),
                                   {kNone, {}, false}, {kNone, {}, false},
                                   InputsCell(t.egtMax, m, EGT, units, regional),
                                   InputsCell(t.chtMax, m, CHT, units, regional)}});
        }
        if (e.cruise) {
            const CruiseEngine& c = *e.cruise;
            table.rows.push_back({QString("Cruise %1, mean").arg(m),
                                  {n(Defined(c.rpm, 0), Quantity::Rpm),
                                   n(Defined(c.mapBar, kBarDecimals), Quantity::ManifoldPressure),
                                   n(Defined(c.ffLph, kLphDecimals), Quantity::FuelFlow),
                                   n(Defined(c.oilTempC, kMeanCDecimals), Quantity::Temperature),
                                   n(Defined(c.oilPressureBar, kBarDecimals), Quantity::Pressure),
                                   InputsCell(c.egt, m, EGT, units, regional),
                                   InputsCell(c.cht, m, CHT, units, regional)}});
        }
    }
    return table;
}

QString TakeoffCruiseText(const Analysis& a, const UnitSettings& units, const Regional& regional) {
    QString text = a.takeoff ? QString("Takeoff at %1 (the figures of %2 to %3)")
                                   .arg(ClockText(*a.takeoff, regional), ClockText(*a.takeoff - kTakeoffBeforeS, regional),
                                        ClockText(*a.takeoff + kTakeoffAfterS, regional))
                             : QString("No takeoff: the airspeed never reached 30 kt");
    if (!a.cruise)
        return text + ". No cruise: no stretch of 5 minutes or more between takeoff and landing with the VSI within "
                      "300 ft/min";
    const CruiseStretch& c = *a.cruise;
    return text + QString(". Cruise %1 to %2 (%3) at %4, %5")
                      .arg(ClockText(c.start, regional), ClockText(c.end, regional), DurationText(c.DurationS()),
                           ShownFigure(Rounded(c.paltFt, 0), Quantity::Altitude, units, regional),
                           ShownFigure(Rounded(c.iasKt, kKtDecimals), Quantity::Speed, units, regional));
}

QString SweepText(int monitor, const Sweep& sweep, const UnitSettings& units, const Regional& regional) {
    const QString when = QString("Monitor %1, %2 to %3")
                             .arg(monitor)
                             .arg(ClockText(sweep.start, regional), ClockText(sweep.end, regional));
    if (const std::optional<double> spread = ShownSpreadLph(sweep))
        return when + ": spread " + ShownFigure(*spread, Quantity::FuelFlow, units, regional);
    QStringList none;
    for (const SweepPeak& p : sweep.inputs)
        if (!p.peaked) none << InputTitle(monitor, p.input, EGT);
    if (!none.isEmpty()) return when + ": no peak of " + none.join(", ") + ", no spread";
    return when + ": one EGT input, no spread";
}

QString SweepDetails(int monitor, const Sweep& s, const UnitSettings& units, const Regional& regional) {
    QString text = QString("Leaned from %1 to %2 at %3, %4")
                       .arg(ShownFigure(Rounded(s.richLph, kLphDecimals), Quantity::FuelFlow, units, regional),
                            ShownFigure(Rounded(s.leanLph, kLphDecimals), Quantity::FuelFlow, units, regional),
                            ShownFigure(Rounded(s.rpm, 0), Quantity::Rpm, units, regional),
                            ShownFigure(Rounded(s.mapBar, kBarDecimals), Quantity::ManifoldPressure, units, regional));
    if (s.firstInput && s.lastInput) {
        const SweepPeak* first = PeakOf(s, *s.firstInput);
        const SweepPeak* last = PeakOf(s, *s.lastInput);
        text += QString(". %1 peaked first, at %2; %3 last, at %4")
                    .arg(InputTitle(monitor, first->input, EGT),
                         ShownFigure(Rounded(first->ffLph, kLphDecimals), Quantity::FuelFlow, units, regional),
                         InputTitle(monitor, last->input, EGT),
                         ShownFigure(Rounded(last->ffLph, kLphDecimals), Quantity::FuelFlow, units, regional));
    }
    return text;
}

QString NoSweepText(const UnitSettings& units, const Regional& regional) {
    return QString("No mixture sweep in this flight. For a lean test, lean slowly at steady power "
                   "(%1 or more over %2 s or longer) through the peak EGT.")
        .arg(ShownFigure(sweep::kMinFallLph, Quantity::FuelFlow, units, regional))
        .arg(sweep::kMinSeconds);
}

}  // namespace krelby
