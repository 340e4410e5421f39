// Replay rules that a plausible slip breaks: one CSV column per quantity, values under the
// time of their own flight message, each unit choice for its own quantity, a bad date that
// skips one message, fields beyond a short Frame left out.
#include "support/replay_fixture.h"

using namespace krelby;
using namespace krelby::testing;

namespace {

struct ReplayRules : ReplayTest {
    std::vector<std::string> Titles() const {
        std::vector<std::string> t;
        for (int i = 0; i < session.chart.SlotsInChart(); ++i) t.push_back(Slot(i).title);
        return t;
    }
};

}  // namespace

TEST_F(ReplayRules, EveryQuantityHasACsvColumnOfItsOwn) {
    Tick({94, 101, 98, 102});  // track deviation, heading bug, HSI source, altitude bug
    Replay({NavigationFrame().HSI_Dev(2048).HeadingBug(1800).HSI_SRC(4).AltitudeBug(4500).Sealed()});
    const std::pair<int, const char*> nav[] = {{167, "HSI_Dev"}, {181, "Headingbug"}, {168, "HSI_SRC"}, {182, "AltitudeBug"}};
    for (const auto& [column, name] : nav) EXPECT_EQ(csv.names[column], name);
    EXPECT_EQ(Text(167), "0.5000");
    EXPECT_EQ(Text(181), "180.0");
    EXPECT_EQ(Text(168), "4");
    EXPECT_EQ(Text(182), "4500");

    struct Monitor { int rpmBox, pulseBox, rpmColumn, pulseColumn; const char* pulseName; };
    const Monitor monitors[] = {{11, 210, 31, 208, "PULSE_1"}, {122, 211, 52, 209, "PULSE_2"},
                                {145, 212, 73, 210, "PULSE_3"}, {168, 213, 94, 211, "Pulse_4"}};
    for (int m = 1; m <= 4; ++m) {
        const Monitor& mon = monitors[m - 1];
        session.settings = {};
        csv.Clear();
        Tick({mon.rpmBox, mon.pulseBox});
        Replay({EngineOf(m).Rpm(2400).Pulse(5000).Sealed()});
        const std::string ending = std::string("_").append(std::to_string(m));  // (a GCC 12 false -Wrestrict on "_" + s)
        EXPECT_EQ(Titles(), (std::vector<std::string>{"RPM" + ending, "PULSE" + ending}));
        EXPECT_EQ(session.chart.VisibleAxes(), std::vector<int>{5});
        EXPECT_EQ(csv.names[mon.rpmColumn], "RPM" + ending);
        EXPECT_EQ(Text(mon.rpmColumn), "2400");
        EXPECT_EQ(csv.names[mon.pulseColumn], mon.pulseName);
        EXPECT_EQ(Text(mon.pulseColumn), "5000");
    }
}

TEST_F(ReplayRules, CsvRowsCarryTheValuesOfTheirOwnTime) {
    RecordingOutput out;
    Tick({1, 32});
    auto gps = [](int32_t alt) { return GpsFrame().GPSAltitude(alt).Sealed(); };
    const std::vector<Frame> frames = {
        gps(900), FlightAt(0, 0).PAltitude(100).Sealed(), gps(1000), FlightAt(0, 1).PAltitude(200).Sealed(),
        gps(2000), FlightAt(0, 5).Day(0).Sealed(), FlightAt(0, 6).PAltitude(7).BadCrc(), gps(2500),
        FlightAt(0, 2).PAltitude(300).Sealed(), gps(3000)};
    // The export's two passes.
    Replay(frames);
    EXPECT_TRUE(out.headers.empty());
    EXPECT_TRUE(out.rows.empty());
    csv.ClearValues();
    CsvRowsSink rows(csv, session.settings, out);
    Replay(frames, {&rows});
    EXPECT_EQ(out.headers, std::vector<std::string>{",PAltitude,GPSAltitude"});
    const std::vector<std::pair<double, std::string>> expected = {
        {TimeAt(0, 0), ",100,1000"}, {TimeAt(0, 1), ",200,2500"}, {TimeAt(0, 2), ",300,3000"}};
    EXPECT_EQ(out.rows, expected);

    RecordingOutput none;
    CsvRowsSink noRows(csv, session.settings, none);
    Replay({gps(1)}, {&noRows});  // no FlightMessage: neither header nor row
    EXPECT_TRUE(none.headers.empty() && none.rows.empty());
}

TEST_F(ReplayRules, VerticalSpeedsFollowTheVsiUnit) {
    struct Case { int16_t altitude, vsi; Frame frame; int box, column; double y; const char* text; };
    const Frame vsi = FlightAt(0, 0).VSI(-500).Sealed();
    const Frame down = GpsFrame().DownVelocity(300).Sealed();
    const Frame extreme = GpsFrame().DownVelocity(INT32_MIN).Sealed();
    const Case cases[] = {
        {1, 0, vsi, 6, 5, -500, "-500"},       {0, 1, vsi, 6, 5, -2.54, "-2.54"},
        {1, 0, down, 34, 11, -300, "-300"},    {0, 1, down, 34, 11, -1.524, "-1.52"},
        {0, 0, extreme, 34, 11, 2147483648.0, "2147483648"},
    };
    for (const auto& c : cases) {
        session.settings = {};
        session.settings.units.Altitude = c.altitude;
        session.settings.units.VSI = c.vsi;
        Tick({c.box});
        Replay({c.frame});
        ASSERT_EQ(Slot(0).ys.size(), 1u);
        EXPECT_DOUBLE_EQ(Slot(0).ys[0], c.y);
        EXPECT_EQ(Slot(0).axis, 2);
        EXPECT_EQ(Text(c.column), c.text);
    }
}

TEST_F(ReplayRules, ManifoldPressureFollowsTheMapUnit) {
    struct Case { int16_t oilP, map; double y; const char* text; };
    const Case cases[] = {{1, 0, 1013.2, "1013.2"}, {0, 1, 10132 * 29.52999 / 10000, "29.9"}};
    for (const auto& c : cases) {
        session.settings = {};
        session.settings.units.OilP = c.oilP;
        session.settings.units.MAP = c.map;
        Tick({130});  // MAP of engine monitor 2
        Replay({EngineOf(2).ManifoldPressure(10132).Sealed()});
        EXPECT_EQ(Slot(0).title, "MAP_2");
        EXPECT_EQ(Slot(0).axis, 13);
        ASSERT_EQ(Slot(0).ys.size(), 1u);
        EXPECT_NEAR(Slot(0).ys[0], c.y, 1e-9);
        EXPECT_EQ(csv.names[60], "MAP_2");
        EXPECT_EQ(Text(60), c.text);
    }
}

TEST_F(ReplayRules, UnencodableFlightDateSkipsOnlyItsMessage) {
    Tick({1, 11});
    const std::vector<Frame> bad = {FlightAt(0, 0).Day(0).Sealed(), FlightAt(0, 0).Month(0).Sealed(),
                                    FlightAt(0, 0).Day(30).Month(2).Sealed(), FlightAt(0, 0).Minute(60).Sealed()};
    for (const auto& b : bad) {
        Replay({FlightAt(0, 1).PAltitude(1).Sealed(), b, EngineOf(1).Rpm(5).Sealed(), FlightAt(0, 2).PAltitude(2).Sealed()});
        EXPECT_EQ(Slot(0).ys, (std::vector<double>{1, 2}));
        EXPECT_EQ(Slot(1).xs, std::vector<double>{TimeAt(0, 1)});
    }
}

TEST_F(ReplayRules, FieldsBeyondAShortFrameAreAbsent) {
    // RPM_1, MAP_1, TC1 of monitor 1; Fuel_4, Fuel_5; Dig_1, Ana_1, Flaps, YawTrim.
    Tick({11, 19, 20, 56, 57, 69, 77, 85, 88});
    const FuelFrame fuel = FuelFrame(28).Count(16).Level(4, 40);  // entries 1 to 4 only, whatever the count says
    Replay({EngineOf(1, 20).Rpm(2000).Sealed(), fuel.BadCrc(),
            InputsFrame(10).Flaps(3).YawTrim(4).Sealed()});
    EXPECT_EQ(Titles(), (std::vector<std::string>{"RPM_1", "Fuel_4", "Flaps", "YawTrim"}));
    for (int column : {39, 40, 119, 131, 139}) EXPECT_TRUE(csv.names[column].empty()) << column;
    EXPECT_EQ(Text(118), "4.0");
}
