// The figures of a marked span as the window lists them, copies them (Ctrl+C) and prints
// them under the chart: a heading with the span's times and duration, then a row for each
// series shown, its values in its charted unit.
#pragma once
#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

#include "base/regional.h"
#include "replay/chart_model.h"
#include "replay/span_stats.h"
#include "settings/records.h"

class QPainter;

namespace krelby {

struct SpanTable {
    QString heading;  // "Span 14/3/24 10:02:03 to 10:14:40, 0:12:37"
    QStringList columns;
    struct Row {
        QColor colour;  // the series' line
        QStringList cells;  // under the columns
    };
    std::vector<Row> rows;
    bool Empty() const { return heading.isEmpty(); }
};

// The span's table of the series shown: `slots` their slots, each with its line's colour and
// its figures; times in date-times.
struct SpanSeries {
    int slot;
    QColor colour;
    SpanStats stats;
};
SpanTable MakeSpanTable(const ChartModel& model, const std::vector<SpanSeries>& series, double fromDays,
                        double toDays, const UnitSettings& units, const Regional& regional);

// The duration as h:mm:ss, to the second ("0:12:37", "10:00:00").
QString SpanDuration(double seconds);
// The heading, then the column titles and each row, their cells apart by tabs: pasted into a
// spreadsheet, each figure lands in a cell of its own.
QString SpanTableText(const SpanTable& table);
// Drawn into `area` with `font` (shrunk until the table fits, down to 4 points), each row's
// series title in its colour.
void PaintSpanTable(QPainter& painter, const QRectF& area, const SpanTable& table, QFont font);

}  // namespace krelby
