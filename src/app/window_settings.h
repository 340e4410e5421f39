// The window's place on the desktop is the user's, not the program folder's: it is kept in
// the platform's per-user settings, and Krelby.INI keeps exactly its own keys.
#pragma once
#include <QSettings>
#include <memory>

namespace krelby {

inline constexpr const char* kGeometryKey = "Window/Geometry";
inline constexpr const char* kStripsKey = "Window/Strips";
inline constexpr const char* kExceedancesKey = "Window/Exceedances";  // the pane shown when there are some
inline constexpr const char* kStateKey = "Window/State";  // the docks' places and sizes
inline constexpr const char* kTrackKey = "Window/Track";  // the track pane shown
inline constexpr const char* kLogbookGeometryKey = "Logbook/Geometry";  // the Logbook's size and place

inline std::unique_ptr<QSettings> UserSettings() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Krelby", "Krelby");
}

}  // namespace krelby
