// The close of a run that loaded the settings at its start: what the run changed is written
// over the file as it now stands, so keys typed in meanwhile by hand (or by another copy of
// the program) are kept.
#pragma once
#include <string>

#include "settings/records.h"

namespace krelby {

// The settings as a run loaded them.
struct LoadedSettings {
    Settings settings;
    std::string currentFlightFile;
};

// Key by key: `ours` where it differs from `loaded`, else `now`.
Settings MergeChanges(const Settings& loaded, const Settings& ours, const Settings& now);

// Reads the file again (by the rules of LoadSettings), merges, and writes it as SaveSettings
// does; a file that cannot be read again gets `ours` whole. Throws as SaveSettings.
void SaveChangedSettings(const std::string& iniPath, const Settings& ours, const std::string& currentFlightFile,
                         const LoadedSettings& loaded);

}  // namespace krelby
