// The flight report: one PDF of a flight for the owner and the mechanic. A title block on every
// page, the logbook's figures and the limits in force, the engine's tables and exceedances,
// strip charts of the whole flight and of its longest exceedances, and the track with its
// altitude profile; drawn in vectors by the chart's and the track pane's own paint functions.
// Needs a QApplication (the charts are widgets, never shown).
#pragma once
#include <QPageSize>
#include <string>

#include "base/regional.h"
#include "settings/records.h"

namespace krelby {

class TileFetcher;

// The paper of the system's locale: Letter in the United States, Canada, Mexico and the
// other countries that use it, else A4.
QPageSize::PageSizeId LocalePaper();

struct ReportOptions {
    QPageSize::PageSizeId paper = QPageSize::A4;
    // The whole-flight charts of the items charted in the window (the data selection) rather
    // than each monitor's engine items.
    bool itemsCharted = false;
    TileFetcher* tiles = nullptr;  // the map under the track, when its source is set; null for none
};

// Writes the report of `flight` under `settings` (units, kinds, limits, selection) to `out`,
// whole or not at all, and returns its number of pages. Refuses a file without flight data,
// and an `out` that leads to the flight. Throws krelby::Error.
int WriteFlightReport(const std::string& flight, const Settings& settings, const Regional& regional,
                      const ReportOptions& options, const std::string& out);

}  // namespace krelby
