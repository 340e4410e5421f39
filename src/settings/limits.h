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

// Limits beyond this magnitude are refused: no engine reads a million of anything, and a
// longer number would be written back with hundreds of digits.
constexpr double kLimitMagnitude = 1e6;

enum class LimitRead { Ok, Empty, NotANumber, OutOfRange };
// An optional minus, digits, and optionally a point and digits ("2.75", "-10", "230"), read
// whatever the locale; anything else ("1e3", "2,75", "+5", "2.") is NotANumber, and a
// number beyond ±kLimitMagnitude is OutOfRange. `value` is set only for Ok.
LimitRead ReadLimit(std::string_view text, double& value);
// The value when ReadLimit gives Ok, else nullopt.
std::optional<double> ParseLimit(std::string_view text);
// The value in full, as the rule compares it: the fewest decimals that read back as the same
// number (2.75, 230, 2700.99999), so that a limit never reads as the peak beyond it.
std::string LimitText(double value);
// At most 4 decimals, trailing zeros dropped: a limit converted from the units shown.
double RoundedLimit(double value);

// The two keys of whole seconds: digits only; the default for anything else.
struct SecondsKeyInfo {
    std::string_view name;
    SecondsSetting Limits::*field;
    int64_t defaultValue;
};
extern const std::array<SecondsKeyInfo, 2> kSecondsKeys;
// Digits only ("10", "0"); nullopt for anything else, also for "" and "-1". A number of more
// seconds than any flight spans reads as kSecondsCeiling, which the rule treats alike.
std::optional<int64_t> ParseSeconds(std::string_view text);
constexpr int64_t kSecondsCeiling = int64_t{1} << 40;

}  // namespace krelby
