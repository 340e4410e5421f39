#include "settings/settings_merge.h"

#include <exception>

#include "settings/limits.h"
#include "settings/settings_file.h"

namespace krelby {
namespace {

template <typename T>
void Take(T& out, const T& loaded, const T& ours, const T& now) {
    out = ours == loaded ? now : ours;
}

constexpr uint8_t KmlStyle::*kKmlFields[] = {&KmlStyle::LineWidth, &KmlStyle::LineColor,   &KmlStyle::LineOpacity,
                                             &KmlStyle::Clamp2GND, &KmlStyle::ExtrudePoly, &KmlStyle::PolyColor,
                                             &KmlStyle::PolyOpacity};
constexpr int16_t UnitSettings::*kUnitFields[] = {
    &UnitSettings::Altitude, &UnitSettings::VSI,  &UnitSettings::Speed, &UnitSettings::Temp,
    &UnitSettings::OilP,     &UnitSettings::MAP,  &UnitSettings::FuelP, &UnitSettings::LiqQ,
    &UnitSettings::Baro,     &UnitSettings::HFrac, &UnitSettings::GeoPos};

}  // namespace

Settings MergeChanges(const Settings& loaded, const Settings& ours, const Settings& now) {
    Settings out;
    for (auto field : kKmlFields) Take(out.kml.*field, loaded.kml.*field, ours.kml.*field, now.kml.*field);
    for (auto field : kUnitFields) Take(out.units.*field, loaded.units.*field, ours.units.*field, now.units.*field);
    for (size_t i = 0; i < out.thermocouples.size(); ++i)
        Take(out.thermocouples[i], loaded.thermocouples[i], ours.thermocouples[i], now.thermocouples[i]);
    for (int n = 1; n <= kCheckBoxCount; ++n) {
        bool on = false;
        Take(on, loaded.selection.Ticked(n), ours.selection.Ticked(n), now.selection.Ticked(n));
        out.selection.Set(n, on);
    }
    Take(out.general.View3D, loaded.general.View3D, ours.general.View3D, now.general.View3D);
    for (size_t k = 0; k < out.limits.keys.size(); ++k)
        Take(out.limits.keys[k], loaded.limits.keys[k], ours.limits.keys[k], now.limits.keys[k]);
    for (const SecondsKeyInfo& k : kSecondsKeys)
        Take(out.limits.*k.field, loaded.limits.*k.field, ours.limits.*k.field, now.limits.*k.field);
    return out;
}

void SaveChangedSettings(const std::string& iniPath, const Settings& ours, const std::string& currentFlightFile,
                         const LoadedSettings& loaded) {
    Settings now;
    std::string nowFlight;
    try {
        LoadSettings(iniPath, now, nowFlight);
    } catch (const std::exception&) {
        // Not a file to read: nothing changed there, and the save says why it cannot write.
        now = loaded.settings;
        nowFlight = loaded.currentFlightFile;
    }
    std::string flight;
    Take(flight, loaded.currentFlightFile, currentFlightFile, nowFlight);
    SaveSettings(iniPath, MergeChanges(loaded.settings, ours, now), flight);
}

}  // namespace krelby
