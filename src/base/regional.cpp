#include "base/regional.h"

#include <string>

namespace krelby {

char SingleSeparator(std::string_view text, char fallback) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text.size() == 1 && text[0] > 0x20 && text[0] < 0x7F ? text[0] : fallback;
}

char FormatSeparator(std::string_view format, char fallback) {
    // The composite fields spelt out, so "%T" yields its ':' like "%H:%M:%S".
    std::string expanded;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            expanded += format[i];
            continue;
        }
        switch (format[++i]) {
            case 'T': expanded += "%H:%M:%S"; break;
            case 'R': expanded += "%H:%M"; break;
            case 'r': expanded += "%I:%M:%S %p"; break;
            case 'D': expanded += "%m/%d/%y"; break;
            case 'F': expanded += "%Y-%m-%d"; break;
            default: expanded += '%'; expanded += format[i];
        }
    }
    // One field: '%', flags and width ("%-d", "%02d"), an E or O modifier, the conversion.
    auto fieldEnd = [&](size_t at) {
        ++at;
        while (at < expanded.size() && std::string_view("_-0^#123456789").find(expanded[at]) != std::string_view::npos)
            ++at;
        if (at < expanded.size() && (expanded[at] == 'E' || expanded[at] == 'O')) ++at;
        return at < expanded.size() ? at + 1 : at;
    };
    const size_t first = expanded.find('%');
    if (first == std::string::npos) return fallback;
    const size_t from = fieldEnd(first);
    const size_t next = expanded.find('%', from);
    if (next == std::string::npos) return fallback;
    return SingleSeparator(std::string_view(expanded).substr(from, next - from), fallback);
}

}  // namespace krelby
