#include "settings/settings_file.h"

#include <array>
#include <string_view>

#include "base/error.h"
#include "settings/ini_file.h"
#include "settings/limits.h"

namespace krelby {
namespace {

struct ByteKey {
    const char* key;
    uint8_t KmlStyle::*field;
    bool boolean;
};
constexpr std::array<ByteKey, 7> kKmlKeys = {{
    {"LineWidth", &KmlStyle::LineWidth, false},
    {"LineColor", &KmlStyle::LineColor, false},
    {"LineOpacity", &KmlStyle::LineOpacity, false},
    {"Clamp2GND", &KmlStyle::Clamp2GND, true},
    {"ExtrudePoly", &KmlStyle::ExtrudePoly, true},
    {"PolyColor", &KmlStyle::PolyColor, false},
    {"PolyOpacity", &KmlStyle::PolyOpacity, false},
}};

struct UnitKey {
    const char* key;
    int16_t UnitSettings::*field;
};
constexpr std::array<UnitKey, 11> kUnitKeys = {{
    {"Altitude", &UnitSettings::Altitude},
    {"VSI", &UnitSettings::VSI},
    {"Speed", &UnitSettings::Speed},
    {"Temp", &UnitSettings::Temp},
    {"OilP", &UnitSettings::OilP},
    {"MAP", &UnitSettings::MAP},
    {"FuelP", &UnitSettings::FuelP},
    {"LiqQ", &UnitSettings::LiqQ},
    {"Baro", &UnitSettings::Baro},
    {"HFrac", &UnitSettings::HFrac},
    {"GeoPos", &UnitSettings::GeoPos},
}};

constexpr std::string_view kKml = "KML", kUnits = "Units", kSelections = "DataSelections",
                           kGeneral = "General", kLimits = "Limits";
// The sections read at start; any others are only carried over when the file is written.
constexpr std::string_view kReadSections[] = {kKml, kUnits, "ZEDA1", "ZEDA2", "ZEDA3", "ZEDA4", kSelections, kGeneral, kLimits};

std::string ZedaSection(int monitor) { return "ZEDA" + std::to_string(monitor); }
std::string TcKey(int input) { return "TC" + std::to_string(input); }
std::string SelectionKey(int n) { return "Selection" + std::to_string(n); }

// Negative numbers count as 0; the field keeps the low bits of the rest.
uint32_t NonNegative(int32_t v) { return v < 0 ? 0u : static_cast<uint32_t>(v); }

// Every setting from `ini`, or its default; a warning line for each limit that is not a number.
std::string Apply(const IniFile& ini, Settings& settings, std::string& currentFlightFile) {
    const Settings defaults;

    for (const auto& k : kKmlKeys) {
        const uint8_t def = defaults.kml.*k.field;
        settings.kml.*k.field = k.boolean ? ini.ReadBool(kKml, k.key, def != 0)
                                          : static_cast<uint8_t>(NonNegative(ini.ReadInteger(kKml, k.key, def)));
    }
    for (const auto& k : kUnitKeys)
        settings.units.*k.field = static_cast<int16_t>(
            static_cast<uint16_t>(NonNegative(ini.ReadInteger(kUnits, k.key, defaults.units.*k.field))));
    for (int m = 1; m <= kEngineMonitors; ++m)
        for (int i = 0; i < kThermocoupleInputs; ++i) {
            const size_t entry = ThermocoupleIndex(m, i);
            settings.thermocouples[entry] = static_cast<uint8_t>(
                NonNegative(ini.ReadInteger(ZedaSection(m), TcKey(i), defaults.thermocouples[entry])));
        }
    for (int n = 1; n <= kCheckBoxCount; ++n)
        settings.selection.Set(n, ini.ReadBool(kSelections, SelectionKey(n), false));
    currentFlightFile = ini.ReadText(kGeneral, "CurrentFilename", "");
    settings.general.View3D = ini.ReadBool(kGeneral, "3DView", false);

    std::string warnings;
    for (size_t k = 0; k < kLimitKeys.size(); ++k) {
        LimitSetting& limit = settings.limits.keys[k];
        limit.text = ini.ReadText(kLimits, kLimitKeys[k].name, "");
        double value = 0;
        const LimitRead read = ReadLimit(limit.text, value);
        limit.value = read == LimitRead::Ok ? std::optional<double>(value) : std::nullopt;
        // Empty is the way to say "no limit"; anything else unreadable is a mistake to tell.
        const std::string said = "The limit " + std::string(kLimitKeys[k].name) + "=" + limit.text + " in [Limits] ";
        if (read == LimitRead::NotANumber)
            warnings += said + "is not a number such as 2.75 or -10; that limit is off.\n";
        else if (read == LimitRead::OutOfRange)
            warnings += said + "is beyond the range -1000000 to 1000000; that limit is off.\n";
    }
    for (const SecondsKeyInfo& k : kSecondsKeys) {
        SecondsSetting& seconds = settings.limits.*k.field;
        const std::optional<std::string_view> text = ini.Find(kLimits, k.name);
        seconds.text = text ? ini.ReadText(kLimits, k.name, "") : std::string();
        const std::optional<int64_t> value = text ? ParseSeconds(seconds.text) : std::nullopt;
        seconds.value = value.value_or(k.defaultValue);
        if (text && !value)
            warnings += std::string(k.name) + "=" + seconds.text + " in [Limits] is not a whole number of seconds such as " +
                        std::to_string(k.defaultValue) + "; " + std::to_string(k.defaultValue) + " is used.\n";
    }
    return warnings;
}

}  // namespace

std::string LoadSettings(const std::string& iniPath, Settings& settings, std::string& currentFlightFile) {
    IniFile ini;
    bool cut = false;
    try {
        ini = IniFile::Read(iniPath, &cut, kReadSections);
    } catch (const Error&) {
        Apply(IniFile(), settings, currentFlightFile);  // the defaults, then the report
        throw;
    }
    std::string warnings = Apply(ini, settings, currentFlightFile);
    if (cut)
        warnings = "The settings file " + iniPath + " is longer than " + std::to_string(kIniSizeLimit >> 20) +
                   " MiB; only its first part was read.\n" + warnings;
    if (!warnings.empty()) warnings.pop_back();  // the last line's break
    return warnings;
}

void SaveSettings(const std::string& iniPath, const Settings& settings, const std::string& currentFlightFile) {
    IniFile out;
    for (const auto& k : kKmlKeys) {
        const uint8_t v = settings.kml.*k.field;
        if (k.boolean)
            out.WriteBool(kKml, k.key, v != 0);
        else
            out.WriteInteger(kKml, k.key, v);
    }
    for (const auto& k : kUnitKeys) out.WriteInteger(kUnits, k.key, settings.units.*k.field);
    for (int m = 1; m <= kEngineMonitors; ++m)
        for (int i = 0; i < kThermocoupleInputs; ++i)
            out.WriteInteger(ZedaSection(m), TcKey(i), settings.thermocouples[ThermocoupleIndex(m, i)]);
    for (int n = 1; n <= kCheckBoxCount; ++n) out.WriteBool(kSelections, SelectionKey(n), settings.selection.Ticked(n));
    out.Write(kGeneral, "CurrentFilename", currentFlightFile);
    out.WriteBool(kGeneral, "3DView", settings.general.View3D);

    // Keys and sections of other versions or hand edits are carried over after ours. A
    // settings file that cannot be read has none to give; Save then reports it.
    IniFile old;
    try {
        old = IniFile::Read(iniPath);
    } catch (const Error&) {
    }
    // A limit is written when set, or emptied where the file had it: a pilot who sets none
    // keeps the file as it always was.
    for (size_t k = 0; k < kLimitKeys.size(); ++k) {
        const std::string& text = settings.limits.keys[k].text;
        if (!text.empty() || old.Find(kLimits, kLimitKeys[k].name)) out.Write(kLimits, kLimitKeys[k].name, text);
    }
    for (const SecondsKeyInfo& k : kSecondsKeys) {
        const std::string& text = (settings.limits.*k.field).text;
        if (!text.empty() || old.Find(kLimits, k.name)) out.Write(kLimits, k.name, text);
    }
    for (const auto& s : old.Sections())
        for (const auto& e : s.entries)
            if (!out.Find(s.name, e.key)) out.Write(s.name, e.key, e.value);

    out.Save(iniPath);
}

}  // namespace krelby
