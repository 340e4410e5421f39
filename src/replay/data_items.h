// The data items of every message as tables: one row per item with its check box,
// series title, value axis, CSV column, column name, field, conversion and value text.
#pragma once
#include <array>
#include <cstdint>
#include <string_view>

#include "replay/sink.h"
#include "settings/records.h"

namespace krelby {

// How a field is read from its frame offset.
enum class Raw : uint8_t {
    U8, I16, U16, I32,
    Bit16,  // bit `bit` of the u16 at the offset (0 or 1)
    Bit32,  // bit `bit` of the u32 at the offset
};

// From the raw integer to the charted value and its text.
enum class Conv : uint8_t {
    None,            // the raw integer
    Tenths,          // raw / 10
    Hundredths,      // raw / 100
    Deviation,       // raw / 4096
    Rate,            // CompressedRate
    Altitude,        // ConvertAltitude
    Speed,           // ConvertSpeed (also distances in 0.1 km)
    Baro,            // ConvertBaroPressure
    Temperature,     // ConvertTemperature
    EnginePressure,  // ConvertEnginePressure
    Manifold,        // ConvertManifoldPressure
    VerticalSpeed,   // ConvertVerticalSpeed; its text form follows the unit
    NegVerticalSpeed,  // the same of the negated field (down positive in the message)
    FuelFlow,        // ConvertLiquidQuantity(raw); the text in whole units: / 100
    FuelLevel,       // ConvertLiquidQuantity(raw / 10)
};

// Items of the inputs message that are present only when a count says so.
enum class Presence : uint8_t { Always, DigitalCount, AnalogCount };

struct DataItem {
    uint8_t checkBox;
    std::string_view title;
    uint8_t axis;
    uint8_t column;
    std::string_view columnName;
    uint8_t offset;
    Raw raw;
    uint8_t bit;
    Conv conv;
    uint8_t precision;  // FixedText P/D; precision 0 means IntegerText
    uint8_t decimals;
    Presence presence = Presence::Always;
};

constexpr int kEngineMonitors = 4;
constexpr int kEngineQuantities = 10;
constexpr int kThermocouples = 12;
constexpr int kFuelEntries = 16;

struct ThermocoupleItems {
    std::array<DataItem, 3> byKind;  // EGT, CHT, Other
};

struct EngineMonitorItems {
    std::array<DataItem, kEngineQuantities> quantities;
    std::array<ThermocoupleItems, kThermocouples> thermocouples;
};

extern const std::array<DataItem, 9> kFlightItems;
extern const std::array<DataItem, 9> kGpsItems;
extern const std::array<DataItem, 12> kAttitudeItems;
extern const std::array<DataItem, 29> kNavigationItems;
constexpr int kPositionCheckBox = 193;
constexpr int kPositionColumn = 18;
constexpr std::string_view kPositionColumnName = "Latitude,Longitude";

// Built once from the per-monitor attributes and the entry formulas.
const std::array<EngineMonitorItems, kEngineMonitors>& EngineItems();
const std::array<DataItem, kFuelEntries>& FuelItems();
const std::array<DataItem, 39>& InputItems();

// Kind 0 EGT, 1 CHT, any other value Other.
inline int ThermocoupleKindIndex(uint8_t kind) { return kind == EGT ? 0 : kind == CHT ? 1 : 2; }

// The value of `item` in `frame`, in the units chosen; false when the Frame is too short to
// hold its field (the item is then absent, not zero).
bool ReadItem(const DataItem& item, const uint8_t* frame, const UnitSettings& units, ItemValue& value);

}  // namespace krelby
