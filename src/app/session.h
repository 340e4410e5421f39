// The state one run of the window shares between its commands: settings records, the
// checksum option, the chart model and the flight shown.
#pragma once
#include <string>

#include "base/progress.h"
#include "base/regional.h"
#include "format/crc32.h"
#include "replay/chart_model.h"
#include "replay/replay.h"
#include "replay/track.h"
#include "settings/records.h"
#include "settings/settings_merge.h"

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
    // The settings as read at start: the close writes only what this run changed.
    LoadedSettings loaded;

    // What a replay or an export of the current flight reads from here.
    ReplayInputs Inputs() const { return {settings, checks, &progress}; }
    // Replays `path` into the chart, makes it the current flight and notes the time of its
    // last FlightMessage. The chart is reset also when the file cannot be opened.
    void ShowFlight(const std::string& path) {
        CurrentFlightFile = path;
        CurrentFlightEnd = 0;
        track.Clear();
        // The exceedances are found apart, off the window's thread (ExceedanceSearch).
        CurrentFlightEnd = ChartReplay(chart, path, Inputs(), {&track}).lastTime;
    }
};

}  // namespace krelby
