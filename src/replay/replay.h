// FlightReplay: reads one flight file through its own scanner and hands each good
// message to its decoder, which draws the selected data items and feeds the exports.
#pragma once
#include <string>

#include "replay/session.h"

namespace krelby {

// Throws krelby::Error when the file cannot be opened or read, or a line cannot be written.
void FlightReplay(Session& session, const std::string& path);

}  // namespace krelby
