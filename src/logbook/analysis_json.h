// The engine analysis as one JSON document (krelby-cli analysis): keys in a fixed order,
// numbers rounded as the figures are shown and written with full stops in every locale.
#pragma once
#include <string>

#include "logbook/analysis.h"
#include "settings/records.h"

namespace krelby {

// `file` names the flight in the document; `settings` gives the thermocouple kinds the
// analysis used and the liquid unit of the spread. Ends with a line feed.
std::string AnalysisJson(const std::string& file, const FlightAnalysis& analysis, const Settings& settings);

}  // namespace krelby
