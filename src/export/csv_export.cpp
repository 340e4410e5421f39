#include "export/csv_export.h"

#include <filesystem>
#include <memory>

#include "export/csv_file.h"
#include "replay/replay.h"

namespace krelby {
namespace {

bool FlightFileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(PathOf(path), ec);
}

}  // namespace

CsvExportResult CsvExport(Session& session, const std::string& path, ReplaySink* chart) {
    CsvExportResult result;
    if (!FlightFileExists(session.CurrentFlightFile)) {
        result.message = "No valid data file selected yet";
        return result;
    }
    const std::string flight = session.CurrentFlightFile;
    result.path = path.empty() ? CsvExportPath(session.ProgramFolder, flight) : path;

    // Both passes read this one open file, whatever replaces the name meanwhile.
    InputFile input = OpenFlight(flight);
    CsvFile file(result.path, session.regional, &input);
    const ReplayInputs in{session.settings, session.checks, &session.progress};
    auto columns = std::make_unique<CsvColumns>();
    {
        CsvColumnsSink names(*columns, session.settings);  // the columns the flight fills
        FlightReplay(input, in, {chart, &names});
    }
    // Rows start from no values, so each row holds only what was decoded up to its time.
    columns->ClearValues();
    CsvRowsSink rows(*columns, session.settings, file);
    FlightReplay(input, in, {chart, &rows});
    file.Close();

    const std::filesystem::path written = PathOf(result.path);
    std::string folder = TextOf(written.parent_path());
    if (!folder.empty()) folder += '/';
    result.exported = true;
    result.message = TextOf(written.filename()) + " created in " + folder;
    return result;
}

}  // namespace krelby
