// The CSV export: two replays of the flight, one row per FlightMessage.
#pragma once
#include <string>

#include "base/regional.h"
#include "replay/replay.h"
#include "replay/sink.h"

namespace krelby {

// What the export says when the flight named is no file to export.
inline constexpr char kNoFlightSelected[] = "No valid data file selected yet";

// Whether `flight` names a regular file, the one thing a CSV export needs to start.
bool IsFlightFile(const std::string& flight);

// Writes the CSV of `flight` to `out` (see CsvExportPath for the program folder's name) and
// returns the completion message ("NAME.CSV created in FOLDER/"). Both replays also feed
// `chart` when given. Throws krelby::Error with kNoFlightSelected when `flight` is no regular
// file, and on a file error; nothing is left at the target then.
std::string CsvExport(const std::string& flight, const ReplayInputs& in, const Regional& regional,
                      const std::string& out, ReplaySink* chart = nullptr);

}  // namespace krelby
