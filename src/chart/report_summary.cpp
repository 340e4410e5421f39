// The report's title block and its summary: the logbook's figures of the flight and of each
// monitor, takeoff and cruise, the thermocouple kinds and the limits in force.
#include <filesystem>

#include "base/file.h"
#include "chart/engine_rows.h"
#include "chart/engine_text.h"
#include "chart/duration_text.h"
#include "chart/exceedance_text.h"
#include "chart/report_sections.h"
#include "format/datetime.h"
#include "logbook/columns.h"
#include "settings/limits.h"

namespace krelby {
namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

QString DateText(int64_t seconds) {
    const DateTimeParts p = UnixTimeParts(seconds);
    return QString("%1 %2 %3").arg(p.day).arg(kMonths[(p.month - 1) % 12]).arg(p.year);
}

// A figure of the logbook as the Logbook window shows it, with the regional separator.
QString FigureText(const LogbookColumn& column, double v, const UnitSettings& units, const Regional& regional) {
    switch (column.quantity) {
        case Quantity::Time: return QString::fromStdString(IsoText(UnixTimeParts(int64_t(v)))).replace('T', ' ');
        case Quantity::Duration: return QString::fromStdString(LogbookDuration(v));
        default: {
            const LogbookUnit u = ShownAs(column.quantity, units);
            return DecimalNumber(v * u.factor + u.offset, u.decimals, regional.decimalSeparator);
        }
    }
}

QString HeadingOf(const LogbookColumn& column, const UnitSettings& units) {
    const std::string_view unit = ShownAs(column.quantity, units).symbol;
    const QString title = QString::fromUtf8(column.title.data(), qsizetype(column.title.size()));
    return unit.empty() ? title : QString("%1 (%2)").arg(title, QString::fromUtf8(unit.data(), qsizetype(unit.size())));
}

// The flight's own figures, a row each.
TextTable FlightFigures(const FlightSummary& s, const UnitSettings& units, const Regional& regional) {
    TextTable table;
    table.columns << "Value";
    for (const LogbookColumn& c : LogbookColumns())
        if (!c.monitor && c.quantity != Quantity::Count)
            if (const std::optional<double> v = c.get(s))
                table.rows.push_back({HeadingOf(c, units), {{FigureText(c, *v, units, regional), {}, false}}});
    return table;
}

// Each monitor's figures, a column per monitor with any, a row per figure any of them has.
TextTable MonitorFigures(const FlightSummary& s, const UnitSettings& units, const Regional& regional) {
    TextTable table;
    std::vector<int> monitors;
    for (int m = 1; m <= kEngineMonitors; ++m)
        if (s.engines[size_t(m - 1)].present) {
            monitors.push_back(m);
            table.columns << QString("Monitor %1").arg(m);
        }
    for (const LogbookColumn& c : LogbookColumns()) {
        if (c.monitor != 1) continue;  // a row per figure, from the first monitor's column
        TextTable::Row row{HeadingOf(c, units), {}};
        bool any = false;
        for (const int m : monitors) {
            std::optional<double> v;
            for (const LogbookColumn& of : LogbookColumns())
                if (of.monitor == m && of.title == c.title) v = of.get(s);
            any = any || v.has_value();
            row.cells.push_back({v ? FigureText(c, *v, units, regional) : QString::fromUtf8("\u2013"), {}, false});
        }
        if (any) table.rows.push_back(std::move(row));
    }
    return table;
}

// "EGT TC1–TC4, CHT TC5–TC8, Other TC9–TC12": the inputs of each kind in runs.
QString KindsText(const ThermocoupleKinds& kinds, int monitor) {
    static const char* const kNames[] = {"EGT", "CHT", "Other"};
    QStringList parts;
    for (int kind = 0; kind < 3; ++kind) {
        QStringList runs;
        for (int i = 0; i < kThermocoupleInputs;) {
            const auto is = [&](int n) { return ThermocoupleKindIndex(kinds[ThermocoupleIndex(monitor, n)]) == kind; };
            if (!is(i)) {
                ++i;
                continue;
            }
            int j = i;
            while (j + 1 < kThermocoupleInputs && is(j + 1)) ++j;
            runs << (i == j ? QString("TC%1").arg(i + 1) : QString("TC%1\u2013TC%2").arg(i + 1).arg(j + 1));
            i = j + 1;
        }
        if (!runs.isEmpty()) parts << QString("%1 %2").arg(kNames[kind], runs.join(", "));
    }
    return QString("Monitor %1: %2").arg(monitor).arg(parts.join("; "));
}

void LimitsInForce(ReportFlow& flow, const Settings& settings, const Regional& regional) {
    flow.Subheading("Limits in force", flow.Mm(10));
    if (!settings.limits.Any()) {
        flow.Paragraph("No limits set.");
        return;
    }
    TextTable table;
    table.columns << "Value";
    for (const LimitKeyInfo& k : kLimitKeys)
        if (const std::optional<double>& v = settings.limits[k.key])
            table.rows.push_back({QString::fromUtf8(k.caption.data(), qsizetype(k.caption.size())),
                                  {{LimitValueText(k.key, *v, settings.units, regional), {}, false}}});
    flow.Table(table, "Limit");
    // A minimum of 0 s leaves nothing out: no clause for it.
    QString rule = QString("Runs of one item beyond its limit up to %1 apart are joined")
                       .arg(DurationText(settings.limits.mergeSeconds.value));
    if (settings.limits.minSeconds.value > 0)
        rule += QString("; joined runs shorter than %1 are left out").arg(DurationText(settings.limits.minSeconds.value));
    flow.Paragraph(rule + ".", kSmallPt);
}

}  // namespace

PageHead HeadOf(const ReportContext& c) {
    const FlightSummary& s = c.figures.summary;
    PageHead head{QString::fromStdString(TextOf(PathOf(c.flight).filename())), {}, "Krelby " KRELBY_VERSION};
    if (s.start && s.end)
        head.line = QString("%1, %2 to %3, %4")
                        .arg(DateText(*s.start), ClockText(*s.start, c.regional), ClockText(*s.end, c.regional),
                             DurationText(s.durationS.value_or(*s.end - *s.start)));
    else
        head.line = "No dated flight message";
    return head;
}

void SummarySection(ReportFlow& flow, const ReportContext& c) {
    const UnitSettings& units = c.settings.units;
    flow.Heading("Summary", flow.Mm(30));
    flow.Table(FlightFigures(c.figures.summary, units, c.regional), "Flight");
    if (c.figures.HasEngine()) {
        flow.Table(MonitorFigures(c.figures.summary, units, c.regional), "Engine");
        flow.Subheading("Takeoff and cruise", flow.Mm(10));
        flow.Paragraph(TakeoffCruiseText(c.figures.analysis, units, c.regional) + ".");
        const TextTable table = TakeoffCruiseRows(c.figures.analysis, units, c.regional);
        if (!table.rows.empty()) flow.Table(table);
        // The ranges' inputs one by one, as the pane's tips give them.
        for (const TextTable::Row& row : table.rows) {
            QStringList each;
            for (const TextTable::Cell& cell : row.cells)
                if (!cell.tip.isEmpty()) each << QString(cell.tip).replace('\n', ", ");
            if (!each.isEmpty()) flow.Paragraph(row.heading + ": " + each.join("; "), kSmallPt + 0.5, false, 3);
        }
        flow.Subheading("Thermocouple kinds", flow.Mm(10));
        for (int m = 1; m <= kEngineMonitors; ++m)
            if (c.figures.summary.engines[size_t(m - 1)].present)
                flow.Paragraph(KindsText(c.settings.thermocouples, m));
    } else {
        flow.Paragraph("No engine data in this flight.");
    }
    LimitsInForce(flow, c.settings, c.regional);
}

}  // namespace krelby
