#include "support/replay_fixture.h"

#include <cstring>
#include <functional>

using namespace krelby;
using namespace krelby::testing;

namespace {

// One data item decoded from one message: its line, its axis and its CSV column.
struct ItemCase {
    const char* name;
    Frame frame;
    int checkBox;
    std::function<void(UnitSettings&)> units;
    const char* title;
    int axis;
    double y;
    int column;
    const char* columnName;
    const char* text;
};

void NoUnits(UnitSettings&) {}

Frame Attitude(size_t off, int16_t v) { return FrameBuilder(FrameType::Attitude).i16(off, v).Sealed(); }
Frame Nav(size_t off, int32_t v, bool wide = false) {
    FrameBuilder b(FrameType::Navigation);
    if (wide) b.i32(off, v); else b.i16(off, static_cast<int16_t>(v));
    return b.Sealed();
}
Frame Engine(int monitor, size_t off, int16_t v) { return EngineOf(monitor).i16(off, v).Sealed(); }

}  // namespace

TEST_F(ReplayTest, EachItemChartsAndExportsItsField) {
    const std::vector<ItemCase> cases = {
        {"AOA", FlightAt(0, 0).AOA(53).Sealed(), 5, NoUnits, "AOA", 4, 5.3, 4, "AOA", "5.300"},
        {"AOA wide", FlightAt(0, 0).AOA(1234).Sealed(), 5, NoUnits, "AOA", 4, 123.4, 4, "AOA", "1.2E2"},
        {"AOA negative", FlightAt(0, 0).AOA(-1).Sealed(), 5, NoUnits, "AOA", 4, -0.1, 4, "AOA", "-0.100"},
        {"OAT below zero", FlightAt(0, 0).OAT(-5).Sealed(), 9, NoUnits, "OAT", 3, -5, 8, "OAT", "-5"},
        {"PALT 812 ft in m", FlightAt(0, 0).PAltitude(812).Sealed(), 1, [](UnitSettings& u) { u.Altitude = 1; }, "PALT", 0,
         247, 0, "PAltitude", "247"},
        {"QNH", FlightAt(0, 0).QNH(10132).Sealed(), 8, NoUnits, "QNH", 13, 1013.2, 7, "Local", "1013.20000"},
        {"BankRate", Attitude(26, 15010), 50, NoUnits, "Bankrate", 6, 151.0, 28, "BankRate", "151.00"},
        {"DownVelocity", GpsFrame().DownVelocity(300).Sealed(), 34, NoUnits, "GPSVSI", 2, -300, 11,
         "DownVelocity", "-300"},
        {"OilT_2", Engine(2, 24, 85), 126, NoUnits, "OILT_2", 12, 85, 55, "OILT_2", "85.0"},
        {"Coolant C", Engine(1, 22, -5), 14, NoUnits, "COOL_1", 12, -5, 35, "COOL_1", "-5.0"},
        {"Coolant F", Engine(1, 22, -5), 14, [](UnitSettings& u) { u.Temp = 1; }, "COOL_1", 12, 23, 35, "COOL_1", "23.0"},
        {"Rpm unsigned", EngineOf(4).Rpm(0xFFFF).Sealed(), 168, NoUnits, "RPM_4", 5, 65535, 94, "RPM_4", "65535"},
        {"OilP bar", Engine(1, 16, 25000), 12, NoUnits, "OILP_1", 11, 2.5, 32, "OILP_1", "2.5"},
        {"OilP psi", Engine(1, 16, 25000), 12, [](UnitSettings& u) { u.OilP = 1; }, "OILP_1", 11, 36.259425, 32,
         "OILP_1", "36.3"},
        {"FuelFlow l", Engine(3, 36, 1250), 152, NoUnits, "FF_3", 8, 1250, 80, "FF_3", "12.50"},
        {"FuelFlow gal", Engine(3, 36, 1250), 152, [](UnitSettings& u) { u.LiqQ = 1; }, "FF_3", 8, 330.215125, 80,
         "FF_3", "3.30"},
        {"FuelLevel 3", FuelFrame(20).Count(3).Level(3, 125).Sealed(), 55, NoUnits, "Fuel_3", 14,
         12.5, 117, "Fuel_3", "12.5"},
        {"FuelLevel signed", FuelFrame(4).Count(1).Level(1, -5).Sealed(), 53, NoUnits, "Fuel_1",
         14, -0.5, 115, "Fuel_1", "-0.5"},
        {"Ana_2", InputsFrame().Analog(2, 0xFFFF).Sealed(), 78, NoUnits, "Ana_2", 16, 65535, 140, "Ana_2",
         "65535"},
        {"Ana_16", InputsFrame().AnalogCount(12).Analog(16, 7).Sealed(), 209, NoUnits, "Ana_16", 16, 7, 207,
         "Ana_16", "7"},
        {"Dig_1", InputsFrame().DigitalInputs(5).Sealed(), 69, NoUnits, "Dig_1", 15, 1, 131, "Dig_1", "1"},
        {"Dig_3", InputsFrame().DigitalInputs(5).Sealed(), 71, NoUnits, "Dig_3", 15, 1, 133, "Dig_3", "1"},
        {"Dig_2", InputsFrame().DigitalInputs(5).Sealed(), 70, NoUnits, "Dig_2", 15, 0, 132, "Dig_2", "0"},
        {"Dig_1 bit 16", InputsFrame().DigitalInputs(65536).Sealed(), 69, NoUnits, "Dig_1", 15, 0, 131, "Dig_1", "0"},
        {"Dig_9", InputsFrame().DigitalCount(16).DigitalInputs(0x100).Sealed(), 194, NoUnits, "Dig_9", 15, 1, 192,
         "Dig_9", "1"},
        {"Flaps", InputsFrame().Flaps(-3).Sealed(), 85, NoUnits, "Flaps", 16, -3, 150, "Flaps", "-3"},
        {"AP_Engaged", Nav(8, 0x0008), 100, NoUnits, "AP_Engaged", 15, 1, 157, "AP_Engaged", "1"},
        {"GLS_Valid", Nav(8, 0x0401), 113, NoUnits, "GLS_Valid", 15, 1, 164, "GLS_Valid", "1"},
        {"HSI_Angle", Nav(14, -900), 92, NoUnits, "HSI_Angle", 6, -90.0, 165, "HSI_Angle", "-90.0"},
        {"HSI_Rose", Nav(16, 3599), 93, NoUnits, "HSI_Rose", 6, 359.9, 166, "HSI_Rose", "359.9"},
        {"HSI_Dev", Nav(18, 1024), 94, NoUnits, "HSI_Dev", 17, 0.25, 167, "HSI_Dev", "0.2500"},
        {"ILS_Dev", Nav(50, -2048), 106, NoUnits, "ILS_Dev", 17, -0.5, 177, "ILS_Dev", "-0.5000"},
        {"GLSV_Dev", Nav(56, 4096), 114, NoUnits, "GLSV_Dev", 17, 1.0, 180, "GLSV_Dev", "1.0000"},
        {"WPDist mph", Nav(28, 1234, true), 118, NoUnits, "WPDist", 8, 77, 170, "WPDist", "77.0"},
        {"WPDist km", Nav(28, 1234, true), 118, [](UnitSettings& u) { u.Speed = 1; }, "WPDist", 8, 123, 170, "WPDist",
         "123.0"},
        {"WPDist kt", Nav(28, 1234, true), 118, [](UnitSettings& u) { u.Speed = 2; }, "WPDist", 8, 67, 170, "WPDist",
         "67.0"},
        {"AltitudeBug", Nav(24, 4500, true), 102, [](UnitSettings& u) { u.Altitude = 1; }, "AltitudeBug", 0, 4500,
         182, "AltitudeBug", "4500"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        session.settings = {};
        c.units(session.settings.units);
        csv.Clear();
        Tick({c.checkBox});
        Replay({c.frame});
        ASSERT_EQ(session.chart.SlotsInChart(), 1);
        EXPECT_EQ(Slot(0).title, c.title);
        EXPECT_EQ(Slot(0).axis, c.axis);
        EXPECT_EQ(session.chart.VisibleAxes(), std::vector<int>{c.axis});
        ASSERT_EQ(Slot(0).ys.size(), 1u);
        EXPECT_DOUBLE_EQ(Slot(0).ys[0], c.y);
        EXPECT_EQ(csv.names[c.column], c.columnName);
        EXPECT_EQ(Text(c.column), c.text);
        int filled = 0;
        for (const auto& n : csv.names) filled += !n.empty();
        EXPECT_EQ(filled, 1);
    }
}

TEST_F(ReplayTest, ThermocoupleKindsDecideTitleAxisAndColumnName) {
    struct Case { int monitor, input; uint8_t kind; const char* title; int axis, column; };
    const Case cases[] = {
        {3, 5, CHT, "CHT5_3", 10, 86}, {3, 5, Other, "TC5_3", 12, 86}, {3, 5, 7, "TC5_3", 12, 86},
        {1, 3, EGT, "EGT3_1", 9, 42}, {4, 12, CHT, "CHT12_4", 10, 114}, {2, 1, Other, "TC1_2", 12, 61},
    };
    const int firstBox[] = {20, 133, 156, 179};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        session.settings = {};
        csv.Clear();
        session.settings.thermocouples[12 * (c.monitor - 1) + c.input - 1] = c.kind;
        Tick({firstBox[c.monitor - 1] + c.input - 1});
        Replay({Engine(c.monitor, EngineMessage::TcOffset(c.input), 700)});
        ASSERT_EQ(session.chart.SlotsInChart(), 1);
        EXPECT_EQ(Slot(0).title, c.title);
        EXPECT_EQ(Slot(0).axis, c.axis);
        EXPECT_EQ(Slot(0).ys, std::vector<double>{700});
        EXPECT_EQ(csv.names[c.column], c.title);
        EXPECT_EQ(Text(c.column), "700.0");
    }
}

TEST_F(ReplayTest, AllTwelveInputsOfMonitorFourAsEgt) {
    std::vector<int> boxes;
    for (int b = 179; b <= 190; ++b) boxes.push_back(b);
    Tick(boxes);
    Replay({EngineOf(4).Sealed()});
    ASSERT_EQ(session.chart.SlotsInChart(), 12);
    for (int n = 1; n <= 12; ++n) {
        const std::string title = "EGT" + std::to_string(n) + "_4";
        EXPECT_EQ(Slot(n - 1).title, title);
        EXPECT_EQ(Slot(n - 1).axis, 9);
        EXPECT_EQ(csv.names[102 + n], title);
    }
}

TEST_F(ReplayTest, FuelEntriesFollowTheCount) {
    std::vector<int> boxes;
    for (int b = 53; b <= 68; ++b) boxes.push_back(b);
    Tick(boxes);
    auto fuel = [](int32_t count, int32_t level) {
        FuelFrame b(124);
        b.Count(count);
        for (int k = 1; k <= 16; ++k) b.Level(k, level + k);
        return b.BadCrc();
    };
    Replay({fuel(16, 100), fuel(3, 200), fuel(0, 300), fuel(-1, 400), fuel(20, 500)});
    ASSERT_EQ(session.chart.SlotsInChart(), 16);
    EXPECT_EQ(Slot(2).ys, (std::vector<double>{10.3, 20.3, 50.3}));
    EXPECT_EQ(Slot(3).ys, (std::vector<double>{10.4, 50.4}));
    EXPECT_EQ(Text(115 + 15), "51.6");

    Replay({fuel(16, 100), fuel(3, 200)});
    EXPECT_EQ(Text(117), "20.3");
    EXPECT_EQ(Text(118), "10.4");  // entry 4 keeps the older text
}

TEST_F(ReplayTest, ExtenderInputsNeedTheirCount) {
    struct Case { uint8_t digitalCount, analogCount; std::vector<std::string> titles; };
    const Case cases[] = {
        {8, 8, {"Dig_2"}},
        {16, 8, {"Dig_2", "Dig_9", "Dig_10"}},
        {8, 255, {"Dig_2", "Ana_9"}},
        {9, 9, {"Dig_2", "Dig_9", "Ana_9", "Dig_10"}},
    };
    for (const auto& c : cases) {
        session.settings = {};
        csv.Clear();
        Tick({195, 194, 202, 70});  // Dig_10, Dig_9, Ana_9, Dig_2
        Replay({InputsFrame().AnalogCount(c.analogCount).DigitalCount(c.digitalCount).DigitalInputs(0x0102).Sealed()});
        std::vector<std::string> titles;
        for (int i = 0; i < session.chart.SlotsInChart(); ++i) titles.push_back(Slot(i).title);
        EXPECT_EQ(titles, c.titles);
        EXPECT_EQ(csv.names[192].empty(), c.digitalCount <= 8);
    }
}

TEST_F(ReplayTest, InputsClaimSlotsDigitalThenAnalogPerInput) {
    Tick({69, 70, 77, 78});
    Replay({InputsFrame().Sealed()});
    const char* titles[] = {"Dig_1", "Ana_1", "Dig_2", "Ana_2"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Slot(i).title, titles[i]);
}

TEST_F(ReplayTest, PositionIsExportedWithoutSlot) {
    std::vector<int> boxes;
    for (int b = 1; b <= 9; ++b) boxes.push_back(b);
    for (int b = 41; b <= 52; ++b) boxes.push_back(b);
    boxes.push_back(193);
    Tick(boxes);
    Replay({FlightAt(0, 0).Sealed(), FrameBuilder(FrameType::Attitude).Sealed(),
            GpsFrame().Latitude(-4860000).Longitude(27000000).Sealed()});
    EXPECT_EQ(session.chart.SlotsInChart(), 16);
    EXPECT_EQ(csv.names[18], "Latitude,Longitude");
    EXPECT_EQ(Text(18), "-27.0000000,150.0000000");
}

TEST_F(ReplayTest, ItemsWithoutDecoderDrawNothing) {
    Tick({10, 103, 131, 132});  // Humidity, Autopilot vertical mode, Current, Carb temp
    Replay({FlightAt(0, 0).Sealed(), EngineOf(1).Sealed(), FrameBuilder(FrameType::Navigation).Sealed()});
    EXPECT_EQ(session.chart.SlotsInChart(), 0);
}
