#include "import/flight_file_name.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "base/file.h"
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

enum class Prefix { Extends, Holds, Other };

// How the file `earlier` stands to the file `later`: its bytes a prefix of `later`'s,
// holding all of `later` and more, or anything else (unreadable included).
Prefix Compare(const std::string& earlier, const std::string& later) {
    InputFile a, b;
    if (a.Open(earlier) != 0 || b.Open(later) != 0) return Prefix::Other;
    // One byte more than the longer file holds: both ends show in the first reads.
    const size_t chunk = static_cast<size_t>(std::min<uint64_t>(256 << 10, std::max(a.Size(), b.Size()) + 1));
    std::unique_ptr<uint8_t[]> x(new uint8_t[chunk]), y(new uint8_t[chunk]);
    for (;;) {
        size_t n = 0, m = 0;
        if (a.ReadSome(x.get(), chunk, n) != 0 || b.ReadSome(y.get(), chunk, m) != 0) return Prefix::Other;
        const size_t common = n < m ? n : m;
        if (std::memcmp(x.get(), y.get(), common) != 0) return Prefix::Other;
        if (n < chunk || m < chunk) return n <= m ? Prefix::Extends : Prefix::Holds;
    }
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

std::string FlightFileNamer::Place(double t, const std::string& written, bool partial) {
    const std::string first = FlightFileName(t, regional_);
    const std::string stem = first.substr(0, first.size() - 4);
    int& next = next_.try_emplace(stem, 1).first->second;
    for (;; ++next) {
        const std::string name = next == 1 ? first : stem + " (" + std::to_string(next) + ").FLT";
        const std::string path = folderPath_ + name;
        if (!Exists(path)) return ++next, name;
        switch (Compare(path, written)) {
            case Prefix::Extends: return ++next, name;
            case Prefix::Holds:
                if (partial) return ++next, std::string();
                break;
            case Prefix::Other: break;
        }
    }
}

}  // namespace krelby
