// The logbook's figures across flights: each ticked figure a line of one point per flight
// (copies are one row of the logbook already) against the flight's start, over the flights
// the logbook's filter shows, in the units shown. Pointing at a point names the flight and
// its figure; a double-click on it chooses the flight.
#pragma once
#include <QPersistentModelIndex>
#include <QTimer>
#include <QString>
#include <QWidget>
#include <map>
#include <utility>
#include <vector>

#include "base/regional.h"

class QAbstractItemModel;
class QCPAxis;
class QCPGraph;
class QCPItemTracer;
class QCustomPlot;
class QLabel;
class QListWidget;
class QMouseEvent;

namespace krelby {

class LogbookModel;

class TrendsView : public QWidget {
    Q_OBJECT
public:
    // `shown` is the logbook's rows as the table shows them (filtered) over `model`.
    TrendsView(const LogbookModel& model, QAbstractItemModel& shown, const Regional& regional,
               QWidget* parent = nullptr);

    // The figures to choose from, one checkable item per numeric column (its column number
    // in Qt::UserRole).
    QListWidget* Figures() const { return figures_; }
    QCustomPlot* Plot() const { return plot_; }
    // What the mouse points at: the flight and its figure; empty elsewhere.
    QLabel* Readout() const { return readout_; }
    // Ticks or clears the figure of a model column.
    void Tick(int column, bool ticked);
    // A column the table hides (an engine monitor no flight has) is not offered.
    void SetColumnHidden(int column, bool hidden);
    // Draws the chart anew from the rows shown; done by itself shortly after they change.
    void Rebuild();

    // The point of a graph, with the row it stands for.
    struct Point {
        double start;  // the flight's start, seconds since 1970 (the ticker's keys)
        double value;
        QPersistentModelIndex row;
    };
    // The points of each line drawn, in the order of the plot's graphs.
    const std::vector<std::vector<Point>>& Points() const { return points_; }

signals:
    // A point was double-clicked: its row of `shown`.
    void FlightChosen(const QModelIndex& row);

protected:
    void showEvent(QShowEvent* event) override;

private:
    using Flights = std::vector<std::pair<double, int>>;  // start (s since 1970), row of `shown`

    void BuildPlot();
    void Schedule();
    // The pieces of Rebuild.
    Flights FlightsByStart() const;
    std::map<QString, QCPAxis*> DrawFigures(const Flights& flights);
    void AddGraph(const QString& name, int column, QCPAxis* axis, const Flights& flights);
    void FitValueAxes(const std::map<QString, QCPAxis*>& byUnit);
    void FitDateAxis(const Flights& flights);
    void ShowLabels();
    // The graph and point nearest to `at` within a few pixels, or false.
    bool PointAt(const QPoint& at, int& graph, size_t& point) const;
    void Hover(QMouseEvent* event);
    void DoubleClick(QMouseEvent* event);

    const LogbookModel& model_;
    QAbstractItemModel& shown_;
    const Regional& regional_;
    QListWidget* figures_ = nullptr;
    QCustomPlot* plot_ = nullptr;
    QLabel* readout_ = nullptr;
    QCPItemTracer* marker_ = nullptr;  // rings the point named in the readout
    QTimer rebuild_;
    bool stale_ = true;  // the rows changed while out of sight
    std::vector<std::vector<Point>> points_;
    std::vector<int> columns_;  // the model column of each graph
};

}  // namespace krelby
