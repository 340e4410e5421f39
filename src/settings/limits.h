// The [Limits] keys of Krelby.INI as one table, and how a value is read and written. The INI
// reader, the Limits dialog, the exceedance rule and the chart's limit lines all read the
// table: a new limit is a LimitKey and a row.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "format/messages.h"
#include "settings/records.h"

namespace krelby {

// What a limit is held against in each EngineMessage of a monitor.
enum class LimitOn : uint8_t {
    Field,      // one field of the message
    EgtInputs,  // each thermocouple input of kind EGT
    ChtInputs,  // each thermocouple input of kind CHT
    EgtSpread,  // hottest minus coldest EGT input above 0 °C, of two or more
    ChtCooling, // the cooling rate of each CHT input (logbook/cooling.h), °C per minute
};

struct LimitKeyInfo {
    LimitKey key;
    std::string_view name;     // the INI key, and the dialog field's object name
    std::string_view caption;  // in the Limits dialog
    LimitOn on;
    uint8_t field;  // LimitOn::Field: the EngineMessage frame offset, else 0
    bool minimum;   // below is an exceedance (else above)
    bool rpmRule;   // a message counts only while the engine turns at kRpmRuleMin or more
    // The unit it is shown in, converted as that quantity; none for rpm, shown as recorded.
    // Pressures are held in bar, temperatures in °C, the cooling rate in °C per minute.
    std::optional<UnitQuantity> quantity;
    std::string_view stem;  // of its series' title: RPM gives RPM_1, EGT gives EGT3_1
};

// The rpm rule: a limit or a figure that has it counts only at this many rpm or more.
constexpr int kRpmRuleMin = 500;

// Indexed by LimitKey.
inline constexpr std::array<LimitKeyInfo, kLimitKeyCount> kLimitKeys = [] {
    using K = LimitKey;
    using Q = UnitQuantity;
    using On = LimitOn;
    using E = EngineMessage;
    constexpr auto kPressure = Q::EnginePressure;
    return std::array<LimitKeyInfo, kLimitKeyCount>{{
        {K::RpmMax, "RpmMax", "Maximum RPM", On::Field, E::kRpm, false, false, std::nullopt, "RPM"},
        {K::MapMax, "MapMax", "Maximum manifold pressure", On::Field, E::kManifoldPressure, false, false,
         Q::ManifoldPressure, "MAP"},
        {K::OilPressureMin, "OilPressureMin", "Minimum oil pressure (at 500 rpm or more)", On::Field,
         E::kOilPressure, true, true, kPressure, "OILP"},
        {K::OilPressureMax, "OilPressureMax", "Maximum oil pressure", On::Field, E::kOilPressure, false, false,
         kPressure, "OILP"},
        {K::OilTempMax, "OilTempMax", "Maximum oil temperature", On::Field, E::kOilTemp, false, false,
         Q::Temperature, "OILT"},
        {K::FuelPressureMin, "FuelPressureMin", "Minimum fuel pressure (at 500 rpm or more)", On::Field,
         E::kFuelPressure, true, true, kPressure, "FP"},
        {K::FuelPressureMax, "FuelPressureMax", "Maximum fuel pressure", On::Field, E::kFuelPressure, false, false,
         kPressure, "FP"},
        {K::CoolantTempMax, "CoolantTempMax", "Maximum coolant temperature", On::Field, E::kCoolantTemp, false,
         false, Q::Temperature, "COOL"},
        {K::EgtMax, "EgtMax", "Maximum EGT (each EGT input)", On::EgtInputs, 0, false, false, Q::Temperature, "EGT"},
        {K::ChtMax, "ChtMax", "Maximum CHT (each CHT input)", On::ChtInputs, 0, false, false, Q::Temperature, "CHT"},
        {K::EgtSpreadMax, "EgtSpreadMax", "Maximum EGT spread", On::EgtSpread, 0, false, false, Q::Temperature,
         "EGTSPREAD"},
        // A rate of a difference of temperatures: °F/min is 1.8 °C/min, no offset. Its series
        // is CHT3COOL_1 for input 3 of monitor 1.
        {K::ChtCoolingMax, "ChtCoolingMax", "Maximum CHT cooling (each CHT input)", On::ChtCooling, 0, false, false,
         Q::Temperature, "CHT"},
    }};
}();
constexpr const LimitKeyInfo& InfoOf(LimitKey k) { return kLimitKeys[static_cast<size_t>(k)]; }
static_assert([] {
    for (size_t k = 0; k < kLimitKeys.size(); ++k)
        if (static_cast<size_t>(kLimitKeys[k].key) != k) return false;
    return true;
}(), "kLimitKeys is indexed by LimitKey");

// Whether the limit is held in bar: its field is a pressure, the recorded value / kRawPerBar.
constexpr bool InBar(const LimitKeyInfo& k) {
    return k.quantity == UnitQuantity::EnginePressure || k.quantity == UnitQuantity::ManifoldPressure;
}
// The limit on each thermocouple input of `kind`; none for kind Other.
constexpr std::optional<LimitKey> InputLimitOf(uint8_t kind) {
    const LimitOn on = kind == EGT ? LimitOn::EgtInputs : LimitOn::ChtInputs;
    if (kind != EGT && kind != CHT) return std::nullopt;
    for (const LimitKeyInfo& k : kLimitKeys)
        if (k.on == on) return k.key;
    return std::nullopt;
}

// Limits beyond this magnitude are refused: no engine reads a million of anything, and a
// longer number would be written back with hundreds of digits.
constexpr double kLimitMagnitude = 1e6;

enum class LimitRead { Ok, Empty, NotANumber, OutOfRange };
// An optional minus, digits, and optionally a point and digits ("2.75", "-10", "230"), read
// whatever the locale; anything else ("1e3", "2,75", "+5", "2.") is NotANumber, and a
// number beyond ±kLimitMagnitude is OutOfRange. `value` is set only for Ok.
LimitRead ReadLimit(std::string_view text, double& value);
// The value when ReadLimit gives Ok, else nullopt.
std::optional<double> ParseLimit(std::string_view text);
// The value in full, as the rule compares it: the fewest decimals that read back as the same
// number (2.75, 230, 2700.99999), so that a limit never reads as the peak beyond it.
std::string LimitText(double value);
// At most 4 decimals, trailing zeros dropped: a limit converted from the units shown.
double RoundedLimit(double value);

// The two keys of whole seconds: digits only; the default for anything else.
struct SecondsKeyInfo {
    std::string_view name;
    std::string_view caption;  // in the Limits dialog
    SecondsSetting Limits::*field;
    int64_t defaultValue;
};
extern const std::array<SecondsKeyInfo, 2> kSecondsKeys;
// Digits only ("10", "0"); nullopt for anything else, also for "" and "-1". A number of more
// seconds than any flight spans reads as kSecondsCeiling, which the rule treats alike.
std::optional<int64_t> ParseSeconds(std::string_view text);
constexpr int64_t kSecondsCeiling = int64_t{1} << 40;

}  // namespace krelby
