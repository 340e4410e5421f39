// The state one run of the window shares between its commands: settings records, the
// checksum option, the chart model and the flight shown.
#pragma once
#include <string>

#include "base/progress.h"
#include "base/regional.h"
#include "format/crc32.h"
#include "logbook/cylinders.h"
#include "logbook/exceedances.h"
#include "replay/chart_model.h"
#include "replay/replay.h"
#include "replay/track.h"
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
    TrackSink track;  // the positions of the flight shown, for the track pane
    // Beyond the pilot's limits, and the hottest inputs, in the same pass as the chart.
    ExceedanceSink exceedances{settings.thermocouples, settings.limits};
    CylinderSink cylinders{settings.thermocouples};

    // What a replay or an export of the current flight reads from here.
    ReplayInputs Inputs() const { return {settings, checks, &progress}; }
    // Replays `path` into the chart, makes it the current flight and notes the time of its
    // last FlightMessage. The chart is reset also when the file cannot be opened.
    void ShowFlight(const std::string& path) {
        CurrentFlightFile = path;
        CurrentFlightEnd = 0;
        track.Clear();
        if (!checks.IgnoreChecksums) {
            CurrentFlightEnd = ChartReplay(chart, path, Inputs(), {&track, &exceedances, &cylinders}).lastTime;
            return;
        }
        // Exceedances count tested Frames only, whatever the chart is told: one rule for the
        // window, the command line and the logbook.
        CurrentFlightEnd = ChartReplay(chart, path, Inputs(), {&track}).lastTime;
        InputFile file = OpenFlight(path);
        const Settings nothingTicked;
        const ChecksumOptions tested;
        FlightReplay(file, {nothingTicked, tested}, {&exceedances, &cylinders});
    }
};

}  // namespace krelby
