#include "export/csv_export.h"

#include <filesystem>
#include <optional>

#include "export/csv_file.h"
#include "replay/replay.h"

namespace krelby {
namespace {

// Ends the export's hold on the replay however the export ends, so that later replays
// neither store column texts nor write to a file that is gone.
struct CsvExportScope {
    Session& s;
    ~CsvExportScope() {
        s.flags.CsvExportActive = false;
        s.output = nullptr;
    }
};

bool FlightFileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

}  // namespace

CsvExportResult CsvExport(Session& session, const std::string& path) {
    CsvExportResult result;
    if (!FlightFileExists(session.CurrentFlightFile)) {
        result.message = "No valid data file selected yet";
        return result;
    }
    const std::string flight = session.CurrentFlightFile;
    result.path = path.empty() ? CsvExportPath(session.ProgramFolder, flight) : path;

    // Both passes read this one open file, whatever replaces the name meanwhile.
    InputFile input = OpenFlight(flight);
    CsvExportScope scope{session};
    session.flags.CsvExportActive = true;
    session.flags.CsvHeaderPending = true;
    CsvFile file(result.path, session.regional, &input);
    session.output = &file;
    session.csv.Clear();
    session.flags.CsvRowsEnabled = false;
    FlightReplay(session, input);  // gathers the names of the columns the flight fills

    // Rows start from no values, so each row holds only what was decoded up to its time.
    session.csv.ClearValues();
    session.flags.CsvRowsEnabled = true;
    session.flags.CsvHeaderPending = true;
    FlightReplay(session, input);
    file.Close();

    const std::filesystem::path written(result.path);
    std::string folder = written.parent_path().string();
    if (!folder.empty()) folder += '/';
    result.exported = true;
    result.message = written.filename().string() + " created in " + folder;
    return result;
}

}  // namespace krelby
