#include "replay/units.h"

#include <array>
#include <cmath>
#include <optional>

#include "settings/limits.h"

namespace krelby {
namespace {

using Q = UnitQuantity;
constexpr int16_t kRecorded = UnitRow::kRecorded;
constexpr long double kMilesPerTenthKmh = 6.213712L, kKnotsPerTenthKmh = 5.399568L;  // per 100
constexpr long double kInHgPerBar = 29.52999L;
constexpr long double kPsiPerBar = 14.50377L, kUsGallonsPerLitre = 0.2641721L, kMetresPerSecondPerFpm = 0.00508L;
constexpr long double kKmhPerKnot = static_cast<long double>(kMetresPerNauticalMile) / 1000, kKmhPerMile = 1.609344L;

// Captions are the Options dialog's own texts; symbols follow a value in the chart and the logbook.
constexpr UnitRow kRows[] = {
    {Q::Altitude, 0, "Feet", "ft", 1, 1, 0, 0},
    {Q::Altitude, 1, "Meters", "m", 1, kFeetPerMetre, 0, 0},
    {Q::Altitude, kRecorded, "", "ft", 1, 1, 0, 0},
    {Q::VerticalSpeed, 0, "Feet per minute", "ft/min", 1, 1, 0, 0},
    {Q::VerticalSpeed, 1, "Meters per second", "m/s", kMetresPerSecondPerFpm, 1, 0, 2},
    {Q::VerticalSpeed, kRecorded, "", "ft/min", 1, 1, 0, 0},
    {Q::Speed, 0, "Miles per hour", "mph", kMilesPerTenthKmh, 100, 0, 0},
    {Q::Speed, 1, "Kilometers per hour", "km/h", 1, kRawPerKmh, 0, 0},
    {Q::Speed, 2, "Nautical Miles per hour", "kt", kKnotsPerTenthKmh, 100, 0, 0},
    {Q::Speed, kRecorded, "", "0.1 km/h", 1, 1, 0, 0},
    {Q::Distance, 0, "", "mi", kMilesPerTenthKmh, 100, 0, 0},
    {Q::Distance, 1, "", "km", 1, kRawPerKilometre, 0, 0},
    {Q::Distance, 2, "", "nm", kKnotsPerTenthKmh, 100, 0, 0},
    {Q::Distance, kRecorded, "", "0.1 km", 1, 1, 0, 0},
    {Q::Temperature, 0, "Celsius", "°C", 1, 1, 0, 0},
    {Q::Temperature, 1, "Fahrenheit", "°F", 9, 5, 32, 0},
    {Q::Temperature, kRecorded, "", "°C", 1, 1, 0, 0},
    {Q::EnginePressure, 0, "Bar", "bar", 1, kRawPerBar, 0, 2},
    {Q::EnginePressure, 1, "PSI", "psi", kPsiPerBar, kRawPerBar, 0, 1},
    {Q::EnginePressure, kRecorded, "", "0.1 mbar", 1, 1, 0, 0},
    {Q::ManifoldPressure, 0, "Millibars", "mbar", 1, kRawPerMillibar, 0, 1},
    {Q::ManifoldPressure, 1, "\"HG", "inHg", kInHgPerBar, kRawPerBar, 0, 2},
    {Q::ManifoldPressure, kRecorded, "", "0.1 mbar", 1, 1, 0, 0},
    {Q::LiquidQuantity, 0, "Liters", "l", 1, 1, 0, 1},
    {Q::LiquidQuantity, 1, "US Gallons", "gal", kUsGallonsPerLitre, 1, 0, 1},
    {Q::LiquidQuantity, kRecorded, "", "l", 1, 1, 0, 1},
    {Q::FuelFlow, 0, "", "l/h", 1, 1, 0, 0},
    {Q::FuelFlow, 1, "", "gal/h", kUsGallonsPerLitre, 1, 0, 0},
    {Q::FuelFlow, kRecorded, "", "l/h", 1, 1, 0, 0},
    {Q::BaroPressure, 0, "Millibars", "mbar", 1, kRawPerMillibar, 0, 1},
    {Q::BaroPressure, 1, "\"HG", "inHg", kInHgPerBar, kRawPerBar, 0, 2},
    {Q::BaroPressure, kRecorded, "", "0.1 mbar", 1, 1, 0, 0},
    {Q::LogbookSpeed, 0, "", "mph", kKmhPerKnot, kKmhPerMile, 0, 1},
    {Q::LogbookSpeed, 1, "", "km/h", kKmhPerKnot, 1, 0, 1},
    {Q::LogbookSpeed, 2, "", "kt", 1, 1, 0, 1},
    {Q::LogbookSpeed, kRecorded, "", "kt", 1, 1, 0, 1},
    {Q::LogbookVerticalSpeed, 0, "", "fpm", 1, 1, 0, 0},
    {Q::LogbookVerticalSpeed, 1, "", "m/s", kMetresPerSecondPerFpm, 1, 0, 2},
    {Q::LogbookVerticalSpeed, kRecorded, "", "fpm", 1, 1, 0, 0},
    {Q::LogbookPressure, 0, "", "bar", 1, 1, 0, 2},
    {Q::LogbookPressure, 1, "", "psi", kPsiPerBar, 1, 0, 1},
    {Q::LogbookPressure, kRecorded, "", "bar", 1, 1, 0, 2},
    {Q::LogbookDistance, 0, "", "mi", kKmhPerKnot, kKmhPerMile, 0, 1},
    {Q::LogbookDistance, 1, "", "km", kKmhPerKnot, 1, 0, 1},
    {Q::LogbookDistance, 2, "", "nm", 1, 1, 0, 1},
    {Q::LogbookDistance, kRecorded, "", "nm", 1, 1, 0, 1},
};

// Figures held as doubles take the factors as doubles: each constant must round to the
// double its decimal text gives, as the logbook has always multiplied by that.
static_assert(static_cast<double>(kFeetPerMetre) == 3.28083 && static_cast<double>(kKmhPerKnot) == 1.852 &&
              static_cast<double>(kKmhPerMile) == 1.609344 && static_cast<double>(kPsiPerBar) == 14.50377 &&
              static_cast<double>(kUsGallonsPerLitre) == 0.2641721 &&
              static_cast<double>(kMetresPerSecondPerFpm) == 0.00508);

constexpr int kChoices = 3;  // the longest Options list
// Row of each quantity and choice; the last slot is the recorded unit.
constexpr auto kIndex = [] {
    std::array<std::array<uint8_t, kChoices + 1>, kUnitQuantities> index{};
    for (size_t i = 0; i < std::size(kRows); ++i) {
        auto& rows = index[static_cast<size_t>(kRows[i].quantity)];
        if (kRows[i].choice == kRecorded) rows.fill(static_cast<uint8_t>(i));
    }
    for (size_t i = 0; i < std::size(kRows); ++i) {
        auto& rows = index[static_cast<size_t>(kRows[i].quantity)];
        if (kRows[i].choice != kRecorded) rows[static_cast<size_t>(kRows[i].choice)] = static_cast<uint8_t>(i);
    }
    return index;
}();

constexpr int16_t UnitSettings::*kSettings[kUnitQuantities] = {
    &UnitSettings::Altitude, &UnitSettings::VSI,  &UnitSettings::Speed, &UnitSettings::Speed,
    &UnitSettings::Temp,     &UnitSettings::OilP, &UnitSettings::MAP,   &UnitSettings::LiqQ,
    &UnitSettings::LiqQ,     &UnitSettings::Baro, &UnitSettings::Speed, &UnitSettings::VSI,
    &UnitSettings::OilP,     &UnitSettings::Speed,
};

// The rows that convert nothing (the recorded unit, or a choice equal to it), told once.
constexpr auto kUnchanged = [] {
    std::array<bool, std::size(kRows)> unchanged{};
    for (size_t i = 0; i < std::size(kRows); ++i)
        unchanged[i] = kRows[i].multiplier == 1 && kRows[i].divisor == 1 && kRows[i].offset == 0;
    return unchanged;
}();
bool Unchanged(const UnitRow& r) { return kUnchanged[static_cast<size_t>(&r - kRows)]; }

// x * multiplier / divisor in long double (a multiplier or divisor of 1 changes no bit).
long double Scaled(long double x, const UnitRow& r) { return x * r.multiplier / r.divisor; }

// Nearest integer, halves to even (the default rounding mode), from a wide product.
int32_t RoundHalfEven(long double x) { return static_cast<int32_t>(std::rintl(x)); }

int32_t RoundedIn(Q q, int32_t v, const UnitSettings& u) {
    const UnitRow& r = ShownUnit(q, u);
    return Unchanged(r) ? v : RoundHalfEven(Scaled(v, r));
}

double RealIn(Q q, double v, const UnitSettings& u) {
    const UnitRow& r = ShownUnit(q, u);
    return Unchanged(r) ? v : static_cast<double>(Scaled(v, r));
}

}  // namespace

int16_t UnitSettings::*SettingOf(UnitQuantity q) { return kSettings[static_cast<size_t>(q)]; }

std::span<const UnitRow> UnitRows() { return kRows; }

const UnitRow& ShownUnit(UnitQuantity q, const UnitSettings& u) {
    const int choice = u.*SettingOf(q);
    const auto& rows = kIndex[static_cast<size_t>(q)];
    return kRows[rows[choice >= 0 && choice < kChoices ? choice : kChoices]];
}

int32_t ConvertAltitude(int32_t feet, const UnitSettings& u) { return RoundedIn(Q::Altitude, feet, u); }

int32_t ConvertSpeed(int32_t v, const UnitSettings& u) { return RoundedIn(Q::Speed, v, u); }

double ConvertBaroPressure(int32_t v, const UnitSettings& u) { return RealIn(Q::BaroPressure, v, u); }

int32_t ConvertTemperature(int32_t celsius, const UnitSettings& u) {
    const UnitRow& r = ShownUnit(Q::Temperature, u);
    if (Unchanged(r)) return celsius;
    // Integer arithmetic, quotient truncated toward zero: no rounding.
    return static_cast<int32_t>(int64_t{celsius} * static_cast<int64_t>(r.multiplier) /
                                    static_cast<int64_t>(r.divisor) + r.offset);
}

double ConvertEnginePressure(int32_t v, const UnitSettings& u) { return RealIn(Q::EnginePressure, v, u); }

double ConvertLiquidQuantity(double litres, const UnitSettings& u) { return RealIn(Q::LiquidQuantity, litres, u); }

VerticalSpeed ConvertVerticalSpeed(int64_t fpm, const UnitSettings& u) {
    const UnitRow& r = ShownUnit(Q::VerticalSpeed, u);
    if (r.decimals == 0) return {static_cast<double>(fpm), 0, fpm};  // whole feet per minute, as recorded
    return {static_cast<double>(Scaled(static_cast<long double>(fpm), r)), r.decimals, 0};
}

double ConvertManifoldPressure(int32_t v, const UnitSettings& u) { return RealIn(Q::ManifoldPressure, v, u); }

namespace {

// The recorded system writes the display's raw steps exactly (0.1 km/h as km/h with one
// decimal); the SI system keeps the raw resolution (0.1 km/h is 0.028 m/s). Litres and
// cubic metres are of fuel, 0.1 l recorded; flows are in 0.01 l/h.
constexpr long double kSecondsPerHour = 3600, kLitresPerCubicMetre = 1000;
constexpr SystemUnit kRecordedUnits[] = {
    {Q::Altitude, "ft", 1, 1, 0},
    {Q::VerticalSpeed, "ft/min", 1, 1, 0},
    {Q::Speed, "km/h", 1, kRawPerKmh, 1},
    {Q::Distance, "km", 1, kRawPerKilometre, 1},
    {Q::Temperature, "°C", 1, 1, 0},
    {Q::EnginePressure, "bar", 1, kRawPerBar, 4},
    {Q::ManifoldPressure, "bar", 1, kRawPerBar, 4},
    {Q::LiquidQuantity, "l", 1, 1, 1},
    {Q::FuelFlow, "l/h", 1, 1, 2},
    {Q::BaroPressure, "mbar", 1, kRawPerMillibar, 1},
};
constexpr SystemUnit kSiUnits[] = {
    {Q::Altitude, "m", 1, kFeetPerMetre, 2},
    {Q::VerticalSpeed, "m/s", kMetresPerSecondPerFpm, 1, 5},
    {Q::Speed, "m/s", 1, kRawPerKmh * kSecondsPerHour / 1000, 3},
    {Q::Distance, "m", 1000, kRawPerKilometre, 0},
    {Q::Temperature, "°C", 1, 1, 0},  // the SI's own unit of Celsius temperature
    {Q::EnginePressure, "Pa", 100000, kRawPerBar, 0},
    {Q::ManifoldPressure, "Pa", 100000, kRawPerBar, 0},
    {Q::LiquidQuantity, "m³", 1, kLitresPerCubicMetre, 4},
    {Q::FuelFlow, "m³/s", 1, kLitresPerCubicMetre * kSecondsPerHour, 12},
    {Q::BaroPressure, "Pa", 100, kRawPerMillibar, 0},
};

}  // namespace

SystemUnit UnitInSystem(UnitQuantity q, UnitSystem system) {
    if (system != UnitSystem::Chosen)
        for (const SystemUnit& u : system == UnitSystem::Si ? std::span(kSiUnits) : std::span(kRecordedUnits))
            if (u.quantity == q) return u;
    const UnitRow& r = ShownUnit(q, RecordedUnitSettings());
    return {q, r.symbol, 1, 1, r.decimals};
}

UnitSettings RecordedUnitSettings() {
    UnitSettings u;
    for (size_t q = 0; q < kUnitQuantities; ++q) u.*kSettings[q] = kRecorded;
    return u;
}

namespace {

// A limit's own offset: none for the EGT spread and the cooling rate, differences of two
// temperatures.
int OffsetOf(LimitKey k, const UnitRow& r) {
    const LimitOn on = InfoOf(k).on;
    return on == LimitOn::EgtSpread || on == LimitOn::ChtCooling ? 0 : r.offset;
}

}  // namespace

// The table's recorded unit of a pressure is 1/10000 bar; a limit holds bar.
double LimitShown(LimitKey k, double recorded, const UnitSettings& u) {
    const LimitKeyInfo& info = InfoOf(k);
    if (!info.quantity) return recorded;
    const UnitRow& r = ShownUnit(*info.quantity, u);
    const double raw = InBar(info) ? recorded * kRawPerBar : recorded;
    return raw * r.Factor() + OffsetOf(k, r);
}

double LimitRecorded(LimitKey k, double shown, const UnitSettings& u) {
    const LimitKeyInfo& info = InfoOf(k);
    if (!info.quantity) return shown;
    const UnitRow& r = ShownUnit(*info.quantity, u);
    const double raw = (shown - OffsetOf(k, r)) / r.Factor();
    return InBar(info) ? raw / kRawPerBar : raw;
}

std::string_view LimitSymbol(LimitKey k, const UnitSettings& u) {
    const auto& q = InfoOf(k).quantity;
    if (!q) return "rpm";
    const std::string_view symbol = ShownUnit(*q, u).symbol;
    if (InfoOf(k).on == LimitOn::ChtCooling) return symbol == "°F" ? "°F/min" : "°C/min";
    return symbol;
}

int LimitDecimals(LimitKey k, const UnitSettings& u) {
    const LimitKeyInfo& info = InfoOf(k);
    if (info.on == LimitOn::ChtCooling) return 1;  // as the greatest rate is shown
    return InBar(info) ? ShownUnit(*info.quantity, u).decimals : 0;
}

bool LimitShownAsRecorded(LimitKey k, const UnitSettings& u) {
    return LimitShown(k, 0, u) == 0 && LimitShown(k, 1, u) == 1;
}

}  // namespace krelby
