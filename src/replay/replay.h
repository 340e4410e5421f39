// FlightReplay: reads one flight file through its own scanner and hands each good
// message to its decoder, which draws the selected data items and feeds the exports.
#pragma once
#include <string>

#include "base/file.h"
#include "replay/session.h"

namespace krelby {

// Opens a flight file for replays; throws krelby::Error when it cannot be opened or is no
// regular file.
InputFile OpenFlight(const std::string& path);

// Throws krelby::Error when the file cannot be opened or read, or a line cannot be written.
void FlightReplay(Session& session, const std::string& path);
// Replays an open flight file from its start. An export replays the one open file for each
// of its passes, so that a flight replaced meanwhile cannot mix two versions.
void FlightReplay(Session& session, InputFile& flight);

}  // namespace krelby
