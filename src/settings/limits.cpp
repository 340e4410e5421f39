#include "settings/limits.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace krelby {

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

LimitRead ReadLimit(std::string_view text, double& value) {
    if (text.empty()) return LimitRead::Empty;
    size_t i = 0;
    if (i < text.size() && text[i] == '-') ++i;
    const size_t digits = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i == digits) return LimitRead::NotANumber;
    if (i < text.size() && text[i] == '.') {
        const size_t decimals = ++i;
        while (i < text.size() && IsDigit(text[i])) ++i;
        if (i == decimals) return LimitRead::NotANumber;
    }
    if (i != text.size()) return LimitRead::NotANumber;
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::fixed);
    // Well formed but too large for a double: out of range as well.
    if (r.ec == std::errc::result_out_of_range || (r.ec == std::errc() && !(std::fabs(v) <= kLimitMagnitude)))
        return LimitRead::OutOfRange;
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return LimitRead::NotANumber;
    value = v == 0 ? 0.0 : v;  // "-0" is 0
    return LimitRead::Ok;
}

std::optional<double> ParseLimit(std::string_view text) {
    double v = 0;
    if (ReadLimit(text, v) != LimitRead::Ok) return std::nullopt;
    return v;
}

std::string LimitText(double value) {
    if (value == 0) return "0";
    char buffer[400];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, r.ec == std::errc() ? r.ptr : buffer);
}

double RoundedLimit(double value) {
    char buffer[400];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4);
    double v = value;
    if (r.ec == std::errc()) std::from_chars(buffer, r.ptr, v, std::chars_format::fixed);
    return v == 0 ? 0.0 : v;
}

const std::array<SecondsKeyInfo, 2> kSecondsKeys = {{
    {"ExceedanceMergeSeconds", "Join the runs of one item at most this far apart", &Limits::mergeSeconds,
     kDefaultMergeSeconds},
    {"ExceedanceMinSeconds", "Leave out runs shorter than", &Limits::minSeconds, kDefaultMinSeconds},
}};

std::optional<int64_t> ParseSeconds(std::string_view text) {
    if (text.empty()) return std::nullopt;
    int64_t v = 0;
    for (char c : text) {
        if (!IsDigit(c)) return std::nullopt;
        v = std::min(kSecondsCeiling, v * 10 + (c - '0'));
    }
    return v;
}

void Limits::Set(LimitKey k, std::optional<double> value) {
    LimitSetting& s = keys[static_cast<size_t>(k)];
    s.text = value ? LimitText(*value) : std::string();
    s.value = ParseLimit(s.text);  // as it will read back
}

}  // namespace krelby
