// A file written whole or not at all from bytes in memory (the flight report's PDF).
#pragma once
#include <string>
#include <string_view>

namespace krelby {

// Refuses a path that leads to `source` (the flight it was made from) or to flight data,
// then writes `data` beside `path` and renames it into place. Throws krelby::Error ("Cannot
// create file PATH", "Cannot write file PATH"); nothing is left at `path` then.
void WriteWholeFile(const std::string& path, std::string_view data, const std::string& source = {});

}  // namespace krelby
