// The CSV file the replay writes its header and rows into during the CSV export.
#pragma once
#include <string>
#include <vector>

#include "export/text_file.h"
#include "base/regional.h"
#include "export/csv_sink.h"

namespace krelby {

class CsvFile : public CsvOutput {
public:
    // `source`: the flight exported, which the file may not replace.
    CsvFile(const std::string& path, const Regional& regional, const InputFile* source = nullptr)
        : file_(path, source), regional_(regional) {}

    // "TimeStamp" and every named column in column order; fixes the columns of every row.
    void CsvHeader(const CsvColumns& columns) override;
    // The time, a blank, and each header column's value; a column without a value yet is
    // written as empty fields, as many as its name has, so rows match the header.
    void CsvRow(double time, const CsvColumns& columns) override;
    void Close() { file_.Close(); }

private:
    struct Column {
        int index;
        int fields;
    };
    TextFile file_;
    Regional regional_;
    bool headerWritten_ = false;
    std::vector<Column> columns_;
    std::string line_;
};

// ProgramFolder + "Exports/" + the flight file's name with ".CSV" for its extension (ExportsFolderPath).
std::string CsvExportPath(const std::string& programFolder, const std::string& flightFile);

}  // namespace krelby
