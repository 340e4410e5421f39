// Krelby.INI: read once at start, written once at close.
#pragma once
#include <string>

#include "settings/records.h"

namespace krelby {

// Reads every section; missing file, sections or keys give the defaults. A settings file
// that is a directory or special file gives the defaults and then throws krelby::Error
// ("Not a regular file: PATH"). A file too long to read whole is no error: what fits is
// read, and the returned text warns the user of it; so does it of each [Limits] value that is
// not a number (that limit is then off, its text kept to be written back). One line for
// each warning; empty when there is none.
std::string LoadSettings(const std::string& iniPath, Settings& settings, std::string& currentFlightFile);
// Writes every key in the fixed order, atomically (a new file renamed over the old one).
// Throws krelby::Error "Unable to write to " + path and leaves the previous file whole.
void SaveSettings(const std::string& iniPath, const Settings& settings,
                  const std::string& currentFlightFile);

}  // namespace krelby
