#include "export/csv_sink.h"

#include "format/messages.h"
#include "replay/data_items.h"

namespace krelby {

void CsvColumnsSink::OnItem(const DataItem& item, double, const ItemValue& v) {
    bool isNew = false;
    if (slots_.Claim(item.checkBox, isNew) == kNoSlot) return;
    csv_.SetName(item.column, item.columnName);
    if (v.precision == 0)
        csv_.SetInteger(item.column, v.integer);
    else
        csv_.SetFixed(item.column, v.text, v.precision, v.decimals);
}

void CsvColumnsSink::OnGps(const GpsMessage& m) {
    if (!settings_.selection.Ticked(kPositionCheckBox)) return;
    csv_.SetName(kPositionColumn, kPositionColumnName);
    csv_.SetPosition(kPositionColumn, PositionDegrees(m.Latitude()), PositionDegrees(m.Longitude()));
}

void CsvRowsSink::OnFlightTime(double time) {
    if (headerPending_) {
        out_.CsvHeader(csv_);
        headerPending_ = false;
    }
    if (taken_) out_.CsvRow(time_, csv_);
    time_ = time;
    taken_ = true;
}

void CsvRowsSink::OnEnd(const ReplayEnd& end) {
    if (end.anyFlightMessage) out_.CsvRow(end.lastTime, csv_);
}

}  // namespace krelby
