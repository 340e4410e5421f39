// The CSV export: two replays steered by the replay flags, one row per FlightMessage.
#pragma once
#include <string>

#include "replay/session.h"

namespace krelby {

struct CsvExportResult {
    bool exported = false;
    std::string message;  // the completion message, or "No valid data file selected yet"
    std::string path;     // the CSV file written
};

// Writes ProgramFolder/Exports/NAME.CSV (or `path` when given). Throws krelby::Error on a
// file error; the flag is cleared and the file closed whatever happens.
CsvExportResult CsvExport(Session& session, const std::string& path = {});

}  // namespace krelby
