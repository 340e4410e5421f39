// The lines of a text file the programs write, each ended by CR LF (or LF: the analysis table).
#pragma once
#include <string>
#include <vector>

namespace krelby::testing {

// A last line without its CR LF comes back marked, so a file cut short shows.
inline std::vector<std::string> CrlfLines(const std::string& text) {
    std::vector<std::string> out;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            out.push_back(text.substr(start) + "<no CRLF>");
            break;
        }
        out.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

// The same for LF line ends; a CR left in a line shows as it is.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            out.push_back(text.substr(start) + "<no LF>");
            break;
        }
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

}  // namespace krelby::testing
