// The logbook: each figure's rule on small flights, the cache's rules, and the CSV.
#include <gtest/gtest.h>

#include <charconv>
#include <filesystem>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "base/error.h"
#include "gen/generator.h"
#include "support/cli_run.h"
#include "support/messages.h"
#include "support/temp_folder.h"
#include "logbook/analysis_json.h"
#include "logbook/columns.h"
#include "logbook/logbook.h"
#include "settings/settings_file.h"

using namespace krelby;
using namespace krelby::testing;
namespace fs = std::filesystem;

namespace {

// A FlightMessage `s` seconds after 10:00:00 on 14 March 2024.
Frame Fm(int s, uint16_t asi = 0, int32_t palt = 0, int16_t vsi = 0) {
    return FlightFrame().PAltitude(palt).ASI(asi).VSI(vsi).ClockAt(36000 + s).Date(14, 3, 24).Sealed();
}
Frame Gps(double lat, double lon, uint16_t gs = 0) {
    return GpsFrame().Position(lat, lon).Groundspeed(gs).Sealed();
}
Frame Engine(int monitor, uint16_t rpm, uint16_t oilp, std::vector<int16_t> tcs, uint8_t L = 56) {
    EngineFrame b = EngineOf(monitor, L).Rpm(rpm).OilPressure(oilp).OilTemp(90);
    for (size_t n = 0; n < tcs.size(); ++n) b.TC(int(n) + 1, tcs[n]);
    return b.Sealed();
}
Frame Fuel(std::vector<int32_t> levels, uint8_t L = 124) {
    FuelFrame b(L);
    b.Count(int32_t(levels.size()));
    for (size_t k = 0; k < levels.size(); ++k) b.Level(int(k) + 1, levels[k]);
    return b.Sealed();
}

// The CSV fields of a summary by column name.
std::map<std::string, std::string> Fields(const FlightSummary& s) {
    std::map<std::string, std::string> out;
    for (const auto& c : LogbookColumns()) out[std::string(c.name)] = LogbookText(c, s);
    return out;
}

// Runs `sql` on the SQLite database `path`; the connection stays open while `keep` holds it.
bool Sql(const std::string& path, const std::string& sql, sqlite3** keep = nullptr) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
              sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    if (keep) *keep = db;
    else sqlite3_close(db);
    return ok;
}

struct Logbook : ::testing::Test {
    TempFolder folder;
    ThermocoupleKinds kinds{};
    void SetUp() override {
        fs::create_directory(folder / "Flights_INT");
        fs::create_directory(folder / "Flights_SD");
    }
    std::map<std::string, std::string> Summary(const std::vector<Frame>& frames) {
        WriteFrames(folder / "Flights_INT/t.FLT", frames);
        return Fields(SummarizeFlight(folder / "Flights_INT/t.FLT", kinds));
    }
};

}  // namespace

TEST_F(Logbook, TimesAndAirborneTimeFollowTheThresholdAndTheGap) {
    auto f = Summary({Fm(0, 100), Fm(10, 555), Fm(20, 556, 3000, 500), Fm(80, 700, 0, -700), Fm(141, 556),
                      Fm(150, 0), FlightFrame().Day(0).Sealed(), Fm(200, 0)});
    EXPECT_EQ(f["start"], "2024-03-14T10:00:00");
    EXPECT_EQ(f["end"], "2024-03-14T10:03:20");
    EXPECT_EQ(f["duration_s"], "200");
    EXPECT_EQ(f["takeoff"], "2024-03-14T10:00:20");  // 556 counts, 555 does not
    EXPECT_EQ(f["landing"], "2024-03-14T10:02:21");
    EXPECT_EQ(f["airborne_s"], "69");  // 60 s gap summed, 61 s gap not, then 9 s
    EXPECT_EQ(f["max_palt_ft"], "3000");
    EXPECT_EQ(f["max_ias_kt"], "37.8");
    EXPECT_EQ(f["max_vsi_fpm"], "500");
    EXPECT_EQ(f["min_vsi_fpm"], "-700");
    EXPECT_EQ(f["max_g"], "");  // no AttitudeMessage

    EXPECT_EQ(f["distance_nm"], "");  // no position: no distance, not 0.0

    // The clock steps back 40 s at the end: the flight ends at the latest time it reached.
    f = Summary({Fm(0), Fm(100), Fm(60)});
    EXPECT_EQ(f["end"], "2024-03-14T10:01:40");
    EXPECT_EQ(f["duration_s"], "100");
    f = Summary({Fm(100), Fm(60)});
    EXPECT_EQ(f["duration_s"], "0");

    f = Summary({Gps(1, 1)});  // no FlightMessage: no times, the rest still given
    EXPECT_EQ(f["start"], "");
    EXPECT_EQ(f["airborne_s"], "");
    EXPECT_EQ(f["distance_nm"], "0.0");  // one position: a known distance of nothing
}

TEST_F(Logbook, DistanceSkipsMessagesWithoutAPosition) {
    // One degree of latitude is 60.04 nm on this sphere; 0/0 and off-globe positions are not joined.
    auto f = Summary({Gps(10, 20, 1852), Gps(0, 0), Gps(95, 20), Gps(10.5, 20), Gps(11, 20), Gps(10, 181)});
    EXPECT_EQ(f["distance_nm"], "60.0");
    EXPECT_EQ(f["max_gs_kt"], "100.0");
    EXPECT_EQ(Summary({Gps(0, 10), Gps(90, 10)})["distance_nm"], "5403.6");  // the Earth's radius
}

TEST_F(Logbook, EngineAndFuelFigures) {
    kinds[1] = CHT;  // monitor 1, input 2
    auto f = Summary({Engine(1, 499, 10000, {700, 400, 650}), Engine(1, 500, 25000, {720, 410, 0}),
                            Engine(1, 2500, 30000, {680, 420, 600}), Engine(2, 2400, 30000, {690}),
                            EngineOf(3, 0).Rpm(2400).Sealed(),  // short
                            Fuel({500, 400}), Fuel({200, 200, 200}, 12), Fuel({450, 300})});
    EXPECT_EQ(f["rpm_max_1"], "2500");
    EXPECT_EQ(f["oilt_max_c_1"], "90");
    EXPECT_EQ(f["oilp_min_bar_1"], "2.50");  // 1.00 bar at 499 rpm does not count
    EXPECT_EQ(f["cht_max_c_1"], "420");
    EXPECT_EQ(f["egt_max_c_1"], "720");
    EXPECT_EQ(f["egt_spread_max_c_1"], "80");  // 720 alone above 0 °C gives no spread
    EXPECT_EQ(f["egt_spread_max_c_2"], "");    // one EGT input
    EXPECT_EQ(f["egt_max_c_2"], "690");
    EXPECT_EQ(f["rpm_max_3"], "2400");
    EXPECT_EQ(f["oilt_max_c_3"], "");  // absent from the short Frame
    EXPECT_EQ(f["oilp_min_bar_3"], "");
    EXPECT_EQ(f["rpm_max_4"], "");
    EXPECT_EQ(f["fuel_used_l"], "15.0");  // the short FuelMessage is passed over
}

TEST_F(Logbook, CacheRecomputesOnlyWhatChangedAndSurvivesDamage) {
    const std::string a = folder / "Flights_INT/a.FLT";
    WriteFrames(a, {Fm(0, 600), Fm(30, 600)});
    WriteFrames(folder / "Flights_SD/b, \"x\".FLT", {Fm(-3600)});
    WriteFrames(folder / "Flights_INT/none.FLT", {Gps(1, 1)});
    auto list = [&] { return LogbookCsv(ListFlights(folder.path(), kinds)); };
    const std::string first = list();
    EXPECT_EQ(first.find("\n\"Flights_SD/b, \"\"x\"\".FLT\",1,2024-03-14T09:00:00,"), first.find('\n'));
    EXPECT_NE(first.find("\nFlights_INT/none.FLT,1,,,,,,,0.0,"), std::string::npos);  // no start: last
    EXPECT_NE(first.find("a.FLT,1,2024-03-14T10:00:00,2024-03-14T10:00:30,30"), std::string::npos);

    // A rewrite of the same size with its time put back is seen all the same.
    const auto time = fs::last_write_time(a);
    WriteFrames(a, {Fm(0, 600), Fm(40, 600)});
    fs::last_write_time(a, time);
    EXPECT_NE(list().find("a.FLT,1,2024-03-14T10:00:00,2024-03-14T10:00:40,40"), std::string::npos);
    WriteFrames(a, {Fm(0, 600), Fm(45, 600), Fm(46, 600)});  // a new size
    fs::last_write_time(a, time + std::chrono::seconds(5));
    EXPECT_NE(list().find("a.FLT,1,2024-03-14T10:00:00,2024-03-14T10:00:46,46"), std::string::npos);
    fs::remove(folder / "Flights_INT/none.FLT");
    EXPECT_EQ(list().find("none.FLT"), std::string::npos);

}

TEST_F(Logbook, SwappedFlightsOfOneSizeAndTimeListTheirOwnFigures) {
    const std::string a = folder / "Flights_INT/a.FLT", b = folder / "Flights_INT/b.FLT";
    WriteFrames(a, {Fm(0), Fm(10)});
    WriteFrames(b, {Fm(0), Fm(20)});
    fs::last_write_time(b, fs::last_write_time(a));
    ListFlights(folder.path(), kinds);
    fs::rename(a, folder / "x");
    fs::rename(b, a);
    fs::rename(folder / "x", b);
    const std::string csv = LogbookCsv(ListFlights(folder.path(), kinds));
    EXPECT_NE(csv.find("a.FLT,1,2024-03-14T10:00:00,2024-03-14T10:00:20,20,"), std::string::npos) << csv;
    EXPECT_NE(csv.find("b.FLT,1,2024-03-14T10:00:00,2024-03-14T10:00:10,10,"), std::string::npos) << csv;
}

// A file of the database's name that another program made is neither used nor touched.
TEST_F(Logbook, AnotherFileNamedLikeTheDatabaseKeepsItsBytes) {
    WriteFrames(folder / "Flights_INT/a.FLT", {Fm(0), Fm(10)});
    const std::string db = folder / kLogbookDatabase, elsewhere = folder / "other.sqlite";
    const std::string expected = LogbookCsv(ListFlights(folder.path(), kinds));
    fs::remove(db);
    ASSERT_TRUE(Sql(elsewhere, "CREATE TABLE flights (path TEXT, size INTEGER); INSERT INTO flights VALUES ('x', 1)"));
    const std::string sqliteBytes = ReadFile(elsewhere);
    const struct {
        const char* what;
        std::function<void()> make;
        std::string bytes;
    } cases[] = {
        {"another program's SQLite", [&] { fs::copy_file(elsewhere, db); }, sqliteBytes},
        {"not SQLite", [&] { WriteFile(db, std::string(5000, 'x')); }, std::string(5000, 'x')},
        {"a link to a database", [&] { fs::create_symlink(elsewhere, db); }, sqliteBytes},
    };
    for (const auto& c : cases) {
        c.make();
        std::vector<std::string> warnings;
        LogbookOptions o;
        o.warn = [&](const std::string& w) { warnings.push_back(w); };
        EXPECT_EQ(LogbookCsv(ListFlights(folder.path(), kinds, o)), expected) << c.what;
        EXPECT_EQ(ReadFile(db), c.bytes) << c.what;
        EXPECT_EQ(ReadFile(elsewhere), sqliteBytes) << c.what;
        ASSERT_EQ(warnings.size(), 1u) << c.what;
        EXPECT_NE(warnings[0].find(db), std::string::npos) << c.what;
        EXPECT_FALSE(fs::exists(db + "-wal")) << c.what;
        fs::remove(db);
    }
}

TEST_F(Logbook, DamagedDatabaseIsSetAsideAndMadeAnew) {
    WriteFrames(folder / "Flights_INT/a.FLT", {Fm(0), Fm(10)});
    const std::string db = folder / kLogbookDatabase;
    const std::string expected = LogbookCsv(ListFlights(folder.path(), kinds));
    std::string bytes = ReadFile(db);
    ASSERT_GT(bytes.size(), 4096u);
    std::fill(bytes.begin() + 100, bytes.begin() + 4096, '\xff');  // the schema's page
    WriteFile(db, bytes);
    std::string warnings;
    LogbookOptions o;
    o.warn = [&](const std::string& w) { warnings += w + "\n"; };
    EXPECT_EQ(LogbookCsv(ListFlights(folder.path(), kinds, o)), expected);
    EXPECT_EQ(ReadFile(db + ".damaged"), bytes);
    EXPECT_NE(warnings.find("damaged"), std::string::npos) << warnings;
    EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), 1) << warnings;
    warnings.clear();
    EXPECT_EQ(LogbookCsv(ListFlights(folder.path(), kinds, o)), expected);  // the new one is used
    EXPECT_EQ(warnings, "");
}

TEST_F(Logbook, DatabaseHeldByAnotherProgramIsPassedOver) {
    WriteFrames(folder / "Flights_INT/a.FLT", {Fm(0), Fm(10)});
    const std::string db = folder / kLogbookDatabase;
    const std::string expected = LogbookCsv(ListFlights(folder.path(), kinds));
    WriteFrames(folder / "Flights_INT/b.FLT", {Fm(60), Fm(70)});
    sqlite3* holder = nullptr;
    ASSERT_TRUE(Sql(db, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; INSERT INTO flights (path) VALUES ('held'); "
                        "COMMIT; SELECT count(*) FROM flights", &holder));
    std::string warnings;
    LogbookOptions o;
    o.warn = [&](const std::string& w) { warnings += w; };
    EXPECT_NE(LogbookCsv(ListFlights(folder.path(), kinds, o)).find("b.FLT"), std::string::npos);
    EXPECT_NE(warnings.find("in use"), std::string::npos) << warnings;
    sqlite3_close(holder);
    EXPECT_TRUE(Sql(db, "SELECT 1 / (count(*) = 1) FROM flights WHERE path = 'held'"));
    EXPECT_TRUE(fs::exists(db));
}

TEST_F(Logbook, RowsOfGoneFilesAreDroppedAndTheSpaceGivenBack) {
    for (int i = 0; i < 1500; ++i)
        WriteFrames(folder / ("Flights_INT/" + std::to_string(i) + ".FLT"), {Fm(i)});
    ListFlights(folder.path(), kinds);
    const auto full = fs::file_size(folder / kLogbookDatabase);
    for (int i = 1; i < 1500; ++i) fs::remove(folder / ("Flights_INT/" + std::to_string(i) + ".FLT"));
    EXPECT_EQ(ListFlights(folder.path(), kinds).size(), 1u);
    EXPECT_LT(fs::file_size(folder / kLogbookDatabase) * 4, full);
}

// The internal and the SD recording of the same flights: one row each, both files counted;
// a file without a good Frame is no flight and comes last.
TEST_F(Logbook, CopiesOfAFlightMakeOneRow) {
    for (const char* import : {"import " KRELBY_SOURCE_DIR "/samples/ZelvoBB.DAT", "import --sd " KRELBY_SOURCE_DIR "/samples/Zelvo.REC"})
        ASSERT_EQ(krelby::testing::RunCli(std::string(import) + " --folder " + folder.path()).status, 0);
    WriteFile(folder / "Flights_INT/empty.FLT", "");
    WriteFile(folder / "Flights_INT/text.FLT", "not a flight\n");
    const std::vector<LogbookEntry> entries = ListFlights(folder.path(), kinds);
    ASSERT_EQ(entries.size(), 5u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(entries[i].copies.size(), 2u);
        EXPECT_EQ(entries[i].file, entries[i].copies[0]);
        EXPECT_EQ(entries[i].file.substr(0, 12), "Flights_INT/");
    }
    EXPECT_FALSE(entries[3].IsFlight());
    const std::string csv = LogbookCsv(entries);
    EXPECT_NE(csv.find("\nFlights_INT/empty.FLT,1" + std::string(LogbookColumns().size(), ',') + "\nFlights_INT/text.FLT,1,"),
              std::string::npos) << csv;
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 6);

    // Saved over one of its flight files (here the second copy), or the database: refused.
    for (const std::string& target : {entries[1].copies[1], std::string(kLogbookDatabase)}) {
        const std::string bytes = ReadFile(folder / target);
        EXPECT_THROW(SaveLogbookCsv(folder / target, entries, folder.path()), Error) << target;
        EXPECT_EQ(ReadFile(folder / target), bytes) << target;
    }
}

TEST_F(Logbook, KindsChangedBetweenListingsAreRecomputed) {
    WriteFrames(folder / "Flights_INT/a.FLT", {Fm(0), Engine(1, 2000, 30000, {700, 400})});
    EXPECT_NE(LogbookCsv(ListFlights(folder.path(), kinds)).find(",2000,90,3.00,,700,300,"), std::string::npos);
    kinds[1] = CHT;
    EXPECT_NE(LogbookCsv(ListFlights(folder.path(), kinds)).find(",2000,90,3.00,400,700,,"), std::string::npos);
}

// The count comes from the cache while the limits and the rule's seconds stay, and afresh
// when one changes, however little (2701 against 2700.99999); a cache of the layout before
// the count is made anew.
TEST_F(Logbook, ExceedancesCountedAndRecomputedWhenALimitChanges) {
    WriteFrames(folder / "Flights_INT/a.FLT", {Fm(0), Engine(1, 2800, 30000, {}), Fm(1), Engine(1, 2600, 30000, {}),
                                               Fm(2), Engine(1, 2701, 30000, {})});
    Limits limits;
    auto count = [&] { return ListFlights(folder.path(), kinds, limits).at(0).summary.exceedances; };
    EXPECT_EQ(count(), std::nullopt);
    const std::string csv = LogbookCsv(ListFlights(folder.path(), kinds));
    EXPECT_NE(csv.find(",fuel_used_l,exceedances,rpm_max_1,"), std::string::npos);
    EXPECT_NE(csv.find(",,,2800,"), std::string::npos);  // no fuel used, no count
    const struct {
        double rpmMax;
        int64_t merge, min, expected;
    } steps[] = {{2700, 0, 0, 2},       {2700, 0, 0, 2},       {2750, 0, 0, 1},       {3000, 0, 0, 0},
                 {2701, 0, 0, 1},       {2700.99999, 0, 0, 2}, {2700.99999, 2, 0, 1}, {2700.99999, 1, 0, 2},
                 {2700.99999, 2, 2, 1}, {2700.99999, 2, 3, 0}};
    for (const auto& step : steps) {
        limits.Set(LimitKey::RpmMax, step.rpmMax);
        Limits::Set(limits.mergeSeconds, step.merge);
        Limits::Set(limits.minSeconds, step.min);
        EXPECT_EQ(count(), step.expected) << step.rpmMax << " merge " << step.merge << " min " << step.min;
    }
    ASSERT_TRUE(Sql(folder / kLogbookDatabase, "ALTER TABLE flights DROP COLUMN exceedances; PRAGMA user_version = 2"));
    EXPECT_EQ(count(), 0);
}

// The cooling limit counts too, and a cached count follows it: 60 °C/min is beyond 59.9 only.
TEST_F(Logbook, CoolingLimitCountedAndRecomputedWhenItChanges) {
    kinds[4] = CHT;
    WriteFrames(folder / "Flights_INT/a.FLT", {Fm(0), Engine(1, 2000, 30000, {0, 0, 0, 0, 200}), Fm(10),
                                               Engine(1, 2000, 30000, {0, 0, 0, 0, 190})});
    Limits limits;
    limits.Set(LimitKey::RpmMax, 3000);
    for (const auto& [cooling, expected] : std::vector<std::pair<std::optional<double>, int64_t>>{
             {std::nullopt, 0}, {59.9, 1}, {60, 0}, {std::nullopt, 0}}) {
        limits.Set(LimitKey::ChtCoolingMax, cooling);
        EXPECT_EQ(ListFlights(folder.path(), kinds, limits).at(0).summary.exceedances, expected) << cooling.value_or(-1);
    }
}

// The engine analysis' columns of a generated flight with a cruise and a sweep on two
// monitors are the figures `krelby-cli analysis` writes, to the digit; the cache keeps them,
// and one of the layout before them is made anew.
TEST_F(Logbook, AnalysisColumnsAreTheAnalysisFiguresAndAreCached) {
    gen::RecordingOptions o;
    o.flights = 1;
    o.secondsPerFlight = 1800;
    o.engineMonitors = 2;
    o.sweepMonitors = 2;
    o.egtNoise = 3;
    const std::string flight = folder / "Flights_INT/sweep.FLT";
    WriteFile(flight, gen::FrameStream(o));
    Settings settings;
    for (size_t k = 0; k < kinds.size(); ++k) kinds[k] = uint8_t(k % 12 / 4);  // EGT, CHT, Other
    settings.thermocouples = kinds;
    const auto doc = nlohmann::json::parse(AnalysisJson(flight, AnalyzeFlight(flight, settings), settings));
    const auto json = [&](const std::string& pointer) { return doc.at(nlohmann::json::json_pointer(pointer)); };
    const auto cooling = [](const nlohmann::json& rates) {
        double fastest = 0;
        for (const auto& r : rates) fastest = std::max(fastest, r.at("rate_c_min").get<double>());
        return fastest;
    };
    ASSERT_EQ(doc.at("monitors").size(), 2u);
    std::vector<std::pair<std::string, double>> expected = {{"cruise_s", json("/cruise/duration_s")},
                                                            {"cruise_palt_ft", json("/cruise/palt_ft")},
                                                            {"cruise_ias_kt", json("/cruise/ias_kt")}};
    for (const int m : {1, 2}) {
        const std::string n = std::to_string(m), at = "/monitors/" + std::to_string(m - 1);
        expected.insert(expected.end(), {{"to_rpm_max_" + n, json(at + "/takeoff/rpm_max")},
                                         {"to_map_max_bar_" + n, json(at + "/takeoff/map_max_bar")},
                                         {"to_ff_max_lph_" + n, json(at + "/takeoff/ff_max_lph")},
                                         {"cruise_ff_lph_" + n, json(at + "/cruise/ff_lph")},
                                         {"cht_cool_max_c_min_" + n, cooling(json(at + "/cooling"))},
                                         {"sweep_spread_lph_" + n, json(at + "/sweeps/0/spread_lph")}});
    }
    std::string first;
    for (const char* listing : {"made", "cached"}) {
        const std::vector<LogbookEntry> entries = ListFlights(folder.path(), kinds);
        const auto f = Fields(entries.at(0).summary);
        for (const auto& [column, value] : expected) {
            double shown = -1;
            const std::string& text = f.at(column);
            std::from_chars(text.data(), text.data() + text.size(), shown);
            EXPECT_EQ(shown, value) << listing << " " << column << " " << text;
        }
        EXPECT_EQ(f.at("sweep_spread_lph_3"), "");
        if (first.empty()) first = LogbookCsv(entries);
    }
    ASSERT_TRUE(Sql(folder / kLogbookDatabase, "ALTER TABLE flights DROP COLUMN cruise_s; PRAGMA user_version = 6"));
    EXPECT_EQ(LogbookCsv(ListFlights(folder.path(), kinds)), first);
}

TEST_F(Logbook, TwoListingsAtOnceBothSucceed) {
    for (int i = 0; i < 40; ++i)
        WriteFrames(folder / ("Flights_INT/" + std::to_string(i) + ".FLT"), {Fm(i * 100), Fm(i * 100 + 1)});
    const std::string expected = LogbookCsv(ListFlights(folder.path(), kinds));
    fs::remove(folder / kLogbookDatabase);
    pid_t children[2];
    for (pid_t& pid : children) {
        pid = fork();
        if (pid == 0) _exit(LogbookCsv(ListFlights(folder.path(), kinds)) == expected ? 0 : 1);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
}

TEST_F(Logbook, UnreadableFlightIsListedEmptyWithAWarning) {
    WriteFrames(folder / "Flights_INT/a.FLT", {Fm(0)});
    WriteFrames(folder / "Flights_INT/b.FLT", {Fm(60)});
    chmod(folder.path().c_str(), 0777);
    chmod((folder / "Flights_INT").c_str(), 0777);
    chmod((folder / "Flights_INT/b.FLT").c_str(), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
        std::string warnings;
        LogbookOptions o;
        o.warn = [&](const std::string& w) { warnings += w; };
        const std::string csv = LogbookCsv(ListFlights(folder.path(), kinds, o));
        const bool ok = csv.find("\nFlights_INT/b.FLT,1" + std::string(LogbookColumns().size(), ',') + "\n") != std::string::npos &&
                        warnings.find("b.FLT") != std::string::npos;
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(Logbook, CliListsOnStdout) {
    WriteFrames(folder / "Flights_INT/a.FLT", {Fm(0)});
    fs::create_directory(folder / "Flights_INT/folder.FLT");  // not a flight: not listed
    auto r = krelby::testing::RunCli("flights --folder " + folder.path());
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out.substr(0, 20), "file,copies,start,en");
    EXPECT_NE(r.out.find("\nFlights_INT/a.FLT,1,2024-03-14T10:00:00,"), std::string::npos);
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
    r = krelby::testing::RunCli("flights x --folder " + folder.path());
    EXPECT_EQ(r.status, 2);
}
