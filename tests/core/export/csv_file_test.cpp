#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/csv_file.h"
#include "support/temp_folder.h"
#include "support/text_lines.h"
#include "base/error.h"
#include "format/datetime.h"

using namespace krelby;
using krelby::testing::ReadFile;
using krelby::testing::TempFolder;

namespace {

double Time(int h, int m, int s) { return *EncodeDate(2024, 6, 14) + *EncodeTime(h, m, s); }

// Fields of one CSV line; a comma inside double quotes does not split.
size_t FieldCount(const std::string& line) {
    size_t n = 1;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted) ++n;
    }
    return n;
}

using krelby::testing::CrlfLines;

// Writes a header and the given rows through a CsvFile and returns the file's lines.
template <typename Fill>
std::vector<std::string> Write(const Regional& regional, Fill fill) {
    TempFolder dir;
    {
        CsvFile file(dir / "out.CSV", regional);
        CsvColumns columns;
        fill(file, columns);
        file.Close();
    }
    return CrlfLines(ReadFile(dir / "out.CSV"));
}

}  // namespace

// Every column of the table may be filled, items that used to share one column included.
TEST(CsvFile, ColumnsUpTo212AreWritten) {
    auto lines = Write(Regional{}, [](CsvFile& f, CsvColumns& c) {
        c.SetName(181, "HeadingBug");
        c.SetName(182, "AltitudeBug");
        c.SetName(212, "Last");
        c.SetInteger(181, 90);
        c.SetInteger(182, 4500);
        c.SetInteger(212, 7);
        f.CsvHeader(c);
        f.CsvRow(Time(10, 0, 0), c);
    });
    EXPECT_EQ(lines, (std::vector<std::string>{"TimeStamp,HeadingBug,AltitudeBug,Last",
                                               "2024/06/14 10:00:00 ,90,4500,7"}));
}

// A column named in the header but without a value yet keeps its place with empty fields.
TEST(CsvFile, RowWithoutValuesKeepsHeaderFieldCount) {
    auto lines = Write(Regional{}, [](CsvFile& f, CsvColumns& c) {
        c.SetName(0, "PAltitude");
        c.SetName(18, "Latitude,Longitude");
        c.SetName(19, "HeadingMAG");
        f.CsvHeader(c);
        f.CsvRow(Time(10, 0, 0), c);
        c.SetFixed(19, 123.45, 7, 1);
        f.CsvRow(Time(10, 0, 1), c);
        c.SetPosition(18, -27.5, 151.23456789);
        c.SetInteger(0, -152);
        f.CsvRow(Time(10, 0, 2), c);
    });
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "TimeStamp,PAltitude,Latitude,Longitude,HeadingMAG");
    EXPECT_EQ(lines[1], "2024/06/14 10:00:00 ,,,,");
    EXPECT_EQ(lines[2], "2024/06/14 10:00:01 ,,,,123.5");
    EXPECT_EQ(lines[3], "2024/06/14 10:00:02 ,-152,-27.5000000,151.2345680,123.5");
    for (const auto& l : lines) EXPECT_EQ(FieldCount(l), 5u) << l;
}

TEST(CsvFile, RowWithoutHeaderWritesHeaderFirst) {
    auto lines = Write(Regional{}, [](CsvFile& f, CsvColumns& c) {
        c.SetName(2, "ASI");
        c.SetInteger(2, 120);
        f.CsvRow(Time(8, 0, 0), c);
        f.CsvHeader(c);  // a second header is not written
    });
    EXPECT_EQ(lines, (std::vector<std::string>{"TimeStamp,ASI", "2024/06/14 08:00:00 ,120"}));
}

// With a comma as decimal separator real values are quoted, so rows keep their field count.
TEST(CsvFile, CommaDecimalSeparatorQuotesRealValues) {
    Regional comma;
    comma.decimalSeparator = ',';
    comma.dateSeparator = '.';
    auto lines = Write(comma, [](CsvFile& f, CsvColumns& c) {
        c.SetName(0, "PAltitude");
        c.SetName(6, "Baro");
        c.SetName(18, "Latitude,Longitude");
        f.CsvHeader(c);
        c.SetInteger(0, 1500);
        c.SetFixed(6, 1013.2, 7, 5);
        c.SetPosition(18, -27.0, 150.0);
        f.CsvRow(Time(12, 1, 2), c);
    });
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "2024.06.14 12:01:02 ,1500,\"1013,20000\",\"-27,0000000\",\"150,0000000\"");
    EXPECT_EQ(FieldCount(lines[1]), FieldCount(lines[0]));
}

TEST(CsvFile, RegionalDateAndTimeSeparators) {
    Regional r;
    r.dateSeparator = '.';
    r.timeSeparator = '-';
    auto lines = Write(r, [](CsvFile& f, CsvColumns& c) { f.CsvRow(Time(7, 5, 9), c); });
    EXPECT_EQ(lines.back(), "2024.06.14 07-05-09 ");
}

TEST(CsvFile, ExportPathReplacesOrAppendsExtension) {
    const struct {
        const char* flight;
        const char* csv;
    } cases[] = {
        {"/data/Flights_INT/2024-06-14 0930.FLT", "/prog/Exports/2024-06-14 0930.CSV"},
        {"/data/Flights_SD/noext", "/prog/Exports/noext.CSV"},
        {"relative/a.b.flt", "/prog/Exports/a.b.CSV"},
        {"plain.FLT", "/prog/Exports/plain.CSV"},
    };
    for (const auto& c : cases) EXPECT_EQ(CsvExportPath("/prog/", c.flight), c.csv) << c.flight;
}

TEST(CsvFile, UncreatableFileThrows) {
    TempFolder dir;
    EXPECT_THROW((CsvFile{dir / "missing/out.CSV", Regional{}}), Error);
}
