// The 213 check boxes and their data items as one table: dialog place and caption, series
// title, value axis, CSV column, field, conversion and value text, and the decoders' lists.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "replay/sink.h"
#include "replay/units.h"
#include "settings/records.h"

namespace krelby {

// The chart's 18 value axes, by the kind of quantity they carry.
enum class Axis : uint8_t {
    Altitude, Speed, VerticalSpeed, AirTemperature, AngleOfAttack, Rpm, Angle, Number, Quantity,
    Egt, Cht, EnginePressure, EngineTemperature, Pressure, Fuel, Digital, Analog, Deviation,
};
constexpr int kAxes = 18;
static_assert(static_cast<int>(Axis::Deviation) + 1 == kAxes);

// How a field is read from its frame offset.
enum class Raw : uint8_t {
    U8, I16, U16, I32,
    Bit16,  // bit `bit` of the u16 at the offset (0 or 1)
    Bit32,  // bit `bit` of the u32 at the offset
};
// The bytes a field takes in its Frame.
int Width(Raw raw);

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

// What the decoders need of one data item.
struct DataItem {
    uint8_t checkBox;
    std::string_view title;  // the series title
    Axis axis;
    uint8_t column;              // the CSV column
    std::string_view columnName;
    uint8_t offset;              // frame offset of the field
    Raw raw;
    uint8_t bit;
    Conv conv;
    uint8_t precision;  // FixedText P/D; precision 0 means IntegerText
    uint8_t decimals;
    Presence presence = Presence::Always;
};

// The message a check box's item is read from; None for the boxes of quantities that no
// message carries (they are kept in the settings but draw nothing).
enum class Source : uint8_t { None, Flight, Gps, Attitude, Navigation, Engine, Fuel, Inputs, Position };

// Where a check box stands in the data selection dialog: page, column, row.
struct Place {
    uint8_t page, column, row;
};

// One of the 213 check boxes and the data item behind it: the one table that the decoders,
// the dialog's pages and the CSV columns all read.
struct ItemBox {
    uint8_t checkBox;
    std::string_view caption;  // in the dialog
    Place place;
    Source source;
    uint8_t monitor;       // Engine: 1 to 4
    uint8_t thermocouple;  // Engine: input 1 to 12, whose kind chooses title and axis; else 0
    DataItem item;         // for a thermocouple, as an EGT input
};
// Indexed by check box number - 1.
const std::array<ItemBox, 213>& ItemBoxes();

struct SelectionPageInfo {
    std::string_view title;
    std::array<std::string_view, 5> headings;  // of the columns, left to right; empty for none
    std::string_view note;
};
constexpr int kSelectionPages = 10;
const std::array<SelectionPageInfo, kSelectionPages>& SelectionPageInfos();

constexpr int kEngineQuantities = 10;
constexpr int kFuelEntries = 16;

struct ThermocoupleItems {
    std::array<DataItem, 3> byKind;  // EGT, CHT, Other
};

struct EngineMonitorItems {
    std::array<DataItem, kEngineQuantities> quantities;
    std::array<ThermocoupleItems, kThermocoupleInputs> thermocouples;
};

// The decoders' lists, taken from the table in its order (the order of decoding, which is
// the order in which items claim series slots).
std::span<const DataItem> FlightItems();
std::span<const DataItem> GpsItems();
std::span<const DataItem> AttitudeItems();
std::span<const DataItem> NavigationItems();
constexpr int kPositionCheckBox = 193;
constexpr int kPositionColumn = 18;
constexpr std::string_view kPositionColumnName = "Latitude,Longitude";

const std::array<EngineMonitorItems, kEngineMonitors>& EngineItems();
const std::array<DataItem, kFuelEntries>& FuelItems();
std::span<const DataItem> InputItems();

// Kind 0 EGT, 1 CHT, any other value Other.
inline int ThermocoupleKindIndex(uint8_t kind) { return kind == EGT ? 0 : kind == CHT ? 1 : 2; }

// The quantity whose unit choice converts the item; none for plain numbers, counts and states.
std::optional<UnitQuantity> UnitQuantityOf(const DataItem& item);

// The value of `item` in `frame`, in the units chosen; false when the Frame is too short to
// hold its field (the item is then absent, not zero).
bool ReadItem(const DataItem& item, const uint8_t* frame, const UnitSettings& units, ItemValue& value);

}  // namespace krelby
