// The GPX 1.1 export: one track of the flight's positions, for the map programs that read GPX.
#pragma once
#include <string>

#include "base/regional.h"
#include "replay/replay.h"
#include "replay/sink.h"

namespace krelby {

// Writes the track of `flight` to `out`: a <trk> named after the flight's start (the time of
// its first good FlightMessage, as its file is), one <trkseg> with a <trkpt> per GpsMessage
// that carries a position, its GPS altitude in metres, the time of the FlightMessage before
// it, on the display's clock (no time zone), and the satellites tracked. Both replays
// also feed `chart` when given. Throws krelby::Error on a file or replay error; nothing is
// left at the target then.
void GpxExport(const std::string& flight, const ReplayInputs& in, const Regional& regional, const std::string& out,
               ReplaySink* chart = nullptr);

}  // namespace krelby
