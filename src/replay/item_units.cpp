#include "replay/item_units.h"

namespace krelby {
namespace {

// The unit of an item that no choice converts, by what its table row says it is.
std::string_view FixedSymbol(const DataItem& item) {
    switch (item.conv) {
        case Conv::Rate: return "°/s";
        case Conv::Hundredths: return "g";  // the accelerations
        case Conv::Tenths:
            // Angles and the angle of attack; the one tenth on the number axis is the turn rate.
            return item.axis == Axis::Number ? std::string_view("°/s") : kDegreeSymbol;
        default: break;
    }
    if (item.axis == Axis::Rpm) return "rpm";
    if (item.axis == Axis::Altitude) return "ft";  // the altitude bug, never converted
    return {};
}

}  // namespace

ItemUnit UnitOfItem(const DataItem& item, UnitSystem system, const UnitSettings& chosen) {
    if (const std::optional<UnitQuantity> q = UnitQuantityOf(item)) {
        if (system == UnitSystem::Chosen) return {ShownUnit(*q, chosen).symbol};
        const SystemUnit u = UnitInSystem(*q, system);
        return {u.symbol, u.multiplier, u.divisor, u.decimals};
    }
    const std::string_view symbol = FixedSymbol(item);
    // An altitude in SI is in metres, the altitude bug's too.
    if (system == UnitSystem::Si && symbol == "ft") {
        const SystemUnit m = UnitInSystem(UnitQuantity::Altitude, system);
        return {m.symbol, m.multiplier, m.divisor, m.decimals};
    }
    return {symbol};
}

}  // namespace krelby
