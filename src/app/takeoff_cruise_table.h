// The Engine pane's Takeoff & cruise tab: when the takeoff was and which stretch is the cruise
// (its length, altitude and airspeed), then for each monitor a row of its greatest figures
// around takeoff and one of its means in the cruise, in the units shown.
#pragma once
#include <QWidget>

#include "base/regional.h"
#include "logbook/analysis.h"
#include "settings/records.h"

class QLabel;
class QTableWidget;

namespace krelby {

class TakeoffCruiseTable : public QWidget {
    Q_OBJECT
public:
    explicit TakeoffCruiseTable(QWidget* parent = nullptr);
    // Empties the tab when `analysis` is null.
    void Show(const Analysis* analysis, const UnitSettings& units, const Regional& regional);
    QLabel* Summary() const { return summary_; }
    QTableWidget* Table() const { return table_; }

private:
    QLabel* summary_;
    QTableWidget* table_;
};

}  // namespace krelby
