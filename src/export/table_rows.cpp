#include "export/table_rows.h"

#include "base/text.h"
#include "format/datetime.h"
#include "format/messages.h"
#include "replay/value_text.h"

namespace krelby {
namespace {

constexpr std::string_view kTimeHeader = "time";

// A CSV field quoted only where it must be (no title or unit needs it today).
std::string CsvField(std::string_view s, char separator) {
    if (s.find_first_of(std::string{separator, '"', '\n', '\r'}) == std::string_view::npos) return std::string(s);
    std::string q = "\"";
    for (const char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + '"';
}

}  // namespace

TableRows::TableRows(TextFile& file, const std::vector<TableItem>& columns, const ThermocoupleKinds& kinds,
                     UnitSystem system, const UnitSettings& chosen, TableFormat format)
    : file_(file), format_(format), separator_(format == TableFormat::Tsv ? '\t' : ',') {
    columnOf_.fill(-1);
    for (const TableItem& c : columns) {
        Column column;
        const std::string header = HeaderOf(c, kinds, system, chosen);
        if (format_ == TableFormat::JsonLines) {
            AppendJsonString(column.name, header);
            column.name += ':';
        } else {
            column.name = CsvField(header, separator_);
        }
        const int index = static_cast<int>(columns_.size());
        if (c.checkBox == kPositionCheckBox) {
            column.position = true;
            (c.part == 0 ? latitude_ : longitude_) = index;
        } else {
            column.unit = UnitOfItem(*DataItemOf(c, kinds), system, chosen);
            columnOf_[c.checkBox] = static_cast<int16_t>(index);
        }
        columns_.push_back(std::move(column));
    }
}

void TableRows::OnBegin() {
    if (format_ == TableFormat::JsonLines) return;  // each object names its fields
    line_.assign(kTimeHeader);
    for (const Column& c : columns_) {
        line_ += separator_;
        line_ += c.name;
    }
    line_ += '\n';
    file_.Text(line_);
}

void TableRows::OnItem(const DataItem& item, double, const ItemValue& value) {
    const int index = columnOf_[item.checkBox];
    if (index < 0) return;
    Column& c = columns_[size_t(index)];
    c.value = value;
    c.present = true;
}

void TableRows::OnGps(const GpsMessage& m) {
    if ((latitude_ < 0 && longitude_ < 0) || !CarriesPosition(m)) return;
    if (latitude_ >= 0) {
        columns_[size_t(latitude_)].degrees = PositionDegrees(m.Latitude());
        columns_[size_t(latitude_)].present = true;
    }
    if (longitude_ >= 0) {
        columns_[size_t(longitude_)].degrees = PositionDegrees(m.Longitude());
        columns_[size_t(longitude_)].present = true;
    }
}

void TableRows::OnFlightTime(double time) {
    if (taken_) Row();
    time_ = time;
    taken_ = true;
}

void TableRows::OnEnd(const ReplayEnd& end) {
    if (end.anyFlightMessage && taken_) Row();
}

void TableRows::AppendValue(const Column& c) {
    if (c.position) return AppendFixedText(line_, c.degrees, 18, 7, '.');
    const ItemValue& v = c.value;
    if (c.unit.decimals < 0) {  // the value as the chart has it, in the item's own text form
        if (v.precision == 0) line_ += IntegerText(v.integer);
        else AppendFixedText(line_, v.text, 18, v.decimals, '.');
        return;
    }
    const long double recorded = v.precision == 0 ? static_cast<long double>(v.integer) : v.text;
    AppendFixedText(line_, static_cast<double>(recorded * c.unit.multiplier / c.unit.divisor), 18, c.unit.decimals,
                    '.');
}

void TableRows::Row() {
    const std::string time = IsoText(DecodeDateTime(time_));
    const bool json = format_ == TableFormat::JsonLines;
    if (json) {
        line_ = "{\"time\":\"" + time + '"';
    } else {
        line_ = time;
    }
    for (Column& c : columns_) {
        if (json) {
            line_ += ',';
            line_ += c.name;
            if (c.present) AppendValue(c);
            else line_ += "null";
        } else {
            line_ += separator_;
            if (c.present) AppendValue(c);
        }
        c.present = false;  // each row holds what came until the next FlightMessage
    }
    line_ += json ? "}\n" : "\n";
    file_.Text(line_);
}

}  // namespace krelby
