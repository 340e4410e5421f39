// The GPX 1.1 export: one track of the flight's positions, for the map programs that read GPX.
#pragma once
#include <string>

#include "replay/session.h"
#include "replay/sink.h"

namespace krelby {

// Writes the current flight's track to `path`: a <trk> named like the KML document, one
// <trkseg> with a <trkpt> per GpsMessage that carries a position, its GPS altitude in metres
// and the time of the FlightMessage before it, on the display's clock (no time zone). Does
// nothing without a current flight; both replays also feed `chart` when given. Throws
// krelby::Error on a file or replay error; nothing is left at the target then.
void GpxExport(Session& session, const std::string& path, ReplaySink* chart = nullptr);

}  // namespace krelby
