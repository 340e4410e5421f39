// Krelby.INI: read once at start, written once at close.
#pragma once
#include <string>

#include "settings/records.h"

namespace krelby {

// Reads every section; missing file, sections or keys give the defaults, never an error.
void LoadSettings(const std::string& iniPath, Settings& settings, std::string& currentFlightFile);
// Writes every key in the fixed order, atomically (a new file renamed over the old one).
// Throws krelby::Error "Unable to write to " + path and leaves the previous file whole.
void SaveSettings(const std::string& iniPath, const Settings& settings,
                  const std::string& currentFlightFile);

}  // namespace krelby
