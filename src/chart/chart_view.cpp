// A view of the chart taken and shown again: what the zoom history keeps of each step.
#include <algorithm>

#include "chart/chart_widget_impl.h"

namespace krelby {

ChartView ChartWidget::View() const {
    const bool moving = d->animation.state() == QAbstractAnimation::Running;
    const Ranges r = moving ? d->to : d->Current();
    ChartView v;
    v.from = KeyToDays(r.x.lower);
    v.to = KeyToDays(r.x.upper);
    for (int i = 0; i < kAxisCount; ++i) v.values[size_t(i)] = {r.y[size_t(i)].lower, r.y[size_t(i)].upper};
    v.zoomed = d->zoomed;
    v.reading = d->reading;
    return v;
}

void ChartWidget::ShowView(const ChartView& view, bool animate) {
    d->Sync();
    if (!view.zoomed || d->Empty()) {
        ResetZoom(animate);
        return;
    }
    Ranges target = d->Whole();
    const QCPRange whole = target.x;
    // Within the flight as it now reads (a flight file that grew keeps its steps).
    QCPRange x(std::max(DaysToKey(view.from), whole.lower), std::min(DaysToKey(view.to), whole.upper));
    if (!(x.upper > x.lower)) x = whole;
    target.x = x;
    // Value ranges are of their reading's units and series; another reading fits its own.
    if (view.reading == d->reading)
        for (size_t i = 0; i < size_t(kAxisCount); ++i)
            target.y[i] = QCPRange(view.values[i].first, view.values[i].second);
    d->zoomed = true;
    d->StartZoom(target, animate);
}

}  // namespace krelby
