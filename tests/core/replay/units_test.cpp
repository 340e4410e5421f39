#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string_view>
#include <vector>

#include "replay/units.h"

using namespace krelby;

namespace {
UnitSettings With(int16_t UnitSettings::*field, int16_t v) {
    UnitSettings u;
    u.*field = v;
    return u;
}
}  // namespace

TEST(Units, IntegerConversionsRoundHalfToEven) {
    struct Case { int16_t UnitSettings::*field; int16_t choice; int32_t (*fn)(int32_t, const UnitSettings&); int32_t in, out; };
    const Case cases[] = {
        {&UnitSettings::Speed, 1, ConvertSpeed, 25, 2},
        {&UnitSettings::Speed, 1, ConvertSpeed, 35, 4},
        {&UnitSettings::Speed, 1, ConvertSpeed, 15, 2},
        {&UnitSettings::Speed, 1, ConvertSpeed, -25, -2},
        {&UnitSettings::Speed, 0, ConvertSpeed, 1000, 62},
        {&UnitSettings::Speed, 2, ConvertSpeed, 1000, 54},
        {&UnitSettings::Speed, 0, ConvertSpeed, 1234, 77},
        {&UnitSettings::Speed, 2, ConvertSpeed, 1234, 67},
        {&UnitSettings::Speed, 3, ConvertSpeed, 1234, 1234},
        {&UnitSettings::Speed, -1, ConvertSpeed, 1234, 1234},
        {&UnitSettings::Altitude, 1, ConvertAltitude, 1000, 305},
        {&UnitSettings::Altitude, 1, ConvertAltitude, 3, 1},
        {&UnitSettings::Altitude, 1, ConvertAltitude, 812, 247},  // 247.4998 m: off by one with 3.2808 ft/m
        {&UnitSettings::Altitude, 1, ConvertAltitude, -812, -247},
        {&UnitSettings::Altitude, 1, ConvertAltitude, -1000, -305},
        {&UnitSettings::Altitude, 1, ConvertAltitude, -500, -152},
        {&UnitSettings::Altitude, 2, ConvertAltitude, 1000, 1000},
        {&UnitSettings::Temp, 1, ConvertTemperature, -40, -40},
        {&UnitSettings::Temp, 1, ConvertTemperature, 37, 98},
        {&UnitSettings::Temp, 1, ConvertTemperature, -1, 31},
        {&UnitSettings::Temp, 1, ConvertTemperature, -17, 2},
        {&UnitSettings::Temp, 1, ConvertTemperature, -5, 23},
        {&UnitSettings::Temp, -1, ConvertTemperature, 37, 37},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.fn(c.in, With(c.field, c.choice)), c.out) << c.in << " choice " << c.choice;
}

TEST(Units, RealConversionsAreNearestDoubles) {
    EXPECT_DOUBLE_EQ(ConvertBaroPressure(10132, With(&UnitSettings::Baro, 0)), 1013.2);
    EXPECT_EQ(ConvertBaroPressure(10132, With(&UnitSettings::Baro, 1)), 29.919785868);
    EXPECT_EQ(ConvertEnginePressure(25000, With(&UnitSettings::OilP, 0)), 2.5);
    EXPECT_EQ(ConvertEnginePressure(25000, With(&UnitSettings::OilP, 1)), 36.259425);
    EXPECT_EQ(ConvertLiquidQuantity(1250, With(&UnitSettings::LiqQ, 1)), 330.215125);
    EXPECT_EQ(ConvertLiquidQuantity(12.5, With(&UnitSettings::LiqQ, 0)), 12.5);
    // Outside the list: the raw unit.
    EXPECT_EQ(ConvertEnginePressure(25000, With(&UnitSettings::OilP, 7)), 25000);
    EXPECT_EQ(ConvertBaroPressure(10132, With(&UnitSettings::Baro, -1)), 10132);
}

TEST(Units, VsiAndMapFollowTheirOwnChoice) {
    auto fpm = ConvertVerticalSpeed(-500, With(&UnitSettings::Altitude, 1));
    EXPECT_EQ(fpm.decimals, 0);
    EXPECT_EQ(fpm.integer, -500);
    auto ms = ConvertVerticalSpeed(1000, With(&UnitSettings::VSI, 1));
    EXPECT_EQ(ms.decimals, 2);
    EXPECT_DOUBLE_EQ(ms.value, 5.08);
    EXPECT_EQ(ConvertVerticalSpeed(2147483648LL, {}).integer, 2147483648LL);
    EXPECT_DOUBLE_EQ(ConvertManifoldPressure(10132, With(&UnitSettings::MAP, 0)), 1013.2);
    EXPECT_EQ(ConvertManifoldPressure(10000, With(&UnitSettings::MAP, 1)), 29.52999);
    EXPECT_EQ(ConvertManifoldPressure(10000, With(&UnitSettings::MAP, 5)), 10000);
}

// Each setting's Options list, by choice; every quantity the setting converts has a row for
// each of its choices (and converts alike where the recorded unit is the same), and any
// other choice gives the recorded unit.
TEST(Units, TableHasARowForEveryChoiceOfEverySetting) {
    using Q = UnitQuantity;
    const std::map<Q, std::vector<std::string_view>> captions = {
        {Q::Altitude, {"Feet", "Meters"}},
        {Q::VerticalSpeed, {"Feet per minute", "Meters per second"}},
        {Q::Speed, {"Miles per hour", "Kilometers per hour", "Nautical Miles per hour"}},
        {Q::Temperature, {"Celsius", "Fahrenheit"}},
        {Q::EnginePressure, {"Bar", "PSI"}},
        {Q::ManifoldPressure, {"Millibars", "\"HG"}},
        {Q::LiquidQuantity, {"Liters", "US Gallons"}},
        {Q::BaroPressure, {"Millibars", "\"HG"}},
    };
    for (int i = 0; i < kUnitQuantities; ++i) {
        const auto q = static_cast<Q>(i);
        const auto setting = SettingOf(q);
        const auto listed = std::find_if(captions.begin(), captions.end(),
                                         [&](const auto& c) { return SettingOf(c.first) == setting; });
        ASSERT_NE(listed, captions.end()) << i;
        std::vector<const UnitRow*> rows;
        for (const UnitRow& r : UnitRows())
            if (r.quantity == q) rows.push_back(&r);
        const size_t choices = listed->second.size();
        ASSERT_EQ(rows.size(), choices + 1) << i;
        for (int16_t c = 0; c <= int16_t(choices); ++c) {
            const bool recorded = c == int16_t(choices);
            const UnitRow& r = *rows[size_t(c)];
            EXPECT_EQ(r.choice, recorded ? UnitRow::kRecorded : c) << i;
            EXPECT_EQ(r.caption, q == listed->first && !recorded ? listed->second[size_t(c)] : "") << i;
            EXPECT_EQ(&ShownUnit(q, With(setting, c)), &r) << i << " choice " << c;
        }
        EXPECT_EQ(&ShownUnit(q, With(setting, -1)), rows.back()) << i;
    }
    const std::pair<Q, Q> alike[] = {{Q::Speed, Q::Distance}, {Q::LiquidQuantity, Q::FuelFlow},
                                     {Q::ManifoldPressure, Q::BaroPressure}, {Q::LogbookSpeed, Q::LogbookDistance}};
    for (const auto& [a, b] : alike)
        for (int16_t c = -1; c < 3; ++c) {
            const UnitRow &ra = ShownUnit(a, With(SettingOf(a), c)), &rb = ShownUnit(b, With(SettingOf(b), c));
            EXPECT_EQ(ra.multiplier, rb.multiplier);
            EXPECT_EQ(ra.divisor, rb.divisor);
        }
    // The logbook's distances read as the chart's do: mi, km, nm.
    for (int16_t c = 0; c < 3; ++c)
        EXPECT_EQ(ShownUnit(Q::LogbookDistance, With(&UnitSettings::Speed, c)).symbol,
                  ShownUnit(Q::Distance, With(&UnitSettings::Speed, c)).symbol);
}
