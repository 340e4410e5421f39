// Regional separators, taken from the system locale by the programs and passed into the core.
#pragma once

namespace krelby {

struct Regional {
    char dateSeparator = '/';
    char timeSeparator = ':';
    char decimalSeparator = '.';
};

}  // namespace krelby
