// The [Limits] keys that apply to a data item's series, found by the item itself: by its field
// for an engine quantity, by its kind for a thermocouple input. Renaming a title loses none.
#pragma once
#include <vector>

#include "replay/data_items.h"
#include "settings/records.h"

namespace krelby {

// In the table's order; none for pulse, fuel flow, "Other" inputs and the items of the other
// messages.
std::vector<LimitKey> LimitsOfItem(const DataItem& item);

}  // namespace krelby
