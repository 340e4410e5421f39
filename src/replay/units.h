// The display units: one table of every unit choice (its Options caption, its symbol and
// its conversion from the recorded unit), and the conversions that read it. Each reads the
// unit settings afresh at every call.
// Integer results round halves to even; real results are the double nearest the exact value.
#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "settings/records.h"

namespace krelby {

// Feet in a metre, as every altitude in metres is figured.
constexpr long double kFeetPerMetre = 3.28083L;

// The setting that chooses a quantity's unit (UnitQuantity is kept beside UnitSettings).
int16_t UnitSettings::*SettingOf(UnitQuantity q);

// One unit a quantity is shown in. A value in the recorded unit becomes
// value * multiplier / divisor + offset in this one; multiplier and divisor are kept apart
// so that each conversion forms its product and quotient in that order.
struct UnitRow {
    static constexpr int16_t kRecorded = -1;

    UnitQuantity quantity;
    int16_t choice;            // the index in the Options list; kRecorded for the recorded unit
    std::string_view caption;  // in the Options list; empty where another quantity lists the setting
    std::string_view symbol;   // after a value ("ft", "km/h", "°C")
    long double multiplier, divisor;
    int offset;    // added to a value, never to a difference of two (a temperature spread)
    int decimals;  // of a figure shown in this unit: the logbook's, a vertical speed, a pressure read (0: whole)

    // The factor as a double, for figures held as reals (x * Factor() + offset).
    double Factor() const { return static_cast<double>(multiplier) / static_cast<double>(divisor); }
};

// Every row, in the order of the Options lists within each quantity.
std::span<const UnitRow> UnitRows();
// The unit a quantity is shown in with these settings: the chosen row, or the recorded unit
// for a choice outside the list.
const UnitRow& ShownUnit(UnitQuantity q, const UnitSettings& u);

int32_t ConvertAltitude(int32_t feet, const UnitSettings& u);
int32_t ConvertSpeed(int32_t tenthsKmh, const UnitSettings& u);  // also distances in 0.1 km
double ConvertBaroPressure(int32_t tenthsMbar, const UnitSettings& u);
int32_t ConvertTemperature(int32_t celsius, const UnitSettings& u);
double ConvertEnginePressure(int32_t tenThousandthsBar, const UnitSettings& u);
double ConvertLiquidQuantity(double litres, const UnitSettings& u);

// Vertical speeds follow the VSI choice: feet per minute as recorded (an integer text),
// or metres per second (fpm x 0.00508, FixedText 7/2); any other choice as recorded.
struct VerticalSpeed {
    double value;
    int decimals;  // 0: IntegerText of `integer`; else FixedText 7/decimals of `value`
    int64_t integer;
};
VerticalSpeed ConvertVerticalSpeed(int64_t feetPerMinute, const UnitSettings& u);

// Manifold pressure follows the MAP choice: millibars (raw / 10), inches of mercury
// (raw x 29.52999 / 10000), any other choice raw. Its text stays FixedText 7/1.
double ConvertManifoldPressure(int32_t tenThousandthsBar, const UnitSettings& u);

// The three unit systems of the analysis table: the recording's own units (feet, km/h, bar,
// mbar, litres, as the display records them), the units chosen in Options, or SI units.
enum class UnitSystem : uint8_t { Recorded, Chosen, Si };

// A quantity's unit in the recorded or the SI system, from a value in the unit of its
// recorded row (UnitRow::kRecorded, what a replay under RecordedUnitSettings gives):
// value * multiplier / divisor, written with `decimals` decimals.
struct SystemUnit {
    UnitQuantity quantity;
    std::string_view symbol;
    long double multiplier, divisor;
    int decimals;
};
// Recorded or Si; for a quantity without a row there (the logbook's), its recorded row.
SystemUnit UnitInSystem(UnitQuantity q, UnitSystem system);
// Unit settings under which every conversion gives the recorded row's value: each choice
// outside its list.
UnitSettings RecordedUnitSettings();

// The [Limits] keys in the units shown: rpm as recorded; pressures (bar) and temperatures
// (°C) by their quantity's row; the EGT spread and the cooling rate (°C per minute) as
// differences of temperatures, so without the row's offset.
double LimitShown(LimitKey k, double recorded, const UnitSettings& u);
double LimitRecorded(LimitKey k, double shown, const UnitSettings& u);
std::string_view LimitSymbol(LimitKey k, const UnitSettings& u);
// Decimals of a limit or a peak shown: whole rpm and degrees, pressures as their unit reads,
// cooling rates to a tenth of a degree per minute.
int LimitDecimals(LimitKey k, const UnitSettings& u);
// Whether the units shown are the recording's own for this limit (no conversion).
bool LimitShownAsRecorded(LimitKey k, const UnitSettings& u);

}  // namespace krelby
