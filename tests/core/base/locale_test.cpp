// Outputs under the process locales the programs meet: the window runs with the locale of
// the environment (Qt sets it), krelby-cli takes the same regional separators.
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "base/regional.h"
#include "base/system.h"
#include "support/cli_run.h"
#include "export/gpx_export.h"
#include "export/kml_export.h"
#include "export/kml_file.h"
#include "support/export_fixture.h"
#include "logbook/columns.h"
#include "logbook/logbook.h"

using namespace krelby;
using namespace krelby::exporttest;
using krelby::testing::RunCli;

namespace {

const char* const kLocales[] = {"C", "de_DE.UTF-8", "ja_JP.UTF-8"};

// The process locale and LC_ALL set as the window has them under `name`; both put back after.
class ProcessLocale {
public:
    explicit ProcessLocale(const char* name) : saved_(std::setlocale(LC_ALL, nullptr)) {
        const char* env = std::getenv("LC_ALL");
        if (env) savedEnv_ = env;
        hadEnv_ = env != nullptr;
        setenv("LC_ALL", name, 1);
        ok_ = std::setlocale(LC_ALL, "") != nullptr;
    }
    ~ProcessLocale() {
        if (hadEnv_) setenv("LC_ALL", savedEnv_.c_str(), 1);
        else unsetenv("LC_ALL");
        std::setlocale(LC_ALL, saved_.c_str());
    }
    bool ok() const { return ok_; }

private:
    std::string saved_, savedEnv_;
    bool hadEnv_ = false, ok_ = false;
};

std::string Separators(const Regional& r) { return {r.dateSeparator, r.timeSeparator, r.decimalSeparator}; }

// What a shell command prints, stdout and stderr together.
std::string Shell(const std::string& command) { return krelby::testing::RunShell(command + " 2>&1").out; }

bool IsAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

}  // namespace

TEST(Regional, SeparatorsOfLocaleFormats) {
    const struct {
        const char* date;
        const char* time;
        std::string separators;  // date, time
    } cases[] = {
        {"%m/%d/%y", "%H:%M:%S", "/:"},          // C, en_US
        {"%d.%m.%Y", "%T", ".:"},                // de_DE
        {"%d.%m.%Y", "%H.%M.%S", ".."},          // fi_FI
        {"%Y-%m-%d", "%R", "-:"},                // sv_SE
        {"%d. %m. %Y", "%H:%M:%S", ".:"},        // sl_SI: spaces around the separator
        {"%Y年%m月%d日", "%H時%M分%S秒", "/:"},  // ja_JP: not ASCII
        {"%Y년 %m월 %d일", "%H시 %M분 %S초", "/:"},  // ko_KR
        {"%D", "%r", "/:"},                      // composite fields
        {"%-d--%m", "%OH%M", "/:"},              // two characters; no separator at all
        {"%Ey'%m", "%02H|%M", "'|"},             // modifiers and widths are part of the field
        {"", "%H", "/:"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::string({FormatSeparator(c.date, '/'), FormatSeparator(c.time, ':')}), c.separators) << c.date;
    EXPECT_EQ(SingleSeparator(",", '.'), ',');
    EXPECT_EQ(SingleSeparator("\xd9\xab", '.'), '.');  // the Arabic decimal separator
}

TEST(Regional, SystemSeparatorsArePlainAscii) {
    const std::string expected[] = {"/:.", ".:,", "/:."};
    for (size_t i = 0; i < std::size(kLocales); ++i) {
        ProcessLocale locale(kLocales[i]);
        if (!locale.ok()) GTEST_SKIP() << kLocales[i] << " is not installed (scripts/install-deps)";
        EXPECT_EQ(Separators(SystemRegional()), expected[i]) << kLocales[i];
    }
}

TEST(Xml, AnyNameBecomesWellFormedText) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"2024/03/14 10:00:07", "2024/03/14 10:00:07"},
        {"Zürich 東京 \xF0\x9F\x9B\xA9", "Zürich 東京 \xF0\x9F\x9B\xA9"},
        {"a&b<c>d\"e'f", "a&amp;b&lt;c&gt;d&quot;e'f"},
        {std::string("t\tl\nc\r\x01\x1f\x7f|\0|", 12), "t\tl\nc\r\x7f||"},
        {"\xff\xfe", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xC0\x80|\xED\xA0\x80|\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD|"
                                                  "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"x\xE6\x97", "x\xEF\xBF\xBD"},       // cut at the end
        {"\xE6\x97x", "\xEF\xBF\xBDx"},       // cut before a letter
        {"\xEF\xBF\xBE\xEF\xBF\xBF.", "."},  // not characters in XML
    };
    for (const auto& c : cases) EXPECT_EQ(XmlEscaped(c.in), c.out) << c.in;
}

struct LocaleExportTest : ExportTest {
    void SetUp() override {
        ExportTest::SetUp();
        Flight({GpsAt(8300001, 2600017, 1313).Sealed(), FlightAt(0, 0).Sealed(),
                GpsAt(-4860003, -27000001, -77).Sealed(), FlightAt(0, 7).Sealed(), GpsAt(1, 32399999, 40001).Sealed()},
               "f.FLT");
    }
    // The window's exports as it makes them: the process locale and the separators of `name`.
    std::string Window(const char* name, const char* format) {
        ProcessLocale locale(name);
        if (!locale.ok()) return {};
        session.regional = SystemRegional();
        const std::string out = folder / (std::string(name) + "." + format);
        std::string(format) == "gpx" ? session.Gpx(out) : session.Kml(out);
        return ReadFile(out);
    }
};

TEST_F(LocaleExportTest, TracksAreTheSameBytesInEveryLocale) {
    for (const char* format : {"gpx", "kml"}) {
        const std::string c = Window("C", format);
        ASSERT_NE(c.find("-27.0000"), std::string::npos) << c;
        for (const char* name : kLocales) {
            std::string window = Window(name, format);
            if (window.empty()) GTEST_SKIP() << name << " is not installed (scripts/install-deps)";
            const std::string cliOut = folder / (std::string("cli-") + name + "." + format);
            const auto run = RunCli(std::string(format) + " " + session.CurrentFlightFile + " -o " + cliOut + " --folder " +
                                        folder.path(), std::string("LC_ALL=") + name);
            EXPECT_EQ(run.status, 0) << run.out;
            // The window names a KML document after the end of the flight it shows, krelby-cli
            // after its start, as it names a GPX track; all else is the same bytes.
            std::string cli = ReadFile(cliOut);
            const bool dots = window.find("<name>2024.03.14") != std::string::npos;
            if (std::string(format) == "kml") {
                const size_t at = cli.find(dots ? "2024.03.14 10:00:00" : "2024/03/14 10:00:00");
                ASSERT_NE(at, std::string::npos) << cli;
                cli.replace(at + 17, 2, "07");
            }
            EXPECT_EQ(cli, window) << name << " " << format;
            // Only the name follows the regional date separator.
            const size_t at = window.find("<name>2024.03.14");
            if (at != std::string::npos) window.replace(at + 6, 10, "2024/03/14");
            EXPECT_EQ(window, c) << name << " " << format;
        }
    }
    for (const char* name : kLocales) {
        const auto series = RunCli("series " + session.CurrentFlightFile + " --folder " + folder.path(),
                                   std::string("LC_ALL=") + name);
        EXPECT_EQ(series.out, RunCli("series " + session.CurrentFlightFile + " --folder " + folder.path()).out) << name;
    }
}

TEST_F(LocaleExportTest, AnyFileNameMakesValidGpx) {
    Flight({GpsAt(8300001, 2600017, 1313).Sealed()}, std::string("a\x01" "b\xff" "c&<>.FLT"));
    session.Gpx(folder / "odd.gpx");
    const std::string doc = ReadFile(folder / "odd.gpx");
    EXPECT_NE(doc.find("<name>ab\xEF\xBF\xBD" "c&amp;&lt;&gt;</name>"), std::string::npos) << doc;
    const std::string lint = Shell("xmllint --noout --schema " KRELBY_SOURCE_DIR "/tests/data/gpx.xsd " + (folder / "odd.gpx"));
    if (lint.find("not found") == std::string::npos) {
        EXPECT_NE(lint.find("validates"), std::string::npos) << lint;
    }
}

TEST(LocaleImport, FlightNamesAreAsciiInEveryLocale) {
    std::set<std::string> first;
    for (const char* name : kLocales) {
        TempFolder folder;
        const auto run = RunCli("import " KRELBY_SOURCE_DIR "/samples/ZelvoBB.DAT --folder " + folder.path(),
                                std::string("LC_ALL=") + name);
        ASSERT_EQ(run.status, 0) << run.out;
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder / "Flights_INT")) {
            names.insert(e.path().filename().string());
            EXPECT_TRUE(IsAscii(e.path().filename().string())) << name << ": " << e.path();
        }
        if (first.empty()) first = names;
        // Japanese separators are not ASCII: the C locale's stand in for them.
        if (std::string(name) == "ja_JP.UTF-8") {
            EXPECT_EQ(names, first);
        }

    }
}

TEST(LocaleLogbook, CsvIsTheSameBytesInEveryLocale) {
    TempFolder folder;
    ASSERT_EQ(RunCli("import " KRELBY_SOURCE_DIR "/samples/ZelvoBB.DAT --folder " + folder.path()).status, 0);
    std::string first;
    for (const char* name : kLocales) {
        // The logbook as the window exports it, under the window's process locale.
        ProcessLocale locale(name);
        const std::string csv = LogbookCsv(ListFlights(folder.path(), ThermocoupleKinds{}));
        if (first.empty()) first = csv;
        EXPECT_EQ(csv, first) << name;
    }
    EXPECT_EQ(first.find(",\"" ), std::string::npos) << first;  // no quoted comma decimals
}
