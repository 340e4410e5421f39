// The [Limits] keys of Krelby.INI: their names, how a value is read and how it is written.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "settings/records.h"

namespace krelby {

struct LimitKeyInfo {
    std::string_view name;  // the INI key
    bool minimum;           // below is an exceedance (else above)
};
// Indexed by LimitKey.
extern const std::array<LimitKeyInfo, kLimitKeyCount> kLimitKeys;
inline const LimitKeyInfo& InfoOf(LimitKey k) { return kLimitKeys[static_cast<size_t>(k)]; }

// An optional minus, digits, and optionally a point and digits ("2.75", "-10", "230"), read
// whatever the locale; nullopt for anything else ("", "1e3", "2,75", "+5", "2.").
std::optional<double> ParseLimit(std::string_view text);
// At most 4 decimals, trailing zeros and a trailing point dropped: 2.75, 230, 700.5.
std::string LimitText(double value);

}  // namespace krelby
