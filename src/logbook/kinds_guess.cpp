#include "logbook/kinds_guess.h"

#include <algorithm>
#include <cmath>

#include "replay/value_text.h"

namespace krelby {
namespace {

// "9–12", "5–8 and 10", "1, 3 and 5".
std::string InputList(const std::vector<int>& inputs) {
    std::vector<std::string> ranges;
    for (size_t i = 0; i < inputs.size();) {
        size_t j = i;
        while (j + 1 < inputs.size() && inputs[j + 1] == inputs[j] + 1) ++j;
        ranges.push_back(IntegerText(inputs[i]) + (j > i ? "\u2013" + IntegerText(inputs[j]) : ""));
        i = j + 1;
    }
    std::string out;
    for (size_t k = 0; k < ranges.size(); ++k)
        out += (k == 0 ? "" : k + 1 == ranges.size() ? " and " : ", ") + ranges[k];
    return out;
}

std::string Warning(const std::vector<int>& inputs, int monitor, const std::string& what) {
    const bool one = inputs.size() == 1;
    return std::string(one ? "Input " : "Inputs ") + InputList(inputs) + " of monitor " + IntegerText(monitor) + " " +
           what + (one ? ": set its kind in Options" : ": set their kinds in Options");
}

}  // namespace

std::array<std::optional<int>, 12> GreatestOver(const std::vector<EnginePoint>& points, int64_t from, int64_t to) {
    std::array<std::optional<int>, 12> out;
    for (const EnginePoint& p : points) {
        if (p.t < from || p.t > to) continue;
        for (int n = 1; n <= 12 && p.HasInput(n); ++n) {
            std::optional<int>& at = out[size_t(n - 1)];
            if (!at || p.tc[size_t(n - 1)] > *at) at = p.tc[size_t(n - 1)];
        }
    }
    return out;
}

GreatestReadings GreatestReadingsOf(const FlightRecord& record, const std::optional<CruiseStretch>& cruise) {
    GreatestReadings out;
    for (size_t m = 0; m < 4; ++m) {
        const std::vector<EnginePoint>& points = record.engines[m];
        const auto all = GreatestOver(points, INT64_MIN, INT64_MAX);
        out[m] = cruise ? GreatestOver(points, cruise->start, cruise->end) : all;
        for (size_t n = 0; n < 12; ++n)
            if (!out[m][n]) out[m][n] = all[n];
    }
    return out;
}

std::optional<uint8_t> GuessKind(std::optional<int> greatest) {
    if (!greatest) return std::nullopt;
    if (*greatest > kEgtAboveC) return EGT;
    if (*greatest >= kChtFromC) return CHT;
    return Other;
}

ThermocoupleKinds GuessKinds(const GreatestReadings& greatest, const ThermocoupleKinds& current) {
    ThermocoupleKinds out = current;
    for (size_t m = 0; m < 4; ++m)
        for (size_t n = 0; n < 12; ++n)
            if (const std::optional<uint8_t> kind = GuessKind(greatest[m][n])) out[12 * m + n] = *kind;
    return out;
}

std::vector<std::string> KindWarnings(const GreatestReadings& greatest, const ThermocoupleKinds& kinds) {
    std::vector<std::string> out;
    for (int m = 1; m <= 4; ++m) {
        std::vector<int> cold, hot;  // set EGT or CHT but reading below it; set CHT but reading as an EGT
        int coldMax = INT32_MIN, hotMin = INT32_MAX;
        for (int n = 1; n <= 12; ++n) {
            const std::optional<int>& g = greatest[size_t(m - 1)][size_t(n - 1)];
            const uint8_t set = KindOf(kinds, m, n);
            const std::optional<uint8_t> guess = GuessKind(g);
            if (set == Other || !guess || *guess == set) continue;
            if (set == CHT && *guess == EGT) {
                hot.push_back(n);
                hotMin = std::min(hotMin, *g);
            } else {
                cold.push_back(n);
                coldMax = std::max(coldMax, *g);
            }
        }
        // Round figures that hold for every input named: none read above the next hundred
        // up; each read above the hundred below.
        if (!cold.empty()) {
            const int above = int(std::ceil(coldMax / 100.0)) * 100;
            out.push_back(Warning(cold, m, "never read above " + IntegerText(std::max(above, 0)) + " \u00b0C"));
        }
        if (!hot.empty()) {
            const int above = (int(std::ceil(hotMin / 100.0)) - 1) * 100;
            out.push_back(Warning(hot, m, "read above " + IntegerText(above) + " \u00b0C"));
        }
    }
    return out;
}

}  // namespace krelby
