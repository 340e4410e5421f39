#include "export/exports.h"

#include <array>
#include <filesystem>

#include "export/csv_export.h"
#include "base/program_folder.h"
#include "export/gpx_export.h"
#include "export/kml_export.h"
#include "export/table_export.h"

namespace krelby {
namespace {

std::string WriteCsv(const std::string& flight, const ReplayInputs& in, const Regional& regional,
                     const std::string& out, ReplaySink* chart) {
    return CsvExport(flight, in, regional, out, chart);
}
std::string WriteKml(const std::string& flight, const ReplayInputs& in, const Regional& regional,
                     const std::string& out, ReplaySink* chart) {
    KmlExport(flight, in, regional, out, chart);
    return {};
}
std::string WriteKmlNamedByStart(const std::string& flight, const ReplayInputs& in, const Regional& regional,
                                 const std::string& out, ReplaySink* chart) {
    KmlExport(flight, in, regional, out, chart, true);
    return {};
}
// The window's table: the items it charts, in the units it shows them in.
std::string WriteTable(const std::string& flight, const ReplayInputs& in, const Regional&, const std::string& out,
                       ReplaySink* chart) {
    TableExport(flight, in, out, {}, chart);
    return {};
}
std::string WriteGpx(const std::string& flight, const ReplayInputs& in, const Regional& regional,
                     const std::string& out, ReplaySink* chart) {
    GpxExport(flight, in, regional, out, chart);
    return {};
}

constexpr std::array<ExportInfo, 6> kExports = {{
    {"jpeg", "JPG", "Enter name of JPEG file to create", "JPEG files (*.JPG)|*.JPG",
     "Export chart view to a &JPEG image file", "ExportJpeg1", "",
     "Saves the chart of a flight as a JPEG picture (1280x800 by default), with --track the track pane at its "
     "right.",
     nullptr, false},
    {"kml", "KML", "Enter name of Google file to create", "Goggle Earth file (*.KML)|*.KML",
     "Export current flight to Google Earth &KML", "ExportKml1", "Exporting to Google Earth...",
     "Exports a flight's GPS track as a KML 2.1 document, named after the flight's start.", WriteKml, false,
     WriteKmlNamedByStart},
    {"csv", "CSV", "", "", "Export flight as Excel &comma delimited file", "ExportCsv1", "Exporting to CSV...",
     "Exports a flight as CSV, by default to DIR/Exports/NAME.CSV.", WriteCsv, true},
    {"gpx", "gpx", "Enter name of GPX file to create", "GPX track (*.gpx)|*.gpx",
     "Export current flight as a &GPX track", "ExportGpx1", "Exporting to GPX...",
     "Exports a flight's GPS track as GPX 1.1 (times on the display's clock).", WriteGpx, false},
    {"report", "pdf", "Enter name of report file to create", "PDF documents (*.pdf)|*.pdf", "&Report...",
     "ExportReport1", "Writing the report...",
     "Writes the flight report (PDF): summary, engine tables, exceedances, strip charts and the track.", nullptr,
     false},
    {"table", "csv", "Enter name of table file to create", "Table (*.csv)|*.csv", "&Table...", "ExportTable1",
     "Exporting the table...",
     "Writes a flight as a table for analysis: a row per flight message, an ISO 8601 time, each item with its "
     "unit, full stops in every locale.",
     WriteTable, false, nullptr, true},
}};

}  // namespace

std::span<const ExportInfo> Exports() { return kExports; }

const ExportInfo* ExportNamed(std::string_view name) {
    for (const ExportInfo& e : kExports)
        if (name == e.name) return &e;
    return nullptr;
}

std::string ExportsFolderPath(const std::string& programFolder, const std::string& flight, std::string_view extension) {
    std::filesystem::path name = PathOf(flight).filename();
    // Appended, not prefixed: g++ 12 warns of a false overlap in "." + std::string at -O2.
    std::string dotted(".");
    dotted += extension;
    name.replace_extension(dotted);
    return programFolder + kExportsFolder + "/" + TextOf(name);
}

}  // namespace krelby
