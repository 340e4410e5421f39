// The analysis table: rows per FlightMessage with an ISO time, every item with its unit, the
// three unit systems, the item choices and the three formats.
#include <gtest/gtest.h>

#include "export/exports.h"
#include "export/table_export.h"
#include "support/export_fixture.h"
#include "support/text_lines.h"

using namespace krelby;
using namespace krelby::exporttest;
using krelby::testing::EngineOf;

namespace {

struct TableTest : ExportTest {
    std::string Table(const TableOptions& options) {
        const std::string out = folder / "t.csv";
        TableExport(session.CurrentFlightFile, session.Inputs(), out, options);
        return ReadFile(out);
    }
    static TableOptions Listed(const std::string& names, UnitSystem units = UnitSystem::Chosen,
                               TableFormat format = TableFormat::Csv) {
        std::vector<std::string> unknown;
        TableOptions o;
        o.items = TableOptions::Items::Listed;
        o.listed = TableItemsNamed(names, ThermocoupleKinds{}, unknown);
        EXPECT_TRUE(unknown.empty());
        o.units = units;
        o.format = format;
        return o;
    }
};

}  // namespace

// Each row holds what came from its FlightMessage until the next one, values before the first
// in the first row; a column without a value there is empty, not the last value repeated.
TEST_F(TableTest, RowsHoldWhatCameUntilTheNextFlightMessage) {
    session.regional = {'.', '.', ','};  // the table keeps to ISO times and full stops all the same
    Flight({EngineOf(1).Rpm(2400).OilPressure(25000).Sealed(), FlightAt(41, 17, 1000).Sealed(),
            FlightAt(41, 18, 1010).Sealed(), EngineOf(1).Rpm(2450).Sealed(), EngineOf(1).Rpm(2460).Sealed(),
            FlightAt(41, 19, 1020).Sealed()});
    EXPECT_EQ(Table(Listed("PALT,RPM_1,OILP_1,GS")),
              "time,PALT [ft],RPM_1 [rpm],OILP_1 [bar],GS [mph]\n"
              "2024-03-14T10:41:17,1000,2400,2.5,\n"
              "2024-03-14T10:41:18,1010,2460,0.0,\n"
              "2024-03-14T10:41:19,1020,,,\n");
}

// The same messages in the recording's own units, those chosen in Options, and SI.
TEST_F(TableTest, UnitsAsRecordedAsChosenAndSi) {
    session.settings.units = {.Altitude = 1, .VSI = 1, .Speed = 2, .Temp = 1, .OilP = 1, .MAP = 1, .LiqQ = 1, .Baro = 1};
    Flight({FlightAt(0, 0, 1000).ASI(1000).VSI(-500).QNH(10132).OAT(-5).Sealed(),
            EngineOf(1).OilPressure(25000).u16(EngineMessage::kFuelFlow, 1250).ManifoldPressure(9324).TC(1, 735).Sealed(),
            krelby::testing::NavigationFrame().AltitudeBug(4500).Sealed(), FlightAt(0, 1).Sealed()});
    const std::string items = "PALT,ASI,VSI,QNH,OAT,OILP_1,FF_1,MAP_1,EGT1_1,AltitudeBug";
    const struct {
        UnitSystem units;
        std::string header, row;
    } cases[] = {
        {UnitSystem::Recorded,
         "PALT [ft],ASI [km/h],VSI [ft/min],QNH [mbar],OAT [°C],OILP_1 [bar],FF_1 [l/h],MAP_1 [bar],EGT1_1 [°C],"
         "AltitudeBug [ft]",
         "1000,100.0,-500,1013.2,-5,2.5000,12.50,0.9324,735,4500"},
        {UnitSystem::Chosen,
         "PALT [m],ASI [kt],VSI [m/s],QNH [inHg],OAT [°F],OILP_1 [psi],FF_1 [gal/h],MAP_1 [inHg],EGT1_1 [°F],"
         "AltitudeBug [ft]",
         "305,54,-2.54,29.91979,23,36.3,3.30,27.5,1355.0,4500"},
        {UnitSystem::Si,
         "PALT [m],ASI [m/s],VSI [m/s],QNH [Pa],OAT [°C],OILP_1 [Pa],FF_1 [m³/s],MAP_1 [Pa],EGT1_1 [°C],"
         "AltitudeBug [m]",
         "304.80,27.778,-2.54000,101320,-5,250000,0.000003472222,93240,735,1371.60"},
    };
    for (const auto& c : cases) {
        const auto lines = krelby::testing::Lines(Table(Listed(items, c.units)));
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[0], "time," + c.header) << int(c.units);
        EXPECT_EQ(lines[1], "2024-03-14T10:00:00," + c.row) << int(c.units);
    }
}

// Without a list: the items charted (the first 16 ticked that the flight holds) and the
// position when ticked, as the window's CSV holds them; --all: every item the flight holds.
TEST_F(TableTest, ChartedItemsOrEveryItemTheFlightHolds) {
    std::vector<krelby::testing::Frame> frames = {FlightAt(0, 0, 900).Sealed(), GpsAt(-4860000, 27000000, 0).Sealed()};
    auto engine = EngineOf(1).Rpm(2000);
    for (int n = 1; n <= 12; ++n) engine.TC(n, int16_t(700 + n));
    frames.push_back(engine.Sealed());
    frames.push_back(FlightAt(0, 1, 910).Sealed());
    Flight(frames);
    Tick({1, 2, 3, 6, 11, kPositionCheckBox});
    for (int box = 20; box <= 31; ++box) Tick({box});  // 17 items and the position
    const auto charted = krelby::testing::Lines(Table({}));
    EXPECT_EQ(charted[0].rfind("time,PALT [ft],BALT [ft],ASI [mph],VSI [ft/min],LAT [°],LON [°],RPM_1 [rpm]", 0), 0u)
        << charted[0];
    EXPECT_EQ(charted[0].find("EGT12_1"), std::string::npos) << "the 17th item is not charted";
    EXPECT_NE(charted[0].find("EGT11_1"), std::string::npos);
    EXPECT_NE(charted[1].find(",-27.0000000,150.0000000,2000,701.0,"), std::string::npos) << charted[1];

    TableOptions all;
    all.items = TableOptions::Items::All;
    const auto every = krelby::testing::Lines(Table(all));
    EXPECT_NE(every[0].find("EGT12_1 [°C]"), std::string::npos);
    EXPECT_NE(every[0].find("Tracked,RaimH,RaimV,LAT [°]"), std::string::npos) << every[0];
    EXPECT_EQ(every[0].find("Fuel_1"), std::string::npos) << "no fuel message, no fuel column";
}

TEST_F(TableTest, TsvAndJsonLines) {
    Flight({FlightAt(0, 0, 900).Sealed(), EngineOf(1).Rpm(2000).Sealed(), FlightAt(0, 1, -5).Sealed()});
    EXPECT_EQ(Table(Listed("PALT,RPM_1", UnitSystem::Chosen, TableFormat::Tsv)),
              "time\tPALT [ft]\tRPM_1 [rpm]\n2024-03-14T10:00:00\t900\t2000\n2024-03-14T10:00:01\t-5\t\n");
    EXPECT_EQ(Table(Listed("PALT,RPM_1,LAT", UnitSystem::Chosen, TableFormat::JsonLines)),
              "{\"time\":\"2024-03-14T10:00:00\",\"PALT [ft]\":900,\"RPM_1 [rpm]\":2000,\"LAT [°]\":null}\n"
              "{\"time\":\"2024-03-14T10:00:01\",\"PALT [ft]\":-5,\"RPM_1 [rpm]\":null,\"LAT [°]\":null}\n");
}

// Items are named by their series titles under the thermocouple kinds, in any case, each once.
TEST(TableItems, NamedBySeriesTitles) {
    ThermocoupleKinds kinds{};
    kinds[ThermocoupleIndex(1, 4)] = CHT;
    std::vector<std::string> unknown;
    const auto named = TableItemsNamed("palt, CHT5_1,lon,PALT,EGT5_1,,Humidity", kinds, unknown);
    std::vector<std::string> titles;
    for (const TableItem& c : named) titles.emplace_back(TitleOf(c, kinds));
    EXPECT_EQ(titles, (std::vector<std::string>{"PALT", "CHT5_1", "LON"}));
    EXPECT_EQ(unknown, (std::vector<std::string>{"EGT5_1", "Humidity"}));
    EXPECT_EQ(HeaderOf(named[1], kinds, UnitSystem::Chosen, UnitSettings{.Temp = 1}), "CHT5_1 [°F]");
}

// The window's "Table..." comes after the other items of its Export menu and writes the table
// of the items it charts, in the units it shows, its chart filled by the same replays.
TEST_F(TableTest, TheWindowsTableFollowsTheOtherExportsAndWritesTheItemsCharted) {
    const ExportInfo& row = Exports().back();
    EXPECT_EQ(std::string(row.name), "table");
    EXPECT_EQ(std::string(row.caption), "&Table...");
    EXPECT_EQ(std::string(row.filter), "Table (*.csv)|*.csv");
    Flight({FlightAt(0, 0, 900).Sealed(), EngineOf(1).Rpm(2000).Sealed(), FlightAt(0, 1, 950).Sealed()});
    Tick({1, 11});
    const std::string out = folder / "window.csv";
    EXPECT_EQ(row.write(session.CurrentFlightFile, session.Inputs(), session.regional, out, &session.chart), "");
    EXPECT_EQ(ReadFile(out), Table({}));
    EXPECT_EQ(ReadFile(out), "time,PALT [ft],RPM_1 [rpm]\n2024-03-14T10:00:00,900,2000\n2024-03-14T10:00:01,950,\n");
    ASSERT_EQ(session.chart.SlotsInChart(), 2);
    EXPECT_EQ(session.chart.Slot(1).title, "RPM_1");
}
