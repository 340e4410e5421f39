// The Engine pane's Exceedances tab: the flight's exceedances as a pilot reads them, grouped
// per series (item and limit) with how often and how long in all; a series of one run is that
// run alone. Choosing a run asks for its time on the chart; choosing a group, for the time of
// all its runs.
#pragma once
#include <QWidget>
#include <vector>

#include "base/regional.h"
#include "chart/exceedance_text.h"
#include "logbook/exceedances.h"
#include "settings/records.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace krelby {

class ExceedancesPane : public QWidget {
    Q_OBJECT
public:
    explicit ExceedancesPane(QWidget* parent = nullptr);
    // The first of the flight's `count` exceedances (a line above them says so when there
    // are more), each group headed by its `series`' sums of all its runs; or why none could be
    // found; `limited`: whether any limit is set.
    void Show(const std::vector<Exceedance>& found, const std::vector<ExceedanceSeries>& series, int64_t count,
              bool limited, const UnitSettings& units, const Regional& regional, const QString& error = {});
    // While the search runs.
    void ShowProgress(int percent);
    // A group per series of runs, each run a child of it (its index into `found` in
    // Qt::UserRole); a series of one run is that run, at the top.
    QTreeWidget* Tree() const { return tree_; }
    QLabel* Note() const { return note_; }

signals:
    void Chosen(int index);                // a run: its index in the list given to Show
    void GroupChosen(double from, double to);  // a group: from its first start to its last end (days)

private:
    void Choose(QTreeWidgetItem* item);

    QTreeWidget* tree_;
    QLabel* note_;
};

}  // namespace krelby
