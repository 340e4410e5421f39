// What the program folder holds, by name: the window, krelby-cli and the core all find
// their folders and files here.
#pragma once

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

}  // namespace krelby
