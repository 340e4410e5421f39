#include "export/csv_file.h"

#include <algorithm>

#include "base/file.h"
#include "export/csv_columns.h"
#include "export/exports.h"
#include "format/datetime.h"
#include "replay/value_text.h"

namespace krelby {

void CsvFile::CsvHeader(const CsvColumns& columns) {
    if (headerWritten_) return;
    headerWritten_ = true;
    line_ = "TimeStamp";
    for (int c = 0; c < kCsvColumnCount; ++c) {
        const std::string& name = columns.names[c];
        if (name.empty()) continue;
        line_ += ',';
        line_ += name;
        columns_.push_back({c, 1 + static_cast<int>(std::count(name.begin(), name.end(), ','))});
    }
    file_.Line(line_);
}

void CsvFile::CsvRow(double time, const CsvColumns& columns) {
    if (!headerWritten_) CsvHeader(columns);
    line_ = FormatTimeStamp(time, regional_);
    line_ += ' ';
    for (const Column& c : columns_) {
        const CsvValue& v = columns.values[c.index];
        if (v.form == CsvValue::Form::Empty) {
            line_.append(static_cast<size_t>(c.fields), ',');
            continue;
        }
        line_ += ',';
        AppendCsvValueText(line_, v, regional_.decimalSeparator);
    }
    file_.Line(line_);
}

std::string CsvExportPath(const std::string& programFolder, const std::string& flightFile) {
    return ExportsFolderPath(programFolder, flightFile, ExportNamed("csv")->extension);
}

}  // namespace krelby
