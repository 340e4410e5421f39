// The Engine pane's tables and lines as texts, which its tabs show and the flight report
// prints alike: the cylinders, takeoff and cruise, the lean test's sweeps.
#pragma once
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

#include "base/recorded_units.h"
#include "base/regional.h"
#include "logbook/analysis.h"
#include "logbook/cylinders.h"
#include "settings/records.h"

namespace krelby {

// A table: its column headings, and rows of a heading and a cell per column.
struct TextTable {
    struct Cell {
        QString text, tip;    // an empty text: no figure in that column
        bool marked = false;  // the hottest of its row (the fastest cooling)
    };
    struct Row {
        QString heading;
        std::vector<Cell> cells;  // one per column
    };
    QStringList columns;
    std::vector<Row> rows;
};

// A row for each monitor's EGT inputs and one for its CHT inputs with the greatest reading of
// each (the hottest marked), and a row of the fastest cooling of each CHT when `analysis` has
// them; a column per input in use (TC1 to TC12).
TextTable CylinderRows(const std::array<std::vector<CylinderInput>, kEngineMonitors>& cylinders,
                       const Analysis* analysis, const UnitSettings& units, const Regional& regional);
// For each monitor a row of its greatest figures around takeoff and one of its means in the
// cruise, "–" for a figure it lacks.
TextTable TakeoffCruiseRows(const Analysis& analysis, const UnitSettings& units, const Regional& regional);
// "Takeoff at 09:41:03 (...). Cruise 09:50:12 to 10:32:40 (42 min 28 s) at 4500 ft, 105 mph",
// or why there is none.
QString TakeoffCruiseText(const Analysis& analysis, const UnitSettings& units, const Regional& regional);
// "Monitor 1, 09:46:38 to 09:48:59: spread 0.29 l/h", or why it has none.
QString SweepText(int monitor, const Sweep& sweep, const UnitSettings& units, const Regional& regional);
// Its power, its flows, the first and last peaks.
QString SweepDetails(int monitor, const Sweep& sweep, const UnitSettings& units, const Regional& regional);
// Why no sweep was found, and how to fly one.
QString NoSweepText(const UnitSettings& units, const Regional& regional);

}  // namespace krelby
