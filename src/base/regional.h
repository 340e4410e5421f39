// Regional separators, taken from the system locale by the programs and passed into the core.
#pragma once
#include <string_view>

namespace krelby {

// The C locale's separators are the defaults, and stand in for any the locale gives that is
// not one printable ASCII character: a flight's name and its CSV rows stay plain ASCII.
struct Regional {
    char dateSeparator = '/';
    char timeSeparator = ':';
    char decimalSeparator = '.';
};

// `text` without surrounding spaces when that is one printable ASCII character, else `fallback`.
char SingleSeparator(std::string_view text, char fallback);
// The separator of a strftime-style format (as nl_langinfo gives D_FMT and T_FMT): the text
// between its first two fields ("%d.%m.%Y" -> '.', "%T" -> ':'), through SingleSeparator.
char FormatSeparator(std::string_view format, char fallback);

}  // namespace krelby
