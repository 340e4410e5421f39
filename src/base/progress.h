#pragma once
#include <cstdint>
#include <functional>

namespace krelby {
// Reports bytes done of a total during long imports and replays (a progress dialog).
using Progress = std::function<void(uint64_t done, uint64_t total)>;
}  // namespace krelby
