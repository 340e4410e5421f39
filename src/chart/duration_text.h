// A span of time as a pilot reads it: "29 s", "4 min 5 s", "9 h 59 min 57 s".
#pragma once
#include <QString>
#include <cstdint>

namespace krelby {

QString DurationText(int64_t seconds);

}  // namespace krelby
