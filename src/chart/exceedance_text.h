// The exceedances as a pilot reads them, in the Engine pane and in the flight report: a run,
// a series of runs (one item and limit), and the series of a flight in the order they began.
#pragma once
#include <QString>
#include <cstdint>
#include <vector>

#include "base/regional.h"
#include "logbook/exceedance_series.h"
#include "logbook/exceedances.h"
#include "settings/records.h"

namespace krelby {

// "CHT3_1 above 230 °C for 42 s, peak 236 °C, 09:44:10", in the units shown.
QString ExceedanceText(const Exceedance& e, const UnitSettings& units, const Regional& regional);
// A series' runs (of one item and limit), every one counted: "CHT6_1 above 180 °C: 3 times,
// 1 min 12 s in all, peak 186 °C".
QString ExceedanceGroupText(const ExceedanceSeries& series, const UnitSettings& units, const Regional& regional);
// The runs of `found` by series, a series in the order its first run began, its runs in theirs
// (indices into `found`).
std::vector<std::vector<size_t>> ExceedanceGroups(const std::vector<Exceedance>& found);
// A limit's value as the Limits dialog reads it, with its unit: "2650 rpm", "2.72 bar".
QString LimitValueText(LimitKey k, double value, const UnitSettings& units, const Regional& regional);
// 1234567 as "1,234,567".
QString Grouped(int64_t n);

}  // namespace krelby
