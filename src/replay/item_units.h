// The unit of each data item's values in the three unit systems, read from the items' table:
// the unit choice that converts an item (UnitQuantityOf), or the fixed unit of the others
// (degrees, g, rpm). What the analysis table writes after each title ("PALT [ft]").
#pragma once
#include <string_view>

#include "replay/data_items.h"
#include "replay/units.h"

namespace krelby {

struct ItemUnit {
    std::string_view symbol;  // "" for a plain number, a count or a state
    // Recorded and Si: the item's value under RecordedUnitSettings, times multiplier /
    // divisor, with `decimals` decimals. Chosen, and an item no system converts: the value as
    // the chart has it, in the item's own text form (decimals -1).
    long double multiplier = 1, divisor = 1;
    int decimals = -1;
};

ItemUnit UnitOfItem(const DataItem& item, UnitSystem system, const UnitSettings& chosen);

// The degree, the unit of latitudes and longitudes.
inline constexpr std::string_view kDegreeSymbol = "°";

}  // namespace krelby
