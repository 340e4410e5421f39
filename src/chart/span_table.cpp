#include "chart/span_table.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

#include "base/recorded_units.h"
#include "chart/chart_plot.h"
#include "chart/readout.h"

namespace krelby {
namespace {

const QStringList kColumns = {"Series", "Unit", "Start", "End", "Difference", "Minimum", "Maximum", "Mean"};

// A figure as the readout writes it, parted from its unit; a series without an item (a model
// filled by hand) in plain digits.
std::pair<QString, QString> Figure(const DataItem* item, double value, const UnitSettings& units, char decimal) {
    if (std::isnan(value)) return {QString(), QString()};
    if (!item) return {QString::number(value, 'g', 7), QString()};
    const QString text = QString::fromStdString(ReadoutValue(*item, value, units, decimal));
    const qsizetype blank = text.lastIndexOf(QLatin1Char(' '));
    return {text.left(blank), text.mid(blank + 1)};
}

QString TimeText(double days, const Regional& regional, bool withDate) {
    const QDateTime when = QCPAxisTickerDateTime::keyToDateTime(DaysToKey(days)).toUTC();
    const QChar ds = QChar::fromLatin1(regional.dateSeparator);
    const QChar ts = QChar::fromLatin1(regional.timeSeparator);
    const QString time = QString("hh%1mm%1ss").arg(ts);
    return when.toString(withDate ? QString("d%1M%1yy ").arg(ds) + time : time);
}

// A tenth smaller, down to 4 points (or 5 pixels); false when it is that small already.
bool Shrink(QFont& font) {
    if (font.pixelSize() > 0) {
        if (font.pixelSize() <= 5) return false;
        font.setPixelSize(std::max(5, font.pixelSize() * 9 / 10));
        return true;
    }
    if (font.pointSizeF() <= 4) return false;
    font.setPointSizeF(std::max(4.0, font.pointSizeF() * 0.9));
    return true;
}

}  // namespace

QString SpanDuration(double seconds) {
    const long long s = std::llround(std::abs(seconds));
    const QChar zero = QLatin1Char('0');
    return QString("%1:%2:%3").arg(s / 3600).arg(s / 60 % 60, 2, 10, zero).arg(s % 60, 2, 10, zero);
}

SpanTable MakeSpanTable(const ChartModel& model, const std::vector<SpanSeries>& series, double fromDays,
                        double toDays, const UnitSettings& units, const Regional& regional) {
    SpanTable table;
    const bool sameDay = std::floor(fromDays) == std::floor(toDays);
    table.heading = QString("Span %1 to %2, %3")
                        .arg(TimeText(fromDays, regional, true), TimeText(toDays, regional, !sameDay),
                             SpanDuration((toDays - fromDays) * kSecondsPerDay));
    table.columns = kColumns;
    for (const SpanSeries& s : series) {
        if (!s.stats.any) continue;
        const DataItem* item = SlotItem(model, s.slot);
        const char decimal = regional.decimalSeparator;
        const auto [start, unit] = Figure(item, s.stats.start, units, decimal);
        const auto [end, endUnit] = Figure(item, s.stats.end, units, decimal);
        const double change = s.stats.end - s.stats.start;
        SpanTable::Row row{s.colour, {QString::fromStdString(model.Slot(s.slot).title), endUnit, start, end,
                                      Figure(item, change, units, decimal).first,
                                      Figure(item, s.stats.min, units, decimal).first,
                                      Figure(item, s.stats.max, units, decimal).first,
                                      Figure(item, s.stats.mean, units, decimal).first}};
        table.rows.push_back(std::move(row));
    }
    return table;
}

QString SpanTableText(const SpanTable& table) {
    QString text = table.heading + QLatin1Char('\n') + table.columns.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const SpanTable::Row& row : table.rows) text += row.cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    return text;
}

void PaintSpanTable(QPainter& painter, const QRectF& area, const SpanTable& table, QFont font) {
    if (table.Empty() || !(area.width() > 0 && area.height() > 0)) return;
    const int lines = static_cast<int>(table.rows.size()) + 2;
    // Each column as wide as its widest cell; the figures right-aligned under their titles.
    const auto widths = [&table](const QFontMetricsF& fm) {
        std::vector<double> w(static_cast<size_t>(table.columns.size()));
        for (qsizetype c = 0; c < table.columns.size(); ++c) {
            w[size_t(c)] = fm.horizontalAdvance(table.columns[c]);
            for (const SpanTable::Row& row : table.rows)
                if (c < row.cells.size()) w[size_t(c)] = std::max(w[size_t(c)], fm.horizontalAdvance(row.cells[c]));
        }
        return w;
    };
    std::vector<double> w;
    double gap = 0;
    for (;;) {
        const QFontMetricsF fm(font, painter.device());
        w = widths(fm);
        gap = fm.horizontalAdvance(QLatin1Char('M'));
        double total = gap * double(w.size() - 1);
        for (double x : w) total += x;
        const bool fits = total <= area.width() && fm.lineSpacing() * lines <= area.height();
        if (fits || !Shrink(font)) break;
    }
    painter.save();
    painter.setFont(font);
    const QFontMetricsF fm(font, painter.device());
    const double line = fm.lineSpacing();
    double y = area.top();
    painter.setPen(Qt::black);
    painter.drawText(QPointF(area.left(), y + fm.ascent()), table.heading);
    const auto row = [&](const QStringList& cells, const QColor& first) {
        y += line;
        double x = area.left();
        for (qsizetype c = 0; c < cells.size() && size_t(c) < w.size(); ++c) {
            painter.setPen(c == 0 ? first : QColor(Qt::black));
            const double left = c < 2 ? x : x + w[size_t(c)] - fm.horizontalAdvance(cells[c]);
            painter.drawText(QPointF(left, y + fm.ascent()), cells[c]);
            x += w[size_t(c)] + gap;
        }
    };
    row(table.columns, Qt::black);
    for (const SpanTable::Row& r : table.rows) row(r.cells, r.colour);
    painter.restore();
}

}  // namespace krelby
