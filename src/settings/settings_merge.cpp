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

// Field by field (a loop over member pointers trips a false warning of one compiler).
void MergeKml(KmlStyle& out, const KmlStyle& loaded, const KmlStyle& ours, const KmlStyle& now) {
    const auto take = [&](uint8_t KmlStyle::*f) { Take(out.*f, loaded.*f, ours.*f, now.*f); };
    take(&KmlStyle::LineWidth);
    take(&KmlStyle::LineColor);
    take(&KmlStyle::LineOpacity);
    take(&KmlStyle::Clamp2GND);
    take(&KmlStyle::ExtrudePoly);
    take(&KmlStyle::PolyColor);
    take(&KmlStyle::PolyOpacity);
}

void MergeUnits(UnitSettings& out, const UnitSettings& loaded, const UnitSettings& ours, const UnitSettings& now) {
    const auto take = [&](int16_t UnitSettings::*f) { Take(out.*f, loaded.*f, ours.*f, now.*f); };
    for (auto f : {&UnitSettings::Altitude, &UnitSettings::VSI, &UnitSettings::Speed, &UnitSettings::Temp,
                   &UnitSettings::OilP, &UnitSettings::MAP, &UnitSettings::FuelP, &UnitSettings::LiqQ,
                   &UnitSettings::Baro, &UnitSettings::HFrac, &UnitSettings::GeoPos})
        take(f);
}

}  // namespace

Settings MergeChanges(const Settings& loaded, const Settings& ours, const Settings& now) {
    Settings out;
    MergeKml(out.kml, loaded.kml, ours.kml, now.kml);
    MergeUnits(out.units, loaded.units, ours.units, now.units);
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
