// The columns the analysis table can hold: every data item by its series title, in one
// order, and the position as two columns (LAT, LON); the names a user gives them by.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "replay/data_items.h"
#include "replay/units.h"
#include "settings/records.h"

namespace krelby {

// A data item by its check box, or one half of the position (check box 193).
struct TableItem {
    uint8_t checkBox = 0;
    uint8_t part = 0;  // the position: 0 latitude, 1 longitude
    bool operator==(const TableItem&) const = default;
};
inline constexpr std::string_view kLatitudeTitle = "LAT", kLongitudeTitle = "LON";

// Every item a message carries, in the order of the messages (flight, GPS and the position,
// attitude, engine monitors 1 to 4, fuel, inputs, navigation) and within each in the order
// they are decoded.
const std::vector<TableItem>& AllTableItems();
// The data item behind a column under these thermocouple kinds; null for the position.
const DataItem* DataItemOf(TableItem column, const ThermocoupleKinds& kinds);
// Its series title under these kinds: "PALT", "EGT3_1", "CHT5_1", "LAT".
std::string_view TitleOf(TableItem column, const ThermocoupleKinds& kinds);
// The header of its column in a unit system: the title, then the unit in brackets
// ("PALT [ft]", "OILP_1 [bar]"), or the title alone for a plain number or a state.
std::string HeaderOf(TableItem column, const ThermocoupleKinds& kinds, UnitSystem system, const UnitSettings& chosen);

// The items named in a comma-separated list of series titles (any case), in its order,
// each once; names that are no title under these kinds go to `unknown`.
std::vector<TableItem> TableItemsNamed(std::string_view list, const ThermocoupleKinds& kinds,
                                       std::vector<std::string>& unknown);

}  // namespace krelby
