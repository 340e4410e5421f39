#include "import/flight_file_name.h"

#include "format/datetime.h"

namespace krelby {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Takes 1 to `most` digits from the front of `s`.
bool Digits(std::string_view& s, size_t least, size_t most) {
    size_t n = 0;
    while (n < s.size() && n < most && IsDigit(s[n])) ++n;
    if (n < least) return false;
    s.remove_prefix(n);
    return true;
}

// Takes one separator: any byte that is neither a digit nor ends a path component.
bool Separator(std::string_view& s) {
    if (s.empty() || IsDigit(s[0]) || s[0] == '/' || s[0] == '\\' || s[0] == ' ' || s[0] == '\0') return false;
    s.remove_prefix(1);
    return true;
}

}  // namespace

std::string FlightFileName(double t, const Regional& regional) {
    std::string name;
    for (char c : FormatShortDateTime(t, regional)) {
        if (c == '/') name += '-';
        else if (c != ':') name += c;
    }
    return name + ".FLT";
}

bool IsFlightFileName(std::string_view s) {
    if (s.size() < 4 || s.substr(s.size() - 4) != ".FLT") return false;
    s.remove_suffix(4);
    if (s.size() > 4 && s.back() == ')') {  // " (n)"
        const size_t open = s.rfind(" (");
        if (open == std::string_view::npos) return false;
        std::string_view n = s.substr(open + 2, s.size() - open - 3);
        if (!Digits(n, 1, 9) || !n.empty()) return false;
        s = s.substr(0, open);
    }
    if (!Digits(s, 1, 2) || !Separator(s) || !Digits(s, 1, 2) || !Separator(s) || !Digits(s, 2, 2)) return false;
    if (s.empty()) return true;
    if (s[0] != ' ') return false;
    s.remove_prefix(1);
    for (int part = 0; part < 3; ++part) {
        if (part > 0 && !s.empty() && !IsDigit(s[0]) && !Separator(s)) return false;
        if (!Digits(s, 2, 2)) return false;
    }
    return s.empty();
}

}  // namespace krelby
