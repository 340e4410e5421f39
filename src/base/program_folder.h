// What the program folder holds, by name: the window, krelby-cli and the core all find
// their folders and files here.
#pragma once
#include <string>

namespace krelby {

inline constexpr const char* kInternalFlightsFolder = "Flights_INT";
inline constexpr const char* kSdFlightsFolder = "Flights_SD";
inline constexpr const char* kExportsFolder = "Exports";
inline constexpr const char* kSettingsFile = "Krelby.INI";
inline constexpr const char* kLogbookDatabase = "Logbook.sqlite";

// The folders made at the start of either program when missing.
inline constexpr const char* kProgramSubfolders[] = {kInternalFlightsFolder, kSdFlightsFolder, kExportsFolder};
// The folders whose flight files the logbook lists, in this order.
inline constexpr const char* kFlightFolders[] = {kInternalFlightsFolder, kSdFlightsFolder};

// The folder of an executable at `path`: all of it up to just after its last '/', however
// long (cutting it short would pick a parent folder, even "/").
std::string FolderOfExecutable(const std::string& path);

// The program folder when none is named, the same for the window and krelby-cli: the
// executable's own folder; the user's data folder (made when missing) for an installed copy
// or where the executable's folder cannot be written; empty when the executable's folder
// cannot be found (no /proc, say), where no folder is to be guessed. Ends in '/'.
std::string DefaultProgramFolder();

}  // namespace krelby
