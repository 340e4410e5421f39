// The state one run of the window shares between its commands: settings records, the
// checksum option, the chart model and the flight shown.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "format/crc32.h"
#include "format/datetime.h"
#include "base/progress.h"
#include "base/regional.h"
#include "replay/chart_model.h"
#include "settings/records.h"

namespace krelby {

struct Session {
    std::string ProgramFolder;  // ends in '/'
    Regional regional;
    Settings settings;
    ChecksumOptions checks;
    ChartModel chart;
    std::string CurrentFlightFile;
    double CurrentFlightEnd = 0.0;  // its last FlightMessage's time; 0 when it has none
    Progress progress;  // optional
};

}  // namespace krelby
