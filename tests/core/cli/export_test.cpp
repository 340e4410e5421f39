#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/cli_run.h"
#include "support/export_fixture.h"
#include "settings/settings_file.h"

using namespace krelby;
using namespace krelby::exporttest;

namespace {

using krelby::testing::CliRun;
CliRun Cli(const std::string& args) { return krelby::testing::RunCli(args); }

struct ExportCliTest : ExportTest {
    std::string ini;
    std::string flight;
    void SetUp() override {
        ExportTest::SetUp();
        Settings s;
        s.selection.Set(1, true);
        s.units.Altitude = 1;  // metres
        s.kml.LineOpacity = 2;
        s.kml.PolyOpacity = 2;
        SaveSettings(folder / "Krelby.INI", s, "");
        ini = ReadFile(folder / "Krelby.INI");
        flight = Flight({FlightAt(0, 0, 1000).Sealed(), GpsAt(-4860000, 27000000, 1000).Sealed()}, "f.FLT");
    }
};

}  // namespace

TEST_F(ExportCliTest, CsvUnderTheFolderSettings) {
    CliRun r = Cli("csv " + flight + " --folder " + folder.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "f.CSV created in " + folder.path() + "Exports/\n");
    EXPECT_EQ(ReadFile(folder / "Exports/f.CSV"), "TimeStamp,PAltitude\r\n2024/03/14 10:00:00 ,305\r\n");

    r = Cli("csv " + flight + " --folder " + folder.path() + " -o " + (folder / "mine.csv"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "mine.csv created in " + folder.path() + "\n");
    EXPECT_EQ(ReadFile(folder / "mine.csv"), ReadFile(folder / "Exports/f.CSV"));
    EXPECT_EQ(ReadFile(folder / "Krelby.INI"), ini);
}

// Named after the flight's start, the time its file is named after.
TEST_F(ExportCliTest, KmlNamedByTheStartLeavesTheSettingsFileAlone) {
    flight = Flight({FlightAt(0, 0, 1000).Sealed(), GpsAt(-4860000, 27000000, 1000).Sealed(), FlightAt(0, 9).Sealed()},
                    "f.FLT");
    const CliRun r = Cli("kml " + flight + " -o " + (folder / "t.KML") + " --folder " + folder.path());
    EXPECT_EQ(r.status, 0) << r.out;
    const std::string doc = ReadFile(folder / "t.KML");
    EXPECT_NE(doc.find("  <name>2024/03/14 10:00:00</name>\r\n"), std::string::npos) << doc;
    EXPECT_NE(doc.find("      <color>ff00ffff</color>\r\n"), std::string::npos);
    EXPECT_NE(doc.find("  <coordinates>\r\n  150,-27,304.800919279573\r\n  </coordinates>"), std::string::npos);
    EXPECT_EQ(ReadFile(folder / "Krelby.INI"), ini);
}

TEST_F(ExportCliTest, ErrorsGoToStderrWithExitOne) {
    const struct {
        std::string args;
        std::string says;
    } cases[] = {
        // Named, as every command names it.
        {"csv " + (folder / "gone.FLT") + " --folder " + folder.path(),
         "Cannot open flight file " + (folder / "gone.FLT") + ": No such file or directory\n"},
        {"kml " + (folder / "gone.FLT") + " -o " + (folder / "t.KML"), "Cannot open flight file"},
        {"csv " + flight + " -o " + (folder / "no/x.CSV"), "Cannot create file"},
    };
    for (const auto& c : cases) {
        const CliRun r = Cli(c.args);
        EXPECT_EQ(r.status, 1) << c.args;
        EXPECT_EQ(r.out.find("krelby-cli: " + c.says), 0u) << r.out;
    }
}

TEST_F(ExportCliTest, FileWithoutFlightDataIsRefusedAndNothingWritten) {
    WriteFile(folder / "notes.FLT", "Not a flight, only text.\r\n");
    WriteFile(folder / "empty.FLT", "");
    const bool jpeg = Cli("--help").out.find("  jpeg ") != std::string::npos;  // where the chart is built
    for (const char* name : {"notes.FLT", "empty.FLT"}) {
        for (const std::string command : {"csv", "kml", "gpx", "jpeg"}) {
            if (command == "jpeg" && !jpeg) continue;
            const std::string target = folder / (command + ".out");
            const CliRun r = Cli(command + " " + (folder / name) + " --folder " + folder.path() +
                                 (command == "csv" ? "" : " -o " + target));
            EXPECT_EQ(r.status, 1) << command << " " << name;
            EXPECT_EQ(r.out, "krelby-cli: No flight data in " + (folder / name) + "\n");
            EXPECT_FALSE(std::filesystem::exists(target)) << command;
        }
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder / "Exports"));
}

// No export writes over a flight: not through a link, a hard link or "..", not in a flight
// folder, not over any file that starts with a Frame; a loop of links is an error, and a link
// to any other file is written through, the link kept.
TEST_F(ExportCliTest, NoPathLeadsAnExportOverAFlight) {
    namespace fs = std::filesystem;
    fs::create_directories(folder / "Flights_INT");
    const std::string other = Flight({FlightAt(5, 0, 900).Sealed()}, "Flights_INT/B.FLT");
    const std::string bytes = ReadFile(other);
    fs::create_symlink(other, folder / "linkB");
    fs::create_hard_link(other, folder / "hardB");
    fs::copy_file(other, folder / "copy.dat");
    fs::create_symlink(folder / "loop2", folder / "loop1");
    fs::create_symlink(folder / "loop1", folder / "loop2");
    WriteFile(folder / "notes.txt", "mine");
    fs::create_symlink(folder / "notes.txt", folder / "linkNotes");
    const struct {
        std::string out, says;
    } cases[] = {
        {"linkB", "it lies among the flight files of Flights_INT"},
        {"hardB", "it holds flight data"},
        {"copy.dat", "it holds flight data"},
        {"Exports/../Flights_INT/new.csv", "it lies among the flight files of Flights_INT"},
        {"loop1", "its symbolic links lead round in a loop"},
    };
    for (const std::string command : {"csv", "kml", "gpx"})
        for (const auto& c : cases) {
            const CliRun r = Cli(command + " " + flight + " --folder " + folder.path() + " -o " + (folder / c.out));
            EXPECT_EQ(r.status, 1) << command << " " << c.out;
            EXPECT_EQ(r.out, "krelby-cli: Cannot create file " + (folder / c.out) + ": " + c.says + "\n") << command;
        }
    EXPECT_EQ(ReadFile(other), bytes);
    EXPECT_EQ(ReadFile(folder / "copy.dat"), bytes);
    EXPECT_TRUE(fs::is_symlink(folder / "linkB") && fs::is_symlink(folder / "loop1") && fs::is_symlink(folder / "loop2"));
    EXPECT_FALSE(fs::exists(folder / "Flights_INT/new.csv"));
    const CliRun r = Cli("csv " + flight + " --folder " + folder.path() + " -o " + (folder / "linkNotes"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(fs::is_symlink(folder / "linkNotes"));
    EXPECT_EQ(ReadFile(folder / "notes.txt").substr(0, 9), "TimeStamp");
}
