// The recorded clock: whole seconds since 2000-01-01 00:00:00, split into calendar fields.
#pragma once
#include <cstdint>

#include "format/datetime.h"

namespace krelby::gen {

struct CivilTime {
    int year, month, day, hour, minute, second;
};

// 2000-01-01 is day 10957 after 1970-01-01.
inline int64_t DaysSince2000(int y, int m, int d) { return DaysFromCivil(y, m, d) - 10957; }

using krelby::DaysInMonth;

inline int64_t SecondsSince2000(const CivilTime& t) {
    return DaysSince2000(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

inline CivilTime CivilFromSeconds(int64_t s) {
    int64_t z = s / 86400;
    int64_t rem = s % 86400;
    if (rem < 0) rem += 86400, --z;
    CivilTime t{};
    CivilFromDays(z + 10957, t.year, t.month, t.day);
    t.hour = static_cast<int>(rem / 3600);
    t.minute = static_cast<int>(rem / 60 % 60);
    t.second = static_cast<int>(rem % 60);
    return t;
}

}  // namespace krelby::gen
