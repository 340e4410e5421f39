// The KML export: head, one coordinate line per GpsMessage during a replay, tail.
#pragma once
#include <string>

#include "replay/session.h"

namespace krelby {

// Writes the current flight's track to `path`; does nothing when there is no current flight.
// Throws krelby::Error on a file or replay error (flag cleared, file closed).
void KmlExport(Session& session, const std::string& path);

}  // namespace krelby
