#include "replay/data_items.h"

#include <deque>
#include <string>

#include "format/bytes.h"
#include "format/messages.h"
#include "replay/units.h"

namespace krelby {

namespace {
constexpr uint8_t I = 0;  // IntegerText
}  // namespace

// Check box, title, axis, column, column name, offset, raw, bit, conversion, P, D.
const std::array<DataItem, 9> kFlightItems = {{
    {1, "PALT", 0, 0, "PAltitude", 8, Raw::I32, 0, Conv::Altitude, I, 0},
    {2, "BALT", 0, 1, "BAltitude", 12, Raw::I32, 0, Conv::Altitude, I, 0},
    {3, "ASI", 1, 2, "ASI", 16, Raw::U16, 0, Conv::Speed, I, 0},
    {4, "TAS", 1, 3, "TAS", 18, Raw::U16, 0, Conv::Speed, I, 0},
    {5, "AOA", 4, 4, "AOA", 20, Raw::I16, 0, Conv::Tenths, 1, 3},
    {6, "VSI", 2, 5, "VSI", 22, Raw::I16, 0, Conv::VerticalSpeed, I, 0},
    {7, "Baro", 13, 6, "Baro", 24, Raw::U16, 0, Conv::Baro, 7, 5},
    {8, "QNH", 13, 7, "Local", 26, Raw::U16, 0, Conv::Baro, 7, 5},
    {9, "OAT", 3, 8, "OAT", 28, Raw::I16, 0, Conv::Temperature, I, 0},
}};

const std::array<DataItem, 9> kGpsItems = {{
    {32, "GPSALT", 0, 9, "GPSAltitude", 16, Raw::I32, 0, Conv::Altitude, I, 0},
    {33, "AGL", 0, 10, "AGL", 20, Raw::I32, 0, Conv::Altitude, I, 0},
    {34, "GPSVSI", 2, 11, "DownVelocity", 32, Raw::I32, 0, Conv::NegVerticalSpeed, I, 0},
    {35, "GS", 1, 12, "Groundspeed", 36, Raw::U16, 0, Conv::Speed, I, 0},
    {36, "Track", 6, 13, "TrackTrue", 38, Raw::U16, 0, Conv::Tenths, 7, 1},
    {37, "VAR", 6, 14, "Variation", 40, Raw::I16, 0, Conv::Tenths, 7, 1},
    {38, "Tracked", 7, 15, "SatellitesTracked", 43, Raw::U8, 0, Conv::None, I, 0},
    {39, "RaimH", 8, 16, "RAIM Horizontal", 49, Raw::U8, 0, Conv::None, I, 0},
    {40, "RaimV", 8, 17, "RAIM Vertical", 50, Raw::U8, 0, Conv::None, I, 0},
}};

const std::array<DataItem, 12> kAttitudeItems = {{
    {41, "MAG", 6, 19, "HeadingMAG", 8, Raw::U16, 0, Conv::Tenths, 7, 1},
    {42, "Pitch", 6, 20, "AHRSPitch", 10, Raw::I16, 0, Conv::Tenths, 7, 1},
    {43, "Bank", 6, 21, "AHRSBank", 12, Raw::I16, 0, Conv::Tenths, 7, 1},
    {44, "Yaw", 6, 22, "AHRSYAW", 14, Raw::I16, 0, Conv::Tenths, 7, 1},
    {45, "Turnrate", 7, 23, "TurnRate", 16, Raw::I16, 0, Conv::Tenths, 7, 1},
    {46, "Slip", 7, 24, "Slip", 18, Raw::I16, 0, Conv::None, I, 0},
    {47, "G_UD", 7, 25, "GForce", 20, Raw::I16, 0, Conv::Hundredths, 7, 2},
    {48, "G_LR", 7, 26, "LRForce", 22, Raw::I16, 0, Conv::Hundredths, 7, 2},
    {49, "G_FB", 7, 27, "FRForce", 24, Raw::I16, 0, Conv::Hundredths, 7, 2},
    {50, "Bankrate", 6, 28, "BankRate", 26, Raw::I16, 0, Conv::Rate, 7, 2},
    {51, "Pitchrate", 6, 29, "PitchRate", 28, Raw::I16, 0, Conv::Rate, 7, 2},
    {52, "Yawrate", 6, 30, "YawRate", 30, Raw::I16, 0, Conv::Rate, 7, 2},
}};

// The heading bug and the altitude bug have columns of their own (181, 182), so that
// ticking them beside the track deviation or the HSI source type loses nothing.
const std::array<DataItem, 29> kNavigationItems = {{
    {95, "HSI_Valid", 15, 154, "HSI_Valid", 8, Raw::Bit16, 0, Conv::None, I, 0},
    {96, "VNAV_Valid", 15, 155, "VNAV_Valid", 8, Raw::Bit16, 1, Conv::None, I, 0},
    {117, "WP_Valid", 15, 156, "WP_Valid", 8, Raw::Bit16, 2, Conv::None, I, 0},
    {100, "AP_Engaged", 15, 157, "AP_Engaged", 8, Raw::Bit16, 3, Conv::None, I, 0},
    {108, "VOR1_Valid", 15, 158, "VOR1_Valid", 8, Raw::Bit16, 4, Conv::None, I, 0},
    {109, "VOR2_Valid", 15, 159, "VOR2_Valid", 8, Raw::Bit16, 5, Conv::None, I, 0},
    {191, "DME1_Valid", 15, 160, "DME1_Valid", 8, Raw::Bit16, 6, Conv::None, I, 0},
    {192, "DME2_Valid", 15, 161, "DME2_Valid", 8, Raw::Bit16, 7, Conv::None, I, 0},
    {110, "ILS_Valid", 15, 162, "ILS_Valid", 8, Raw::Bit16, 8, Conv::None, I, 0},
    {111, "GS_Valid", 15, 163, "GS_Valid", 8, Raw::Bit16, 9, Conv::None, I, 0},
    {113, "GLS_Valid", 15, 164, "GLS_Valid", 8, Raw::Bit16, 10, Conv::None, I, 0},
    {92, "HSI_Angle", 6, 165, "HSI_Angle", 14, Raw::I16, 0, Conv::Tenths, 7, 1},
    {93, "HSI_Rose", 6, 166, "HSI_Rose", 16, Raw::U16, 0, Conv::Tenths, 7, 1},
    {94, "HSI_Dev", 17, 167, "HSI_Dev", 18, Raw::I16, 0, Conv::Deviation, 7, 4},
    {98, "HSI_SRC", 7, 168, "HSI_SRC", 10, Raw::U8, 0, Conv::None, I, 0},
    {101, "HeadingBug", 6, 181, "Headingbug", 22, Raw::I16, 0, Conv::Tenths, 7, 1},
    {102, "AltitudeBug", 0, 182, "AltitudeBug", 24, Raw::I32, 0, Conv::None, I, 0},
    {119, "WPTrack", 6, 169, "WPTrack", 40, Raw::I16, 0, Conv::Tenths, 7, 1},
    {118, "WPDist", 8, 170, "WPDist", 28, Raw::I32, 0, Conv::Speed, 7, 1},
    {97, "VNAV_Dev", 17, 171, "VNAV_Dev", 20, Raw::I16, 0, Conv::Deviation, 7, 4},
    {99, "VNAV_SRC", 7, 172, "VNAV_SRC", 11, Raw::U8, 0, Conv::None, I, 0},
    {104, "VOR1_Rad", 6, 173, "VOR1_Rad", 42, Raw::I16, 0, Conv::Tenths, 7, 1},
    {105, "VOR2_Rad", 6, 174, "VOR2_Rad", 44, Raw::I16, 0, Conv::Tenths, 7, 1},
    {115, "DME1_Dist", 8, 175, "DME1_Dist", 46, Raw::U16, 0, Conv::Speed, 7, 1},
    {116, "DME2_Dist", 8, 176, "DME2_Dist", 48, Raw::U16, 0, Conv::Speed, 7, 1},
    {106, "ILS_Dev", 17, 177, "ILS_Dev", 50, Raw::I16, 0, Conv::Deviation, 7, 4},
    {107, "GS_Dev", 17, 178, "GS_Dev", 52, Raw::I16, 0, Conv::Deviation, 7, 4},
    {112, "GLSH_Dev", 17, 179, "GLSH_Dev", 54, Raw::I16, 0, Conv::Deviation, 7, 4},
    {114, "GLSV_Dev", 17, 180, "GLSV_Dev", 56, Raw::I16, 0, Conv::Deviation, 7, 4},
}};

namespace {

// Titles built once at first use; the tables point into this pool for the whole run.
std::string_view Keep(std::string text) {
    static std::deque<std::string> pool;
    return pool.emplace_back(std::move(text));
}

// prefix, n in decimal, then ending: "EGT" 3 "_1" gives EGT3_1.
std::string_view Numbered(std::string_view prefix, int n, std::string_view ending = {}) {
    std::string s(prefix);
    s += std::to_string(n);
    s += ending;
    return Keep(std::move(s));
}

// The ten engine quantities of every monitor, in decoder order. `columnFromBase` counts from
// the monitor's base column; the pulse item's own column comes from the monitor table.
struct EngineQuantity {
    const char* stem;
    uint8_t axis;
    uint8_t columnFromBase;
    uint8_t offset;
    Raw raw;
    Conv conv;
    uint8_t precision, decimals;
};
constexpr std::array<EngineQuantity, kEngineQuantities> kQuantityTable = {{
    {"RPM", 5, 0, 12, Raw::U16, Conv::None, I, 0},
    {"PULSE", 5, 0, 14, Raw::U16, Conv::None, I, 0},
    {"OILP", 11, 1, 16, Raw::U16, Conv::EnginePressure, 7, 1},
    {"FP", 11, 2, 20, Raw::U16, Conv::EnginePressure, 7, 1},
    {"OILT", 12, 3, 24, Raw::I16, Conv::Temperature, 7, 1},
    {"COOL", 12, 4, 22, Raw::I16, Conv::Temperature, 7, 1},
    {"AUX1", 12, 5, 28, Raw::I16, Conv::Temperature, 7, 1},
    {"AUX2", 12, 6, 30, Raw::I16, Conv::Temperature, 7, 1},
    {"FF", 8, 7, 36, Raw::U16, Conv::FuelFlow, 7, 2},
    {"MAP", 13, 8, 40, Raw::U16, Conv::Manifold, 7, 1},
}};
constexpr int kPulse = 1;

// Per-monitor attributes. Each pulse item has a column of its own (208-211) instead of
// sharing the RPM column, where it would overwrite the RPM values.
struct EngineMonitor {
    std::array<uint8_t, kEngineQuantities> checkBoxes;
    uint8_t firstThermocoupleBox;
    uint8_t baseColumn;
    uint8_t pulseColumn;
    const char* pulseColumnName;
};
constexpr std::array<EngineMonitor, kEngineMonitors> kMonitorTable = {{
    {{11, 210, 12, 13, 15, 14, 16, 17, 18, 19}, 20, 31, 208, "PULSE_1"},
    {{122, 211, 123, 124, 126, 125, 127, 128, 129, 130}, 133, 52, 209, "PULSE_2"},
    {{145, 212, 146, 147, 149, 148, 150, 151, 152, 153}, 156, 73, 210, "PULSE_3"},
    {{168, 213, 169, 170, 172, 171, 173, 174, 175, 176}, 179, 94, 211, "Pulse_4"},
}};

struct ThermocoupleKindAttr {
    const char* prefix;
    uint8_t axis;
};
constexpr std::array<ThermocoupleKindAttr, 3> kThermocoupleKinds = {{{"EGT", 9}, {"CHT", 10}, {"TC", 12}}};

std::array<EngineMonitorItems, kEngineMonitors> BuildEngineItems() {
    std::array<EngineMonitorItems, kEngineMonitors> out{};
    for (int m = 0; m < kEngineMonitors; ++m) {
        const EngineMonitor& mon = kMonitorTable[m];
        const std::string_view ending = Numbered("_", m + 1);
        for (int q = 0; q < kEngineQuantities; ++q) {
            const EngineQuantity& e = kQuantityTable[q];
            const std::string_view title = Keep(std::string(e.stem).append(ending));
            const bool pulse = q == kPulse;
            out[m].quantities[q] = {mon.checkBoxes[q], title, e.axis,
                                    static_cast<uint8_t>(pulse ? mon.pulseColumn : mon.baseColumn + e.columnFromBase),
                                    pulse ? std::string_view(mon.pulseColumnName) : title,
                                    e.offset, e.raw, 0, e.conv, e.precision, e.decimals};
        }
        for (int n = 1; n <= kThermocouples; ++n) {
            for (int k = 0; k < 3; ++k) {
                const std::string_view title = Numbered(kThermocoupleKinds[k].prefix, n, ending);
                out[m].thermocouples[n - 1].byKind[k] = {
                    static_cast<uint8_t>(mon.firstThermocoupleBox + n - 1), title,
                    kThermocoupleKinds[k].axis, static_cast<uint8_t>(mon.baseColumn + 8 + n), title,
                    static_cast<uint8_t>(EngineMessage::TcOffset(n)), Raw::I16, 0, Conv::Temperature, 7, 1};
            }
        }
    }
    return out;
}

std::array<DataItem, kFuelEntries> BuildFuelItems() {
    std::array<DataItem, kFuelEntries> out{};
    for (int k = 1; k <= kFuelEntries; ++k) {
        const std::string_view title = Numbered("Fuel_", k);
        out[k - 1] = {static_cast<uint8_t>(52 + k), title, 14, static_cast<uint8_t>(114 + k), title,
                      static_cast<uint8_t>(FuelMessage::LevelOffset(k)), Raw::I32, 0, Conv::FuelLevel, 7, 1};
    }
    return out;
}

std::array<DataItem, 39> BuildInputItems() {
    std::array<DataItem, 39> out{};
    size_t i = 0;
    auto digital = [&](int n) {
        const std::string_view title = Numbered("Dig_", n);
        const bool extender = n > 8;
        out[i++] = {static_cast<uint8_t>(extender ? 185 + n : 68 + n), title, 15,
                    static_cast<uint8_t>(extender ? 183 + n : 130 + n), title,
                    static_cast<uint8_t>(InputsMessage::kDigitalInputs), Raw::Bit32,
                    static_cast<uint8_t>(n - 1), Conv::None, I, 0,
                    extender ? Presence::DigitalCount : Presence::Always};
    };
    auto analog = [&](int n) {
        const std::string_view title = Numbered("Ana_", n);
        const bool extender = n > 8;
        out[i++] = {static_cast<uint8_t>(extender ? 193 + n : 76 + n), title, 16,
                    static_cast<uint8_t>(extender ? 191 + n : 138 + n), title,
                    static_cast<uint8_t>(InputsMessage::AnalogOffset(n)), Raw::U16, 0, Conv::None, I, 0,
                    extender ? Presence::AnalogCount : Presence::Always};
    };
    for (int n = 1; n <= 16; ++n) {
        digital(n);
        analog(n);
    }
    for (int g = 1; g <= 3; ++g) {
        const std::string_view title = Numbered("Gear_", g);
        out[i++] = {static_cast<uint8_t>(88 + g), title, 15, static_cast<uint8_t>(146 + g), title,
                    static_cast<uint8_t>(InputsMessage::GearOffset(g)), Raw::U8, 0, Conv::None, I, 0};
    }
    out[i++] = {85, "Flaps", 16, 150, "Flaps", InputsMessage::kFlaps, Raw::I16, 0, Conv::None, I, 0};
    out[i++] = {86, "PitchTrim", 16, 151, "PitchTrim", InputsMessage::kPitchTrim, Raw::I16, 0, Conv::None, I, 0};
    out[i++] = {87, "BankTrim", 16, 152, "BankTrim", InputsMessage::kBankTrim, Raw::I16, 0, Conv::None, I, 0};
    out[i++] = {88, "YawTrim", 16, 153, "YawTrim", InputsMessage::kYawTrim, Raw::I16, 0, Conv::None, I, 0};
    return out;
}

size_t Width(Raw r) {
    switch (r) {
        case Raw::U8: return 1;
        case Raw::I16:
        case Raw::U16:
        case Raw::Bit16: return 2;
        case Raw::I32:
        case Raw::Bit32: return 4;
    }
    return 4;
}

int64_t ReadRaw(const uint8_t* f, const DataItem& item) {
    switch (item.raw) {
        case Raw::U8: return f[item.offset];
        case Raw::I16: return i16le(f, item.offset);
        case Raw::U16: return u16le(f, item.offset);
        case Raw::I32: return i32le(f, item.offset);
        case Raw::Bit16: return (u16le(f, item.offset) >> item.bit) & 1u;
        case Raw::Bit32: return (u32le(f, item.offset) >> item.bit) & 1u;
    }
    return 0;
}

ItemValue Evaluate(const DataItem& item, int64_t raw, const UnitSettings& u) {
    ItemValue s{0, 0, raw, item.precision, item.decimals};
    auto integer = [&s](int64_t v) {
        s.integer = v;
        s.y = static_cast<double>(v);
    };
    const auto raw32 = static_cast<int32_t>(raw);
    switch (item.conv) {
        case Conv::None: integer(raw); break;
        case Conv::Tenths: s.y = static_cast<double>(raw) / 10.0; break;
        case Conv::Hundredths: s.y = static_cast<double>(raw) / 100.0; break;
        case Conv::Deviation: s.y = static_cast<double>(raw) / 4096.0; break;
        case Conv::Rate: s.y = CompressedRate(static_cast<int16_t>(raw)); break;
        case Conv::Altitude: integer(ConvertAltitude(raw32, u)); break;
        case Conv::Speed: integer(ConvertSpeed(raw32, u)); break;
        case Conv::Baro: s.y = ConvertBaroPressure(raw32, u); break;
        case Conv::Temperature: integer(ConvertTemperature(raw32, u)); break;
        case Conv::EnginePressure: s.y = ConvertEnginePressure(raw32, u); break;
        case Conv::Manifold: s.y = ConvertManifoldPressure(raw32, u); break;
        case Conv::VerticalSpeed:
        case Conv::NegVerticalSpeed: {
            const VerticalSpeed v = ConvertVerticalSpeed(item.conv == Conv::VerticalSpeed ? raw : -raw, u);
            s.y = v.value;
            s.integer = v.integer;
            if (v.isReal) {
                s.precision = 7;
                s.decimals = 2;
            }
            break;
        }
        case Conv::FuelFlow:
            s.y = ConvertLiquidQuantity(static_cast<double>(raw), u);
            s.text = s.y / 100.0;
            return s;
        case Conv::FuelLevel: s.y = ConvertLiquidQuantity(static_cast<double>(raw) / 10.0, u); break;
    }
    s.text = s.y;
    return s;
}

}  // namespace

const std::array<EngineMonitorItems, kEngineMonitors>& EngineItems() {
    static const auto items = BuildEngineItems();
    return items;
}

const std::array<DataItem, kFuelEntries>& FuelItems() {
    static const auto items = BuildFuelItems();
    return items;
}

const std::array<DataItem, 39>& InputItems() {
    static const auto items = BuildInputItems();
    return items;
}

bool ReadItem(const DataItem& item, const uint8_t* frame, const UnitSettings& units, ItemValue& value) {
    // A field beyond the end of a short Frame is absent: the item is not touched at all.
    if (!FrameReader(frame).Has(item.offset, Width(item.raw))) return false;
    value = Evaluate(item, ReadRaw(frame, item), units);
    return true;
}

}  // namespace krelby
