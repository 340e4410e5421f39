// FlightReplay: reads one flight file through its own scanner, decodes each good message and
// hands the ticked data items, in the units chosen, to its sinks.
#pragma once
#include <initializer_list>
#include <span>
#include <string>

#include "base/file.h"
#include "format/crc32.h"
#include "base/progress.h"
#include "replay/chart_model.h"
#include "replay/sink.h"
#include "settings/records.h"

namespace krelby {

// What a replay reads besides the flight: which items are ticked, their units and the
// thermocouple kinds, the checksum option, and where progress goes (optional).
struct ReplayInputs {
    const Settings& settings;
    const ChecksumOptions& checks;
    const Progress* progress = nullptr;
};

// Opens a flight file for replays; throws krelby::Error when it cannot be opened or is no
// regular file.
InputFile OpenFlight(const std::string& path);

// Whether the open flight holds at least one Frame that passes its tests (read up to the
// first one); the file is left at its start.
bool HasGoodFrame(InputFile& flight, const ChecksumOptions& checks);

// Replays an open flight file from its start into `sinks` (null ones are passed over). An export replays the one open
// file for each of its passes, so that a flight replaced meanwhile cannot mix two versions.
// Throws krelby::Error when the file cannot be read, or a sink's error.
ReplayEnd FlightReplay(InputFile& flight, const ReplayInputs& inputs, std::span<ReplaySink* const> sinks);
inline ReplayEnd FlightReplay(InputFile& flight, const ReplayInputs& inputs, std::initializer_list<ReplaySink*> sinks) {
    return FlightReplay(flight, inputs, std::span<ReplaySink* const>(sinks.begin(), sinks.size()));
}

// Replays `path` into `chart` (and `more`) and returns its end. The chart is reset also when
// the file cannot be opened.
ReplayEnd ChartReplay(ChartModel& chart, const std::string& path, const ReplayInputs& inputs,
                      std::span<ReplaySink* const> more);
inline ReplayEnd ChartReplay(ChartModel& chart, const std::string& path, const ReplayInputs& inputs,
                             std::initializer_list<ReplaySink*> more = {}) {
    return ChartReplay(chart, path, inputs, std::span<ReplaySink* const>(more.begin(), more.size()));
}

}  // namespace krelby
