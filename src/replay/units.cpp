#include "replay/units.h"

#include <cmath>

namespace krelby {
namespace {

// Nearest integer, halves to even (the default rounding mode), from a wide product.
int32_t RoundHalfEven(long double x) { return static_cast<int32_t>(std::rintl(x)); }

// Barometric and manifold pressures share their raw unit (1/10000 bar is 0.1 mbar) and
// their two choices: millibars or inches of mercury; any other choice leaves them raw.
double PressureIn(int32_t tenthsMbar, int16_t choice) {
    switch (choice) {
        case 0: return static_cast<double>(tenthsMbar / 10.0L);
        case 1: return static_cast<double>(tenthsMbar * 29.52999L / 10000);
        default: return tenthsMbar;
    }
}

}  // namespace

int32_t ConvertAltitude(int32_t feet, const UnitSettings& u) {
    return u.Altitude == 1 ? RoundHalfEven(feet / 3.28083L) : feet;
}

int32_t ConvertSpeed(int32_t v, const UnitSettings& u) {
    switch (u.Speed) {
        case 0: return RoundHalfEven(v * 6.213712L / 100);
        case 1: return RoundHalfEven(v / 10.0L);
        case 2: return RoundHalfEven(v * 5.399568L / 100);
        default: return v;
    }
}

double ConvertBaroPressure(int32_t v, const UnitSettings& u) { return PressureIn(v, u.Baro); }

int32_t ConvertTemperature(int32_t celsius, const UnitSettings& u) {
    if (u.Temp != 1) return celsius;
    // Integer arithmetic, quotient truncated toward zero: no rounding.
    return static_cast<int32_t>(int64_t{celsius} * 9 / 5 + 32);
}

TemperatureScale TemperatureScaleOf(const UnitSettings& u) {
    return u.Temp == 1 ? TemperatureScale{1.8, 32} : TemperatureScale{1, 0};
}

double ConvertEnginePressure(int32_t v, const UnitSettings& u) {
    switch (u.OilP) {
        case 0: return static_cast<double>(v / 10000.0L);
        case 1: return static_cast<double>(v * 14.50377L / 10000);
        default: return v;
    }
}

double ConvertLiquidQuantity(double litres, const UnitSettings& u) {
    return u.LiqQ == 1 ? static_cast<double>(litres * 0.2641721L) : litres;
}

VerticalSpeed ConvertVerticalSpeed(int64_t fpm, const UnitSettings& u) {
    if (u.VSI == 1) return {static_cast<double>(fpm * 0.00508L), true, 0};
    return {static_cast<double>(fpm), false, fpm};
}

double ConvertManifoldPressure(int32_t v, const UnitSettings& u) { return PressureIn(v, u.MAP); }

}  // namespace krelby
