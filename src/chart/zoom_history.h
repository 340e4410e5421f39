// The steps of the chart's view, a list for each flight: every zoom and pan the chart says
// it made (ViewChanged: the wheel, the keys, a rectangle, a pan, an exceedance chosen, the
// track's click and double-click, Home), and the whole flight that each reading of it draws.
// Back and Forward walk the list; a step taken after going back drops the steps ahead.
#pragma once
#include <QObject>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "chart/chart_widget.h"

namespace krelby {

class ZoomHistory : public QObject {
    Q_OBJECT
public:
    static constexpr size_t kStepsKept = 200;    // per flight, the oldest dropped first
    static constexpr size_t kFlightsKept = 20;  // the lists of the flights shown last

    explicit ZoomHistory(ChartWidget* chart);

    // A reading of `flight` (its path) has drawn it whole: its list, a step of it.
    void FlightDrawn(const std::string& flight);
    bool CanGoBack() const;
    bool CanGoForward() const;
    void Back();
    void Forward();
    // The current flight's steps and the one shown.
    const std::vector<ChartView>& Steps() const;
    size_t At() const;

signals:
    void Changed();

private:
    struct List {
        std::vector<ChartView> steps;
        size_t at = 0;
    };
    void Record();
    void Show(size_t at);
    List& Current() { return lists_[flight_]; }
    const List* CurrentList() const;

    ChartWidget* chart_;
    std::map<std::string, List> lists_;
    std::deque<std::string> recent_;  // the flights with a list, the latest last
    std::string flight_;
    bool walking_ = false;  // the chart shows a step: no new one
};

}  // namespace krelby
