// The CSV export: two replays of the flight, one row per FlightMessage.
#pragma once
#include <string>

#include "replay/session.h"
#include "replay/sink.h"

namespace krelby {

struct CsvExportResult {
    bool exported = false;
    std::string message;  // the completion message, or "No valid data file selected yet"
    std::string path;     // the CSV file written
};

// Writes the CSV of the session's current flight to ProgramFolder/Exports/NAME.CSV (or `path`
// when given). Both replays also feed `chart` when given (the window keeps its chart filled).
// Throws krelby::Error on a file error; nothing is left at the target then.
CsvExportResult CsvExport(Session& session, const std::string& path = {}, ReplaySink* chart = nullptr);

}  // namespace krelby
