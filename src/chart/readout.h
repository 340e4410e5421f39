// The hover readout's values: each as its series' CSV column writes it (IntegerText or
// FixedText with the item's precision and decimals; pressures with their unit's decimals),
// followed by its display unit, or "(raw)" for a figure without one.
#pragma once
#include <string>

#include "replay/chart_model.h"
#include "replay/data_items.h"

namespace krelby {

// The DataItem that a slot shows in the model's current replay; null when none does (a
// model filled by hand).
const DataItem* SlotItem(const ChartModel& model, int slot);

// The unit of the item's charted values in these unit settings ("ft", "kt", "°C"); empty
// for plain numbers, counts and states.
std::string UnitOf(const DataItem& item, const UnitSettings& units);

// The charted value as text, as in the CSV file, with its unit after a blank.
std::string ReadoutValue(const DataItem& item, double value, const UnitSettings& units, char decimalSeparator);

}  // namespace krelby
