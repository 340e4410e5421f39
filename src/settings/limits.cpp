#include "settings/limits.h"

#include <charconv>
#include <cmath>

namespace krelby {

const std::array<LimitKeyInfo, kLimitKeyCount> kLimitKeys = {{
    {"RpmMax", false},
    {"MapMax", false},
    {"OilPressureMin", true},
    {"OilPressureMax", false},
    {"OilTempMax", false},
    {"FuelPressureMin", true},
    {"FuelPressureMax", false},
    {"CoolantTempMax", false},
    {"EgtMax", false},
    {"ChtMax", false},
    {"EgtSpreadMax", false},
}};

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

std::optional<double> ParseLimit(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && text[i] == '-') ++i;
    const size_t digits = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i == digits) return std::nullopt;
    if (i < text.size() && text[i] == '.') {
        const size_t decimals = ++i;
        while (i < text.size() && IsDigit(text[i])) ++i;
        if (i == decimals) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::fixed);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::string LimitText(double value) {
    char buffer[400];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4);
    std::string text(buffer, r.ec == std::errc() ? r.ptr : buffer);
    if (const size_t point = text.find('.'); point != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return text;
}

void Limits::Set(LimitKey k, std::optional<double> value) {
    LimitSetting& s = keys[static_cast<size_t>(k)];
    s.text = value ? LimitText(*value) : std::string();
    s.value = ParseLimit(s.text);  // as it will read back
}

}  // namespace krelby
