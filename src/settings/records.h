// The settings records held in memory between start and close.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "base/recorded_units.h"

namespace krelby {

struct KmlStyle {
    uint8_t LineWidth = 0;    // KML width is index + 1
    uint8_t LineColor = 0;    // yellow
    uint8_t LineOpacity = 0;  // fully opaque
    uint8_t Clamp2GND = 0;
    uint8_t ExtrudePoly = 1;
    uint8_t PolyColor = 2;    // blue
    uint8_t PolyOpacity = 1;  // half
};

// Unit choices: the index of the chosen unit in the options dialog's list, 0 the default.
struct UnitSettings {
    int16_t Altitude = 0;
    int16_t VSI = 0;
    int16_t Speed = 0;
    int16_t Temp = 0;
    int16_t OilP = 0;
    int16_t MAP = 0;
    int16_t FuelP = 0;
    int16_t LiqQ = 0;
    int16_t Baro = 0;
    int16_t HFrac = 0;
    int16_t GeoPos = 0;
};

// A quantity in the unit it is recorded in, converted by one unit setting (replay/units.h). Two quantities
// share a setting when they differ in recorded unit or in symbols.
enum class UnitQuantity : uint8_t {
    Altitude,          // feet; Altitude
    VerticalSpeed,     // feet per minute; VSI
    Speed,             // 0.1 km/h; Speed
    Distance,          // 0.1 km, converted as a speed; Speed
    Temperature,       // whole degrees Celsius; Temp
    EnginePressure,    // 1/10000 bar; OilP
    ManifoldPressure,  // 0.1 mbar; MAP
    LiquidQuantity,    // litres; LiqQ
    FuelFlow,          // litres per hour; LiqQ
    BaroPressure,      // 0.1 mbar; Baro
    // The logbook's figures: speeds in knots, pressures in bar, a vertical speed as "fpm",
    // distances in nautical miles (following the speed: statute miles with mph, km with km/h).
    LogbookSpeed,
    LogbookVerticalSpeed,
    LogbookPressure,
    LogbookDistance,
};
constexpr int kUnitQuantities = static_cast<int>(UnitQuantity::LogbookDistance) + 1;

enum ThermocoupleKind : uint8_t { EGT = 0, CHT = 1, Other = 2 };
// Entry ThermocoupleIndex(monitor, input) for each of the 12 inputs of the 4 monitors.
using ThermocoupleKinds = std::array<uint8_t, kThermocoupleCount>;

constexpr int kCheckBoxCount = 213;
// The ticked state of CheckBox1..CheckBox213, indexed by check box number (index 0 unused).
class DataSelection {
public:
    bool Ticked(int number) const { return number >= 1 && number <= kCheckBoxCount && ticked_[number]; }
    void Set(int number, bool on) {
        if (number >= 1 && number <= kCheckBoxCount) ticked_[number] = on;
    }
    int Count() const {
        int n = 0;
        for (bool b : ticked_) n += b;
        return n;
    }

private:
    std::array<bool, kCheckBoxCount + 1> ticked_{};
};

// "General" section; the current flight file is kept beside the records, by whoever loads them.
struct GeneralSettings {
    bool View3D = false;
};

// The pilot's engine limits, one set for every engine monitor, in the recording's units
// (rpm, bar, °C; °C per minute for the cooling of a cylinder head). In the order of the [Limits] keys (kLimitKeys in settings/limits.h).
enum class LimitKey : uint8_t {
    RpmMax, MapMax, OilPressureMin, OilPressureMax, OilTempMax, FuelPressureMin, FuelPressureMax,
    CoolantTempMax, EgtMax, ChtMax, EgtSpreadMax, ChtCoolingMax,
};
constexpr int kLimitKeyCount = 12;

struct LimitSetting {
    std::optional<double> value;  // none: no limit
    std::string text;             // as read from Krelby.INI, written back as it is ("" for none)
    bool operator==(const LimitSetting&) const = default;
};

// Whole seconds of the exceedance rule: the [Limits] keys ExceedanceMergeSeconds (runs of one
// series this close are joined) and ExceedanceMinSeconds (shorter ones are dropped).
struct SecondsSetting {
    int64_t value = 0;
    std::string text;  // as read from Krelby.INI, written back as it is ("" when absent)
    bool operator==(const SecondsSetting&) const = default;
};
constexpr int64_t kDefaultMergeSeconds = 10;
constexpr int64_t kDefaultMinSeconds = 0;

struct Limits {
    std::array<LimitSetting, kLimitKeyCount> keys;
    SecondsSetting mergeSeconds{kDefaultMergeSeconds, {}};
    SecondsSetting minSeconds{kDefaultMinSeconds, {}};
    const std::optional<double>& operator[](LimitKey k) const { return keys[static_cast<size_t>(k)].value; }
    // Sets or clears a limit; its text becomes the value's (LimitText).
    void Set(LimitKey k, std::optional<double> value);
    // Sets one of the two seconds; its text becomes the number.
    static void Set(SecondsSetting& s, int64_t value) {
        s.value = value;
        s.text = std::to_string(value);
    }
    bool Any() const {
        for (const LimitSetting& s : keys)
            if (s.value) return true;
        return false;
    }
};

struct Settings {
    KmlStyle kml;
    UnitSettings units;
    ThermocoupleKinds thermocouples{};  // all EGT
    DataSelection selection;
    GeneralSettings general;
    Limits limits;
};

}  // namespace krelby
