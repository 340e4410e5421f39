#include "replay/series_limits.h"

#include <optional>

#include "settings/limits.h"

namespace krelby {

std::vector<LimitKey> LimitsOfItem(const DataItem& item) {
    if (item.checkBox < 1 || item.checkBox > ItemBoxes().size()) return {};
    const ItemBox& box = ItemBoxes()[item.checkBox - 1];
    if (box.source != Source::Engine) return {};
    // An input's item is that of its kind, on its kind's axis.
    std::optional<LimitOn> on;
    if (box.thermocouple == 0) on = LimitOn::Field;
    else if (item.axis == Axis::Egt) on = LimitOn::EgtInputs;
    else if (item.axis == Axis::Cht) on = LimitOn::ChtInputs;
    std::vector<LimitKey> keys;
    for (const LimitKeyInfo& k : kLimitKeys)
        if (k.on == on && (k.on != LimitOn::Field || k.field == item.offset)) keys.push_back(k.key);
    return keys;
}

}  // namespace krelby
