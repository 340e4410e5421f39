// The fields of the window's state that the replay and export tests set, handed to the core
// the way the window hands them.
#pragma once
#include <initializer_list>
#include <span>
#include <string>

#include "base/progress.h"
#include "base/regional.h"
#include "export/csv_export.h"
#include "export/csv_file.h"
#include "export/gpx_export.h"
#include "export/kml_export.h"
#include "format/crc32.h"
#include "replay/chart_model.h"
#include "replay/replay.h"
#include "settings/records.h"

namespace krelby::testing {

struct ShownFlight {
    std::string ProgramFolder;  // ends in '/'
    Regional regional;
    Settings settings;
    ChecksumOptions checks;
    ChartModel chart;
    std::string CurrentFlightFile;
    double CurrentFlightEnd = 0.0;
    Progress progress;

    ReplayInputs Inputs() const { return {settings, checks, &progress}; }
    // Replays `path` into the chart (and `more`) and makes it the current flight.
    void Show(const std::string& path, std::span<ReplaySink* const> more) {
        CurrentFlightFile = path;
        CurrentFlightEnd = 0;
        CurrentFlightEnd = ChartReplay(chart, path, Inputs(), more).lastTime;
    }
    void Show(const std::string& path, std::initializer_list<ReplaySink*> more = {}) {
        Show(path, std::span<ReplaySink* const>(more.begin(), more.size()));
    }
    // The exports of the current flight; the CSV goes to the Exports folder when `out` is empty.
    std::string Csv(const std::string& out = {}) const {
        return CsvExport(CurrentFlightFile, Inputs(), regional,
                         out.empty() ? CsvExportPath(ProgramFolder, CurrentFlightFile) : out);
    }
    void Kml(const std::string& out) const { KmlExport(CurrentFlightFile, Inputs(), regional, out); }
    void Gpx(const std::string& out) const { GpxExport(CurrentFlightFile, Inputs(), regional, out); }
};

}  // namespace krelby::testing
