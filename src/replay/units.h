// Display unit conversions; each reads the unit settings afresh at every call.
// Integer results round halves to even; real results are the double nearest the exact value.
#pragma once
#include <cstdint>

#include "settings/records.h"

namespace krelby {

int32_t ConvertAltitude(int32_t feet, const UnitSettings& u);
int32_t ConvertSpeed(int32_t tenthsKmh, const UnitSettings& u);  // also distances in 0.1 km
double ConvertBaroPressure(int32_t tenthsMbar, const UnitSettings& u);
int32_t ConvertTemperature(int32_t celsius, const UnitSettings& u);
// The Temp choice as a straight line, for figures shown as reals: a temperature is
// celsius x factor + offset, a difference of two (a spread) is celsius x factor alone.
struct TemperatureScale {
    double factor, offset;
    double Value(double celsius) const { return celsius * factor + offset; }
    double Difference(double celsius) const { return celsius * factor; }
};
TemperatureScale TemperatureScaleOf(const UnitSettings& u);
double ConvertEnginePressure(int32_t tenThousandthsBar, const UnitSettings& u);
double ConvertLiquidQuantity(double litres, const UnitSettings& u);

// Vertical speeds follow the VSI choice: feet per minute as recorded (an integer text),
// or metres per second (fpm x 0.00508, FixedText 7/2); any other choice as recorded.
struct VerticalSpeed {
    double value;
    bool isReal;  // true: FixedText 7/2; false: IntegerText of `integer`
    int64_t integer;
};
VerticalSpeed ConvertVerticalSpeed(int64_t feetPerMinute, const UnitSettings& u);

// Manifold pressure follows the MAP choice: millibars (raw / 10), inches of mercury
// (raw x 29.52999 / 10000), any other choice raw. Its text stays FixedText 7/1.
double ConvertManifoldPressure(int32_t tenThousandthsBar, const UnitSettings& u);

}  // namespace krelby
