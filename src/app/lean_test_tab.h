// The Engine pane's Lean test tab: the mixture sweeps found, one a line, and the chart of the
// one chosen; choosing one (a click, the arrow keys, Enter) also asks for its time on the
// chart of the flight.
#pragma once
#include <QWidget>
#include <vector>

#include "base/regional.h"
#include "logbook/sweep_curves.h"
#include "settings/records.h"

class QLabel;
class QListWidget;

namespace krelby {

class LeanTestChart;

// "Monitor 1, 09:46:38 to 09:48:59: spread 0.29 l/h", or why it has none.
QString SweepText(const SweepCurve& curve, const UnitSettings& units, const Regional& regional);
// What the chart of a sweep says above it: its power, its flows, the first and last peaks.
QString SweepDetails(const SweepCurve& curve, const UnitSettings& units, const Regional& regional);

class LeanTestTab : public QWidget {
    Q_OBJECT
public:
    explicit LeanTestTab(QWidget* parent = nullptr);
    // The sweeps of the flight shown; the first is charted.
    void Show(std::vector<SweepCurve> sweeps, const UnitSettings& units, const Regional& regional);
    bool HasContent() const { return !sweeps_.empty(); }
    QListWidget* List() const { return list_; }
    QLabel* Details() const { return details_; }
    LeanTestChart* Chart() const { return chart_; }

signals:
    void SweepChosen(double from, double to);  // days

private:
    void Draw(int row);

    QListWidget* list_;
    QLabel* details_;
    LeanTestChart* chart_;
    std::vector<SweepCurve> sweeps_;
    UnitSettings units_;
    Regional regional_;
};

}  // namespace krelby
