#include "chart/zoom_history.h"

#include <algorithm>

namespace krelby {
namespace {

// The whole flight is one view in every reading; a zoom is its ranges.
bool Same(const ChartView& a, const ChartView& b) {
    if (!a.zoomed || !b.zoomed) return a.zoomed == b.zoomed;
    return a.from == b.from && a.to == b.to && a.reading == b.reading && a.values == b.values;
}

}  // namespace

ZoomHistory::ZoomHistory(ChartWidget* chart) : QObject(chart), chart_(chart) {
    connect(chart, &ChartWidget::ViewChanged, this, &ZoomHistory::Record);
}

void ZoomHistory::FlightDrawn(const std::string& flight) {
    flight_ = flight;
    std::erase(recent_, flight);
    recent_.push_back(flight);
    while (recent_.size() > kFlightsKept) {
        lists_.erase(recent_.front());
        recent_.pop_front();
    }
    Record();
}

void ZoomHistory::Record() {
    if (walking_) return;
    List& list = Current();
    const ChartView view = chart_->View();
    if (!list.steps.empty() && Same(list.steps[list.at], view)) return;
    if (!list.steps.empty()) list.steps.resize(list.at + 1);
    list.steps.push_back(view);
    if (list.steps.size() > kStepsKept) list.steps.erase(list.steps.begin());
    list.at = list.steps.size() - 1;
    emit Changed();
}

const ZoomHistory::List* ZoomHistory::CurrentList() const {
    const auto it = lists_.find(flight_);
    return it == lists_.end() ? nullptr : &it->second;
}

bool ZoomHistory::CanGoBack() const {
    const List* list = CurrentList();
    return list && list->at > 0;
}

bool ZoomHistory::CanGoForward() const {
    const List* list = CurrentList();
    return list && list->at + 1 < list->steps.size();
}

void ZoomHistory::Back() {
    if (CanGoBack()) Show(Current().at - 1);
}

void ZoomHistory::Forward() {
    if (CanGoForward()) Show(Current().at + 1);
}

void ZoomHistory::Show(size_t at) {
    List& list = Current();
    list.at = at;
    walking_ = true;
    chart_->ShowView(list.steps[at]);
    walking_ = false;
    emit Changed();
}

const std::vector<ChartView>& ZoomHistory::Steps() const {
    static const std::vector<ChartView> kNone;
    const List* list = CurrentList();
    return list ? list->steps : kNone;
}

size_t ZoomHistory::At() const {
    const List* list = CurrentList();
    return list ? list->at : 0;
}

}  // namespace krelby
