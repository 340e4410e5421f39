// The GPX 1.1 export: one track of the flight's positions, for the map programs that read GPX.
#pragma once
#include <string>

#include "base/regional.h"
#include "replay/replay.h"
#include "replay/sink.h"

namespace krelby {

// Writes the track of `flight` to `out`: a <trk> named like the KML document, one <trkseg>
// with a <trkpt> per GpsMessage that carries a position, its GPS altitude in metres and the
// time of the FlightMessage before it, on the display's clock (no time zone). Both replays
// also feed `chart` when given. Throws krelby::Error on a file or replay error; nothing is
// left at the target then.
void GpxExport(const std::string& flight, const ReplayInputs& in, const Regional& regional, const std::string& out,
               ReplaySink* chart = nullptr);

}  // namespace krelby
