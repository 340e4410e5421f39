// The Engine pane's Cylinders tab: a row for each monitor's EGT inputs and one for its CHT
// inputs with the greatest reading of each (the hottest of the row marked), and a row of the
// fastest cooling of each CHT; a column per input (TC1 to TC12, those in use).
#pragma once
#include <QTableWidget>
#include <array>
#include <vector>

#include "base/recorded_units.h"
#include "base/regional.h"
#include "logbook/analysis.h"
#include "logbook/cylinders.h"
#include "settings/records.h"

namespace krelby {

class CylindersTable : public QTableWidget {
    Q_OBJECT
public:
    // A cell's role that is true for the hottest input of its row (the fastest cooling).
    static constexpr int kMarkedRole = Qt::UserRole;

    explicit CylindersTable(QWidget* parent = nullptr);
    void Show(const std::array<std::vector<CylinderInput>, kEngineMonitors>& cylinders, const Analysis* analysis,
              const UnitSettings& units, const Regional& regional);
    bool HasContent() const { return rowCount() > 0; }
};

}  // namespace krelby
