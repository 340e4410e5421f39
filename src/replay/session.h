// The state one run of the window shares between its commands: settings records, the
// checksum option, the sample clock, the chart model and the flight shown.
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
    SampleClock clock;  // shared by the import and the replay
    ChartModel chart;
    std::string CurrentFlightFile;
    Progress progress;  // optional
};

}  // namespace krelby
