// krelby-cli analysis: the first sample flight under chosen kinds and limits against a
// reference document, the same bytes in every locale; a generated flight's sweeps; the errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "gen/generator.h"
#include "support/cli_run.h"
#include "support/temp_folder.h"

using namespace krelby::testing;
namespace fs = std::filesystem;

namespace {

const std::string kReference = KRELBY_SOURCE_DIR "/tests/golden/samples_analysis.json";

// Inputs 1-4 EGT, 5-8 CHT, 9-12 Other on every monitor.
std::string Kinds() {
    std::string ini;
    for (int m = 1; m <= 4; ++m) {
        ini += "[ZEDA" + std::to_string(m) + "]\r\n";
        for (int i = 0; i < 12; ++i) ini += "TC" + std::to_string(i) + "=" + std::to_string(i / 4) + "\r\n";
    }
    return ini;
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(CliAnalysis, SampleMatchesTheReferenceInEveryLocale) {
    TempFolder folder;
    ASSERT_EQ(RunCli("import " KRELBY_SOURCE_DIR "/samples/ZelvoBB.DAT -q --folder " + folder.path()).status, 0);
    std::vector<std::string> flights;
    for (const auto& e : fs::directory_iterator(folder / "Flights_INT")) flights.push_back(e.path().filename().string());
    std::sort(flights.begin(), flights.end());
    ASSERT_EQ(flights.size(), 3u);
    // Run from the folder so that the document names the flight the same way every time.
    const auto analysis = [&](const std::string& locale) {
        return RunCliApart("analysis 'Flights_INT/" + flights[0] + "' --folder .", "cd '" + folder.path() + "' && " + locale);
    };
    WriteFile(folder / "Krelby.INI", Kinds() + "[Limits]\r\nChtMax=170\r\nEgtMax=735\r\nOilPressureMin=2.72\r\n");
    const CliRun got = analysis("LC_ALL=C");
    ASSERT_EQ(got.status, 0) << got.err;
    if (std::getenv("KRELBY_UPDATE_GOLDEN")) WriteFile(kReference, got.out);
    EXPECT_EQ(got.out, ReadFile(kReference));
    EXPECT_EQ(analysis("LC_ALL=de_DE.UTF-8").out, got.out);

    // Every input an EGT and no limits: the warning, and no exceedances at all.
    WriteFile(folder / "Krelby.INI", "");
    const CliRun plain = analysis("LC_ALL=C");
    EXPECT_NE(plain.out.find("\"Inputs 5\u201312 of monitor 1 never read above 200 \u00b0C: set their kinds in Options\""),
              std::string::npos) << plain.out;
    EXPECT_NE(plain.out.find("\"exceedances\": null"), std::string::npos);
}

TEST(CliAnalysis, GeneratedSweepsOnTwoMonitors) {
    TempFolder folder;
    krelby::gen::RecordingOptions o;
    o.flights = 1;
    o.secondsPerFlight = 1800;
    o.engineMonitors = 2;
    o.sweepMonitors = 2;
    o.egtNoise = 3;
    WriteFile(folder / "sweep.FLT", krelby::gen::FrameStream(o));
    WriteFile(folder / "Krelby.INI", Kinds());
    const CliRun r = RunCliApart("analysis " + (folder / "sweep.FLT") + " --folder " + folder.path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Count(r.out, "\"ff_rich_lph\""), 2u);
    EXPECT_EQ(Count(r.out, "\"peaked\": true"), 8u);
    EXPECT_EQ(Count(r.out, "\"spread_unit\": \"l/h\""), 2u);
}

TEST(CliAnalysis, FilesWithoutFlightDataFail) {
    TempFolder folder;
    const CliRun missing = RunCliApart("analysis " + (folder / "none.FLT") + " --folder " + folder.path());
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("krelby-cli: Cannot open flight file "), std::string::npos) << missing.err;
    WriteFile(folder / "empty.FLT", "");
    const CliRun empty = RunCliApart("analysis " + (folder / "empty.FLT") + " --folder " + folder.path());
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.out, "");
    EXPECT_NE(empty.err.find("No flight data in "), std::string::npos) << empty.err;
}
