// Below the chart: what the engine did in the flight shown, in four tabs. Exceedances lists
// the runs beyond the limits, grouped per series; Cylinders the greatest reading of every EGT
// and CHT input and each CHT's fastest cooling; Takeoff & cruise the figures of the two; Lean
// test the chart of each mixture sweep. Choosing a run, a group or a sweep asks for its time
// on the chart.
#pragma once
#include <QWidget>

#include "app/exceedance_search.h"
#include "base/regional.h"
#include "settings/records.h"

class QLabel;
class QTabWidget;

namespace krelby {

class CylindersTable;
class ExceedancesPane;
class LeanTestTab;
class TakeoffCruiseTable;

class EnginePane : public QWidget {
    Q_OBJECT
public:
    // The tabs, in their order.
    enum Tab { kExceedancesTab, kCylindersTab, kTakeoffCruiseTab, kLeanTestTab };

    explicit EnginePane(QWidget* parent = nullptr);
    // What a search found; `limited`: whether any limit is set.
    void Show(const ExceedanceSearch::Result& result, bool limited, const UnitSettings& units,
              const Regional& regional);
    // Nothing, while the next search runs.
    void Clear();
    void ShowProgress(int percent);
    // Something to show: engine messages, exceedances, or why the flight could not be read.
    bool HasContent() const { return hasContent_; }

    QTabWidget* Tabs() const { return tabs_; }
    ExceedancesPane* Exceedances() const { return exceedances_; }
    CylindersTable* Cylinders() const { return cylinders_; }
    TakeoffCruiseTable* TakeoffCruise() const { return takeoffCruise_; }
    LeanTestTab* LeanTest() const { return leanTest_; }
    // Nine rows of text: the chart keeps the room.
    QSize sizeHint() const override;

signals:
    void ExceedanceChosen(int index);         // in the result's `first`
    void TimeChosen(double from, double to);  // days: a group of runs or a sweep

private:
    // In a splitter, at least `height` px (at most half the splitter) for a chart to read.
    void GrowTo(int height);

    QTabWidget* tabs_;
    ExceedancesPane* exceedances_;
    CylindersTable* cylinders_;
    TakeoffCruiseTable* takeoffCruise_;
    LeanTestTab* leanTest_;
    bool hasContent_ = false;
    // Until the pilot picks a tab, each flight opens on Exceedances when it has some, else on
    // Cylinders; afterwards the tab picked stays.
    bool picked_ = false, showing_ = false;
};

}  // namespace krelby
