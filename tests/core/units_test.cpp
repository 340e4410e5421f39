#include <gtest/gtest.h>

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
    EXPECT_FALSE(fpm.isReal);
    EXPECT_EQ(fpm.integer, -500);
    auto ms = ConvertVerticalSpeed(1000, With(&UnitSettings::VSI, 1));
    EXPECT_TRUE(ms.isReal);
    EXPECT_DOUBLE_EQ(ms.value, 5.08);
    EXPECT_EQ(ConvertVerticalSpeed(2147483648LL, {}).integer, 2147483648LL);
    EXPECT_DOUBLE_EQ(ConvertManifoldPressure(10132, With(&UnitSettings::MAP, 0)), 1013.2);
    EXPECT_EQ(ConvertManifoldPressure(10000, With(&UnitSettings::MAP, 1)), 29.52999);
    EXPECT_EQ(ConvertManifoldPressure(10000, With(&UnitSettings::MAP, 5)), 10000);
}
