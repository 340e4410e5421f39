// The KML export: head, one coordinate line per GpsMessage of a replay, tail.
#pragma once
#include <string>

#include "base/regional.h"
#include "replay/replay.h"
#include "replay/sink.h"

namespace krelby {

// Writes the track of `flight` to `out`, in the style of the settings' KML record with the
// opacity rule applied (the window applies it to its own settings too). The document is named
// after the time of the flight's last good FlightMessage, as the window names the flight it
// shows, or with `namedByStart` after its first, the start that names the flight file
// (krelby-cli). Both replays also feed `chart` when given. Throws krelby::Error on a file or
// replay error; nothing is left at the target then.
void KmlExport(const std::string& flight, const ReplayInputs& in, const Regional& regional, const std::string& out,
               ReplaySink* chart = nullptr, bool namedByStart = false);

}  // namespace krelby
