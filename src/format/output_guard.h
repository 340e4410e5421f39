// What no export may write over: flight files are often the pilot's only copy of a flight.
#pragma once
#include <string>

namespace krelby {

// Throws krelby::Error "Cannot create file OUTPUT: ..." when `output` leads (by a symbolic
// link, a hard link or "..") to a file in a flight folder ("Flights_INT", "Flights_SD"), to
// a file whose first bytes are a Frame that passes its tests, or nowhere (a loop of links,
// which a rename would replace by a plain file). Every export calls it before it writes.
void RefuseFlightDataAsOutput(const std::string& output);

// Whether `path` (followed through links) begins with a Frame that passes its tests.
bool StartsWithFrame(const std::string& path);

}  // namespace krelby
