// The state one run of the program shares between its commands: settings records,
// the checksum option, the sample clock, the replay flags, the chart model and the CSV columns.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "format/crc32.h"
#include "format/datetime.h"
#include "format/progress.h"
#include "format/regional.h"
#include "replay/chart_model.h"
#include "replay/csv_columns.h"
#include "settings/records.h"

namespace krelby {

class GpsMessage;

struct ReplayFlags {
    bool CsvExportActive = false;
    bool CsvHeaderPending = false;
    bool CsvRowsEnabled = false;
    bool KmlExportActive = false;
};

// Where the decoders write CSV and KML lines while an export steers the replay.
class ReplayOutput {
public:
    virtual ~ReplayOutput() = default;
    // The header line, from the column names (first FlightMessage of pass 2).
    virtual void CsvHeader(const CsvColumns& /*columns*/) {}
    // One row: the time of a FlightMessage and every column's latest value.
    virtual void CsvRow(double /*time*/, const CsvColumns& /*columns*/) {}
    // One coordinate line per GpsMessage while KmlExportActive.
    virtual void KmlCoordinate(const GpsMessage& /*message*/) {}
};

struct Session {
    std::string ProgramFolder;  // ends in '/'
    Regional regional;
    Settings settings;
    ChecksumOptions checks;
    SampleClock clock;  // shared by the import and the replay
    ReplayFlags flags;
    ChartModel chart;
    CsvColumns csv;
    std::string CurrentFlightFile;
    ReplayOutput* output = nullptr;  // set by an export for the length of its replays
    Progress progress;               // optional
};

}  // namespace krelby
