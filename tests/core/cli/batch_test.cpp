// krelby-cli over several flights (FLIGHT..., --all-flights, -d DIR), flights named by their
// bare file names, outputs that are devices or pipes, and the JSON of flights and exceedances.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "support/cli_run.h"
#include "support/temp_folder.h"

using namespace krelby::testing;
namespace fs = std::filesystem;

namespace {

// A program folder with the internal sample imported (three flights), run in from `folder`.
struct BatchCli : ::testing::Test {
    TempFolder folder;
    std::vector<std::string> flights;  // Flights_INT/NAME, sorted
    void SetUp() override {
        ASSERT_EQ(Run("import " KRELBY_SOURCE_DIR "/samples/ZelvoBB.DAT -q --folder f").status, 0);
        for (const auto& e : fs::directory_iterator(folder / "f/Flights_INT"))
            flights.push_back("f/Flights_INT/" + e.path().filename().string());
        std::sort(flights.begin(), flights.end());
        ASSERT_EQ(flights.size(), 3u);
    }
    CliRun Run(const std::string& args, const std::string& locale = "C") {
        return RunCliApart(args, "cd '" + folder.path() + "' && LC_ALL=" + locale);
    }
    static std::string Q(const std::string& s) { return "'" + s + "'"; }
    static std::string Stem(const std::string& f) { return fs::path(f).stem().string(); }
};

}  // namespace

// One file per flight, named after it, the same bytes as the command of that flight alone;
// a flight that fails is said and passed over, the others written, and the exit code is 1.
TEST_F(BatchCli, SeveralFlightsEachToItsFileABadOneSaidAndPassedOver) {
    WriteFile(folder / "notes.FLT", "no flight here\n");
    WriteFile(folder / "f/Krelby.INI", "[Limits]\r\nEgtMax=700\r\n");
    const struct {
        std::string command, suffix;
    } cases[] = {{"csv", ".CSV"},         {"kml", ".KML"},
                 {"gpx", ".gpx"},         {"table --all", ".table.csv"},
                 {"table --format jsonl", ".table.jsonl"},
                 {"exceedances", ".exceedances.csv"}, {"exceedances --format json", ".exceedances.json"},
                 {"analysis", ".analysis.json"}};
    for (const auto& c : cases) {
        const std::string dir = "out/" + std::to_string(&c - cases);
        const CliRun r = Run(c.command + " " + Q(flights[0]) + " notes.FLT " + Q(flights[2]) + " -d " + dir + " --folder f");
        EXPECT_EQ(r.status, 1) << c.command << ": " << r.err;
        EXPECT_EQ(r.err, "krelby-cli: No flight data in notes.FLT\n") << c.command;
        EXPECT_EQ(r.out, "2 files written to " + dir + "; 1 flight failed\n") << c.command;
        for (const std::string& f : {flights[0], flights[2]}) {
            const std::string alone = Run(c.command + " " + Q(f) + " -o - --folder f").out;
            EXPECT_FALSE(alone.empty()) << c.command;
            EXPECT_TRUE(ReadFile(folder / (dir + "/" + Stem(f) + c.suffix)) == alone) << c.command << " " << f;
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(folder / dir), fs::directory_iterator()), 2) << c.command;
    }
    // A mistake in the command line ends the run before anything is written.
    const CliRun wrong = Run("table " + Q(flights[0]) + " " + Q(flights[1]) + " --items NOPE -d bad --folder f");
    EXPECT_EQ(wrong.status, 2);
    EXPECT_TRUE(!fs::exists(folder / "bad") || fs::is_empty(folder / "bad"));
}

// Every flight of both flight folders, copies once; to Exports without -d; names taken
// earlier in the run get " (2)"; a progress line on a terminal only.
TEST_F(BatchCli, AllFlightsOnceEachWithNamesOfTheirOwn) {
    ASSERT_EQ(Run("import --sd " KRELBY_SOURCE_DIR "/samples/Zelvo.REC -q --folder f").status, 0);
    CliRun r = Run("kml --all-flights --folder f");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "3 files written to f/Exports\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "f/Exports"), fs::directory_iterator()), 3);

    const std::string sd = "f/Flights_SD/" + Stem(flights[1]) + ".FLT";
    r = Run("gpx " + Q(flights[1]) + " " + Q(sd) + " -d g -q --folder f");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(fs::exists(folder / ("g/" + Stem(flights[1]) + ".gpx")));
    EXPECT_TRUE(fs::exists(folder / ("g/" + Stem(flights[1]) + " (2).gpx")));

    if (std::system("command -v script > /dev/null") == 0) {
        r = RunShell("cd '" + folder.path() + "' && script -qec '" KRELBY_CLI " csv --all-flights -d c --folder f' /dev/null");
        EXPECT_NE(r.out.find("\rcsv 1 of 3: "), std::string::npos) << r.out;
        EXPECT_NE(r.out.find(" \r3 files written to c"), std::string::npos) << r.out;
    }
}

// A bare file name is looked for in Flights_INT, then Flights_SD; a path is never.
TEST_F(BatchCli, BareNamesAreFoundInTheFlightFolders) {
    const std::string name = fs::path(flights[0]).filename().string();
    const std::string byPath = Run("csv " + Q(flights[0]) + " -o - --folder f").out;
    ASSERT_FALSE(byPath.empty());
    fs::create_directory(folder / "elsewhere");
    const CliRun bare = RunCliApart("csv " + Q(name) + " -o - --folder ../f", "cd '" + (folder / "elsewhere") + "' && LC_ALL=C");
    EXPECT_EQ(bare.status, 0) << bare.err;
    EXPECT_TRUE(bare.out == byPath);

    fs::rename(folder / flights[2], folder / "f/Flights_SD/only-sd.FLT");
    EXPECT_EQ(Run("table only-sd.FLT --folder f").status, 0);
    EXPECT_EQ(Run("table ./" + Q(name) + " --folder f").err,
              "krelby-cli: Cannot open flight file ./" + name + ": No such file or directory\n");
    EXPECT_EQ(Run("analysis nowhere.FLT --folder f").err,
              "krelby-cli: Cannot open flight file nowhere.FLT: No such file or directory\n");
}

// /dev/null, /dev/stdout, a FIFO and a shell's >(...) are written as they are; a regular
// file is replaced by a whole new one, never written into.
TEST_F(BatchCli, DevicesAndPipesAreWrittenAsTheyAre) {
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
    for (const std::string command : {"csv", "kml", "table --all", "exceedances", "analysis"}) {
        const std::string args = command + " " + Q(flights[0]) + " --folder f";
        const std::string ref = Run(args + " -o -").out;
        ASSERT_FALSE(ref.empty()) << command;
        EXPECT_EQ(Run(args + " -o /dev/null").status, 0) << command;
        EXPECT_TRUE(Run(args + " -o /dev/stdout").out == ref) << command;
        const CliRun fifo = RunShell("cd '" + folder.path() + "' && { cat fifo > from-fifo & " KRELBY_CLI " " + args +
                                     " -o fifo; wait; }");
        EXPECT_EQ(fifo.status, 0) << command << fifo.out;
        EXPECT_TRUE(ReadFile(folder / "from-fifo") == ref) << command;
        const CliRun sub = RunShell("cd '" + folder.path() + "' && bash -c '" KRELBY_CLI " " + command + " \"" +
                                    flights[0] + "\" --folder f -o >(cat > from-sub); sleep 0.2'");
        EXPECT_EQ(sub.status, 0) << command << sub.out;
        EXPECT_TRUE(ReadFile(folder / "from-sub") == ref) << command;

        WriteFile(folder / "old", "kept by its hard link");
        fs::create_hard_link(folder / "old", folder / "link");
        EXPECT_EQ(Run(args + " -o old").status, 0) << command;
        EXPECT_TRUE(ReadFile(folder / "old") == ref) << command;
        EXPECT_EQ(ReadFile(folder / "link"), "kept by its hard link") << command;
        fs::remove(folder / "link");
    }
    // Never over the flight read, even one whose first bytes are no Frame.
    WriteFile(folder / "own.FLT", "junk" + ReadFile(folder / flights[0]));
    const std::string own = ReadFile(folder / "own.FLT");
    for (const char* command : {"exceedances", "analysis", "table"}) {
        const CliRun r = Run(std::string(command) + " own.FLT -o own.FLT --folder f");
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_EQ(r.err.rfind("krelby-cli: Cannot create file own.FLT: ", 0), 0u) << command << ": " << r.err;
    }
    EXPECT_TRUE(ReadFile(folder / "own.FLT") == own);
    struct stat st {};
    ASSERT_EQ(stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

// --format json: arrays of objects under the CSV's names, numbers as numbers, empty as null.
TEST_F(BatchCli, FlightsAndExceedancesAsJson) {
    const CliRun csv = Run("flights --folder f"), json = Run("flights --folder f --format json", "de_DE.UTF-8");
    ASSERT_EQ(json.status, 0) << json.err;
    const auto doc = nlohmann::ordered_json::parse(json.out);
    ASSERT_EQ(doc.size(), 3u);
    const std::string header = csv.out.substr(0, csv.out.find('\n'));
    std::string keys;
    for (const auto& [key, value] : doc[0].items()) keys += (keys.empty() ? "" : ",") + key;
    EXPECT_EQ(keys, header);
    EXPECT_EQ(doc[0]["file"], flights[0].substr(2));
    EXPECT_TRUE(doc[0]["copies"].is_number_integer());
    EXPECT_TRUE(doc[0]["distance_nm"].is_number_float());
    EXPECT_TRUE(doc[0]["rpm_max_4"].is_null());
    EXPECT_TRUE(doc[0]["start"].is_string());

    WriteFile(folder / "f/Krelby.INI", "[Limits]\r\nEgtMax=700.5\r\nOilPressureMin=2.72\r\n");
    const CliRun rows = Run("exceedances " + Q(flights[0]) + " --folder f");
    const auto list = nlohmann::json::parse(Run("exceedances " + Q(flights[0]) + " --folder f --format json").out);
    ASSERT_GT(list.size(), 0u);
    EXPECT_EQ(list.size() + 1, static_cast<size_t>(std::count(rows.out.begin(), rows.out.end(), '\n')));
    const std::string first = rows.out.substr(rows.out.find('\n') + 1);
    EXPECT_EQ(list[0]["item"].get<std::string>() + "," + list[0]["limit_kind"].get<std::string>(),
              first.substr(0, first.find(',', first.find(',') + 1)));
    EXPECT_TRUE(list[0]["limit"].is_number());
    EXPECT_TRUE(list[0]["duration_s"].is_number_integer());
}
