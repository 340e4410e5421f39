// Copies of one flight: the internal and the SD card recording's files of it, a second
// import, a copy cut short. They are listed as one flight and counted once.
#pragma once
#include <string>
#include <vector>

#include "logbook/logbook.h"

namespace krelby {

// Two files hold the same flight messages, Frame for Frame (a quick test on the summaries).
bool SameFlightMessages(const FlightSummary& a, const FlightSummary& b);

// One entry for each flight. Files that start in the same second are copies of one flight
// when the dated FlightMessages of one are those of the other, in the same order, with some
// missing (Frames damaged in one recording, or its end cut off): the same flight messages, or
// a part of them, never another flight's. The entry is the copy that ends last (the first
// file among those), listing the others after it. Flights sorted by start,
// then by file (flights without a start last), then the files without flight data by file.
// The files are read where the summaries alone cannot tell (`programFolder` ends in '/').
std::vector<LogbookEntry> JoinCopies(std::vector<LogbookEntry> files, const std::string& programFolder);

}  // namespace krelby
