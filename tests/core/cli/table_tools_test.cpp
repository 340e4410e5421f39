// The analysis table as the tools of analysts read it, where they are installed
// (scripts/install-deps installs them): pandas, LibreOffice Calc and sqlite3 take the time as
// a date and time and the figures as numbers, in the C locale and in comma-decimal ones.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "support/cli_run.h"
#include "support/temp_folder.h"

using namespace krelby::testing;
namespace fs = std::filesystem;

namespace {

bool Installed(const std::string& test) { return RunShell(test + " > /dev/null 2>&1").status == 0; }
bool HasLocale(const std::string& locale) {
    return RunShell("LC_ALL=" + locale + " locale 2>&1 >/dev/null | grep -q .").status != 0;
}

// The first sample flight's table of every item, written under `locale`.
struct TableTools : ::testing::Test {
    TempFolder folder;
    std::string flight;
    void SetUp() override {
        ASSERT_EQ(RunCli("import " KRELBY_SOURCE_DIR "/samples/ZelvoBB.DAT -q --folder " + folder.path()).status, 0);
        for (const auto& e : fs::directory_iterator(folder / "Flights_INT"))
            if (flight.empty() || e.path().string() < flight) flight = e.path().string();
    }
    std::string Table(const std::string& locale, const std::string& args = "--all") {
        const std::string out = folder / ("t-" + locale + ".csv");
        const CliRun r = RunCli("table '" + flight + "' " + args + " -o " + out + " --folder " + folder.path(),
                                "LC_ALL=" + locale);
        EXPECT_EQ(r.status, 0) << r.out;
        return out;
    }
    // The same bytes in every locale.
    std::string TableIn(const std::string& locale) {
        const std::string path = Table(locale);
        EXPECT_TRUE(ReadFile(path) == ReadFile(Table("C"))) << locale;
        return path;
    }
};

}  // namespace

TEST_F(TableTools, PandasReadsTimesAsDatesAndEveryFigureAsANumber) {
    const std::string python = Installed("/usr/bin/python3 -c 'import pandas'") ? "/usr/bin/python3" : "python3";
    if (!Installed(python + " -c 'import pandas'")) GTEST_SKIP() << "pandas is not installed";
    WriteFile(folder / "read.py",
              "import sys, pandas\n"
              "t = pandas.read_csv(sys.argv[1], parse_dates=['time'])\n"
              "print(t['time'].dtype, len(t), t['time'].iloc[0].isoformat())\n"
              "print(sorted(set(str(d) for c, d in t.dtypes.items() if c != 'time')))\n");
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        if (!HasLocale(locale)) continue;
        const CliRun r = RunShell("LC_ALL=" + std::string(locale) + " " + python + " " + (folder / "read.py") + " " +
                                  TableIn(locale) + " 2>&1");
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(r.out, "datetime64[ns] 420 2014-03-05T09:41:17\n['float64', 'int64']\n") << locale;
    }
}

// One start of LibreOffice per locale: it starts slowly. The time is a date in the user's own
// language; the figures are numbers where the language reads full stops as decimals, so
// comma-decimal locales are read as English (USA), as one chooses in the import dialog.
TEST_F(TableTools, LibreOfficeTakesTheTimeAsADateInEveryLocale) {
    if (!Installed("command -v soffice")) GTEST_SKIP() << "LibreOffice is not installed";
    const struct {
        const char* locale;
        const char* language;  // of the import, empty: the locale's
    } cases[] = {{"C", ""}, {"de_DE.UTF-8", "1033"}, {"ja_JP.UTF-8", ""}, {"sl_SI.UTF-8", ""}};
    for (const auto& c : cases) {
        if (!HasLocale(c.locale)) continue;
        const std::string csv = TableIn(c.locale), out = folder / c.locale;
        const CliRun r = RunShell("LC_ALL=" + std::string(c.locale) + " timeout 180 soffice --headless -env:UserInstallation=file://" +
                                  (folder / "profile") + " --convert-to fods --infilter=CSV:44,34,76,1,," + c.language +
                                  " --outdir " + out + " " + csv + " 2>&1");
        const std::string doc = ReadFile(out + "/" + fs::path(csv).stem().string() + ".fods");
        ASSERT_FALSE(doc.empty()) << c.locale << ": " << r.out;
        const std::regex row(R"(<table:table-row[^>]*>([\s\S]*?)</table:table-row>)");
        const std::regex cell(R"(<table:table-cell( [^>]*)?/?>)");
        int rows = 0, dates = 0, strings = 0;
        for (auto it = std::sregex_iterator(doc.begin(), doc.end(), row); it != std::sregex_iterator(); ++it) {
            if (rows++ == 0) continue;  // the header
            const std::string cells = (*it)[1];
            bool first = true;
            for (auto ci = std::sregex_iterator(cells.begin(), cells.end(), cell); ci != std::sregex_iterator(); ++ci) {
                const std::string attributes = (*ci)[1];
                if (first) dates += attributes.find("office:value-type=\"date\"") != std::string::npos;
                else strings += attributes.find("value-type=\"string\"") != std::string::npos;
                first = false;
            }
        }
        EXPECT_EQ(rows, 421) << c.locale;
        EXPECT_EQ(dates, 420) << c.locale << ": the time is no date";
        EXPECT_NE(doc.find("office:date-value=\"2014-03-05T09:41:17\""), std::string::npos) << c.locale;
        if (std::string(c.locale) != "sl_SI.UTF-8") {
            EXPECT_EQ(strings, 0) << c.locale << ": figures read as text";
        }
    }
}

TEST_F(TableTools, Sqlite3ImportsTimesTheDateFunctionsRead) {
    if (!Installed("command -v sqlite3")) GTEST_SKIP() << "sqlite3 is not installed";
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        if (!HasLocale(locale)) continue;
        const CliRun r = RunShell(
            "LC_ALL=" + std::string(locale) + " sqlite3 :memory: '.import --csv " + TableIn(locale) +
            " flight' \"select count(*), count(julianday(time)), min(datetime(time)), "
            "sum(typeof(\\\"PALT [ft]\\\" + 0) = 'integer'), "
            "sum(\\\"OILP_1 [bar]\\\" <> '' and typeof(\\\"OILP_1 [bar]\\\" + 0) <> 'real') from flight\" 2>&1");
        EXPECT_EQ(r.out, "420|420|2014-03-05 09:41:17|420|0\n") << locale;
    }
}

TEST_F(TableTools, GdalTakesTheTimeAsADateTime) {
    if (!Installed("command -v ogrinfo")) GTEST_SKIP() << "GDAL is not installed";
    const std::string csv = TableIn("de_DE.UTF-8");
    const CliRun r = RunShell("LC_ALL=de_DE.UTF-8 ogrinfo -ro -so -oo AUTODETECT_TYPE=YES " + csv + " " +
                              fs::path(csv).stem().string() + " 2>&1");
    EXPECT_NE(r.out.find("Feature Count: 420"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\ntime: DateTime"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nOILP_1 [bar]: Real"), std::string::npos) << r.out;
}
