#include "base/text.h"

namespace krelby {

std::string ValidUtf8(std::string_view bytes) {
    static constexpr char kReplacement[] = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(bytes.size());
    const size_t n = bytes.size();
    auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    for (size_t i = 0; i < n;) {
        const unsigned char b = at(i);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        // The length of the sequence and the range of its second byte (which rules out
        // overlong forms, surrogates and code points above U+10FFFF).
        int length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) length = 2;
        else if (b == 0xE0) length = 3, low = 0xA0;
        else if (b == 0xED) length = 3, high = 0x9F;
        else if (b >= 0xE1 && b <= 0xEF) length = 3;
        else if (b == 0xF0) length = 4, low = 0x90;
        else if (b == 0xF4) length = 4, high = 0x8F;
        else if (b >= 0xF1 && b <= 0xF3) length = 4;
        size_t k = 1;
        if (length) {
            for (; k < static_cast<size_t>(length) && i + k < n; ++k) {
                const unsigned char c = at(i + k);
                if (k == 1 ? (c < low || c > high) : (c < 0x80 || c > 0xBF)) break;
            }
        }
        if (length && k == static_cast<size_t>(length)) {
            out.append(bytes.substr(i, k));
        } else {
            out += kReplacement;
        }
        i += k;
    }
    return out;
}

void AppendJsonString(std::string& out, std::string_view raw) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char c : ValidUtf8(raw)) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    out += "\\u00";
                    out += kHex[(c >> 4) & 0xF];
                    out += kHex[c & 0xF];
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

}  // namespace krelby
