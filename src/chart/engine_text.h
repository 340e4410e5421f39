// What the Engine pane's tabs write alike: a figure in the units shown with the regional
// decimal separator, a time of day, an input's chart title.
#pragma once
#include <QString>
#include <cstdint>
#include <optional>

#include "base/regional.h"
#include "logbook/columns.h"

namespace krelby {

// `value` (in the logbook's units: °C, bar, l/h, ft, kt) as `quantity` is shown: "1013.2".
QString ShownNumber(double value, Quantity quantity, const UnitSettings& units, const Regional& regional);
// The same with its unit: "1013.2 mbar"; "–" for none.
QString ShownFigure(std::optional<double> value, Quantity quantity, const UnitSettings& units,
                    const Regional& regional);
// The unit `quantity` is shown in: "mbar".
QString ShownSymbol(Quantity quantity, const UnitSettings& units);
// `value` with `decimals` and the regional separator, halves away from zero.
QString DecimalNumber(double value, int decimals, char separator);
// The time of day of seconds since 1970: "09:43:10" with the regional separator.
QString ClockText(int64_t seconds, const Regional& regional);
// The chart's title of input `n` (1 to 12) of `monitor` under `kind`: "EGT2_1", "CHT6_1".
QString InputTitle(int monitor, int n, uint8_t kind);

}  // namespace krelby
