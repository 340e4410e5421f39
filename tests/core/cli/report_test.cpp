// krelby-cli report: the flight report of the bundled sample holds every figure the CLI prints
// of it (its logbook row, exceedances and analysis), its fonts are embedded and its paper is
// the one asked; a flight without engine or GPS data says so. Needs poppler's tools.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "support/cli_run.h"
#include "support/export_fixture.h"

using namespace krelby;
using namespace krelby::exporttest;
using krelby::testing::CliRun;

namespace {

CliRun Cli(const std::string& args) { return krelby::testing::RunCliApart(args, "LC_ALL=C"); }
CliRun Shell(const std::string& line) { return krelby::testing::RunShell(line + " 2>&1"); }

bool HavePoppler() { return Shell("pdftotext -v && pdffonts -v && pdfinfo -v").status == 0; }

std::vector<std::string> Split(const std::string& line, char by) {
    std::vector<std::string> parts;
    std::stringstream in(line);
    for (std::string part; std::getline(in, part, by);) parts.push_back(part);
    if (!line.empty() && line.back() == by) parts.emplace_back();
    return parts;
}

std::string Clock(const std::string& iso) { return iso.substr(11); }
std::string Hms(long s) {
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    return text;
}
std::string Duration(long s) {
    if (s < 60) return std::to_string(s) + " s";
    if (s < 3600) return std::to_string(s / 60) + " min " + std::to_string(s % 60) + " s";
    return std::to_string(s / 3600) + " h " + std::to_string(s / 60 % 60) + " min " + std::to_string(s % 60) + " s";
}
// Bar as the MAP unit (mbar) shows it, and a bar figure to the Options' 2 decimals.
std::string Decimals(double v, int d) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", d, v);
    return text;
}

struct ReportCliTest : ExportTest {
    std::string flight, text;
    void SetUp() override {
        ExportTest::SetUp();
        if (Cli("").err.find("report FLIGHT") == std::string::npos) GTEST_SKIP() << "built without the chart";
        if (!HavePoppler()) GTEST_SKIP() << "pdftotext, pdffonts or pdfinfo missing (poppler-utils)";
        ASSERT_EQ(Cli("import " KRELBY_SOURCE_DIR "/samples/ZelvoBB.DAT -q --folder " + folder.path()).status, 0);
        std::string ini = "[Units]\r\nSpeed=2\r\n[Limits]\r\nRpmMax=2650\r\nOilPressureMin=2.72\r\nOilTempMax=80\r\n"
                          "ChtMax=180\r\nEgtMax=735\r\nEgtSpreadMax=30\r\n";
        for (const char* monitor : {"[ZEDA1]\r\n", "[ZEDA2]\r\n"}) {
            ini += monitor;
            for (int i = 0; i < 12; ++i) ini += "TC" + std::to_string(i) + "=" + std::to_string(i / 4) + "\r\n";
        }
        WriteFile(folder / "Krelby.INI", ini);
        flight = folder / "Flights_INT/5-3-14 094117.FLT";
    }
    std::string Report(const std::string& options, const std::string& out) {
        const CliRun r = Cli("report '" + flight + "' -o " + out + " --folder " + folder.path() + " " + options);
        EXPECT_EQ(r.status, 0) << r.err;
        return Shell("pdftotext '" + out + "' -").out;
    }
};

}  // namespace

TEST_F(ReportCliTest, HoldsEveryFigureTheCliPrints) {
    const std::string pdf = folder / "report.pdf";
    const std::string text = std::regex_replace(Report("", pdf), std::regex("\\s+"), " ");
    std::vector<std::string> expected;
    // The logbook's row: times, durations, and each figure in the units chosen (kt, nm, mbar).
    const std::vector<std::string> listing = Split(Cli("flights --folder " + folder.path()).out, '\n');
    const std::vector<std::string> names = Split(listing.at(0), ',');
    for (const std::string& line : listing)
        if (line.find("094117") != std::string::npos) {
            const std::vector<std::string> values = Split(line, ',');
            for (size_t i = 2; i < names.size(); ++i) {
                const std::string& n = names[i], &v = values.at(i);
                if (v.empty()) continue;
                if (v.find('T') != std::string::npos) expected.push_back(v.substr(0, 10) + " " + Clock(v));
                else if (n.ends_with("_s")) expected.push_back(Hms(std::stol(v)));
                else if (n.starts_with("to_map_max_bar")) expected.push_back(Decimals(std::stod(v) * 1000, 1));
                else if (n == "exceedances") expected.push_back(v + " exceedances");
                else expected.push_back(v);
            }
        }
    // Each exceedance as the pane words it.
    const std::vector<std::string> runs = Split(Cli("exceedances '" + flight + "' --folder " + folder.path()).out, '\n');
    for (size_t i = 1; i < runs.size(); ++i) {
        if (runs[i].empty()) continue;
        const std::vector<std::string> f = Split(runs[i], ',');  // item,kind,limit,start,end,duration_s,peak
        const std::string unit = f[0].starts_with("RPM") ? "rpm" : f[0].starts_with("OILP") ? "bar" : "°C";
        const std::string peak = unit == "bar" ? Decimals(std::stod(f[6]), 2) : f[6];
        expected.push_back(f[0] + (f[1] == "max" ? " above " : " below ") + f[2] + " " + unit + " for " +
                           Duration(std::stol(f[5])) + ", peak " + peak + " " + unit + ", " + Clock(f[3]));
    }
    // The analysis: takeoff maxima, each input's, each cooling rate.
    const std::string json = Cli("analysis '" + flight + "' --folder " + folder.path()).out;
    const std::regex figure("\"(rpm_max|ff_max_lph|value|rate_c_min|map_max_bar|time|window_start|window_end)\": "
                            "\"?([-0-9.T:]+)\"?");
    for (auto it = std::sregex_iterator(json.begin(), json.end(), figure); it != std::sregex_iterator(); ++it) {
        const std::string key = (*it)[1], v = (*it)[2];
        if (key == "map_max_bar") expected.push_back(Decimals(std::stod(v) * 1000, 1));
        else if (key == "time" || key.starts_with("window")) expected.push_back(Clock(v));
        else expected.push_back(v);
    }
    ASSERT_GT(expected.size(), 60u);
    for (const std::string& e : expected) EXPECT_NE(text.find(e), std::string::npos) << "missing: " << e;

    // Fonts embedded, the locale's paper (A4 in the C locale) or the one asked.
    const std::string fonts = Shell("pdffonts '" + pdf + "'").out;
    EXPECT_NE(fonts.find("TrueType"), std::string::npos) << fonts;
    for (const std::string& line : Split(fonts, '\n'))
        if (line.find("TrueType") != std::string::npos || line.find("Type 1") != std::string::npos) {
            EXPECT_NE(line.find(" yes "), std::string::npos) << line;
        }
    EXPECT_NE(Shell("pdfinfo '" + pdf + "'").out.find("595 x 842 pts (A4)"), std::string::npos);
    Report("--paper letter", pdf);
    EXPECT_NE(Shell("pdfinfo '" + pdf + "'").out.find("612 x 792 pts (letter)"), std::string::npos);
}

TEST_F(ReportCliTest, ShorterReportSaysWhatTheFlightLacksAndOutputsAreGuarded) {
    WriteFile(folder / "Krelby.INI", "");
    const std::string bare = Flight({FlightAt(0, 0, 1000).Sealed(), FlightAt(0, 1, 1500).Sealed()});
    flight = bare;
    const std::string text = Report("", folder / "bare.pdf");
    for (const char* said : {"No engine data in this flight.", "No GPS positions in this flight.", "No limits set."})
        EXPECT_NE(text.find(said), std::string::npos) << said << "\n" << text;
    EXPECT_NE(Shell("pdfinfo '" + (folder / "bare.pdf") + "'").out.find("Pages:           1\n"), std::string::npos);

    const CliRun piped = Cli("report '" + bare + "' -o - --folder " + folder.path());
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out.substr(0, 5), "%PDF-");
    struct Case {
        std::string flight, out, said;
    };
    WriteFile(folder / "empty.FLT", "");
    for (const Case& c : {Case{folder / "empty.FLT", folder / "e.pdf", "No flight data in "},
                          Case{bare, bare, "Cannot create file"}, Case{bare, folder / "Flights_INT", "Cannot create"}}) {
        const std::string before = ReadFile(bare);
        const CliRun r = Cli("report '" + c.flight + "' -o '" + c.out + "' --folder " + folder.path());
        EXPECT_EQ(r.status, 1) << c.out;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        EXPECT_EQ(ReadFile(bare), before);
    }
    EXPECT_EQ(Cli("report '" + bare + "' -o x.pdf --paper a5 --folder " + folder.path()).status, 2);
    // Several flights: a report each, named after it.
    const CliRun batch = Cli("report '" + bare + "' '" + (folder / "Flights_INT/5-3-14 094117.FLT") + "' -d " + (folder / "out") + " --folder " + folder.path());
    EXPECT_EQ(batch.status, 0) << batch.err;
    for (const char* name : {"out/240314.pdf", "out/5-3-14 094117.pdf"})
        EXPECT_EQ(ReadFile(folder / name).substr(0, 5), "%PDF-") << name;
}
