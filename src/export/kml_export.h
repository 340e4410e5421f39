// The KML export: head, one coordinate line per GpsMessage of a replay, tail.
#pragma once
#include <string>

#include "replay/session.h"
#include "replay/sink.h"

namespace krelby {

// Writes the current flight's track to `path`; does nothing when there is no current flight.
// Both replays also feed `chart` when given. Throws krelby::Error on a file or replay error;
// nothing is left at the target then.
void KmlExport(Session& session, const std::string& path, ReplaySink* chart = nullptr);

}  // namespace krelby
