// The chart kept in step with its model: the axes shown, the series and their legend, the
// view (single chart or strips) they are laid out in, and the model's calls as it changes.
#include <algorithm>

#include "chart/chart_widget_impl.h"
#include "chart/legend_fit.h"

namespace krelby {

void ChartWidget::Impl::Sync(bool forcePoints) {
    SyncAxes();
    Arrange();
    // Only the left side is set by hand; the others keep their laid-out values.
    QCPAxisRect* rect = plot->axisRect();
    QMargins margins = rect->margins();
    margins.setLeft(model.LeftMargin());
    rect->setMargins(margins);
    const bool changed = SyncGraphs(forcePoints);
    // No time labels without a flight: the empty axis would count from 1970.
    const bool empty = Empty();
    plot->xAxis->setTickLabels(!empty);
    plot->xAxis->setTicks(!empty);
    SyncLegend();
    strips.SyncLegends(model, units, graphs);
    FitMinimumSize();
    if (changed && !zoomed) Apply(Whole());
}

void ChartWidget::Impl::SyncAxes() {
    for (int i = 0; i < kAxisCount; ++i) {
        const ValueAxis& a = model.Axis(i);
        axes[i]->setVisible(a.visible);
        axes[i]->setOffset(std::max(0, -a.position));
        axes[i]->grid()->setVisible(a.visible && a.gridVisible);
        strips.SetGrid(i, a.visible && a.gridVisible);
    }
}

// Each slot's series on its axis in the view shown. Returns true when points changed.
bool ChartWidget::Impl::SyncGraphs(bool forcePoints) {
    bool changed = false;
    for (int s = 0; s < kSlotCount; ++s) {
        const SeriesSlot& slot = model.Slot(s);
        SlotGraph* g = graphs[s];
        const bool in = slot.inChart && slot.axis >= 0 && slot.axis < kAxisCount;
        if (in) {
            if (StripsShown())
                g->Place(strips.TimeOf(slot.axis), strips.ValueOf(slot.axis));
            else
                g->Place(plot->xAxis, axes[slot.axis]);
            g->setName(QString::fromStdString(slot.title));
        }
        g->setVisible(in && g->Checked());
        changed |= g->SyncPoints(forcePoints);
    }
    return changed;
}

void ChartWidget::Impl::SyncLegend() {
    std::vector<int> want;
    for (int s = 0; s < kSlotCount; ++s)
        if (model.Slot(s).inChart) want.push_back(s);
    if (want == legendSlots) return;
    for (int s : legendSlots) {
        plot->legend->take(items[s]);
        items[s]->setVisible(false);
    }
    plot->legend->simplify();
    for (int s : want) {
        plot->legend->addItem(items[s]);
        items[s]->setVisible(true);
    }
    legendSlots = want;
}

void ChartWidget::Impl::Arrange() {
    std::vector<int> want;
    if (stripsOn)
        for (int a : model.VisibleAxes())
            if (a >= 0 && a < kAxisCount) want.push_back(a);
    const bool single = want.empty();
    if (want == strips.Axes() && mainRect->layout() == (single ? plot->plotLayout() : nullptr)) return;
    if (!single) strips.Build();
    QCPLayoutGrid* grid = plot->plotLayout();
    RemoveFromLayout(grid, mainRect);
    RemoveFromLayout(grid, mainSide);
    plot->legend->setVisible(false);
    strips.TakeOut();
    grid->simplify();
    strips.PutIn(want);
    if (single) {
        AddToLayout(grid, 0, 0, mainRect);
        AddToLayout(grid, 0, 1, mainSide);
        plot->legend->setVisible(true);
        grid->setRowStretchFactor(0, 1);
    }
    grid->setColumnStretchFactor(0, 1);
    grid->setColumnStretchFactor(1, 0.001);
    style.on = want3D && single;
    HideReadout();
}

// The single chart's legend wraps into columns where the plot is not tall enough for one
// item a row; the strips' legends keep to their strips.
void ChartWidget::Impl::FitLegends(int chartWidth, int chartHeight) {
    if (StripsShown())
        strips.FitLegends(chartWidth, chartHeight);
    else
        WrapToHeight(plot->legend, chartHeight - kPlotFrameHeight);
}

// A click on a legend entry hides or shows its series, and keeps its item hidden.
void ChartWidget::Impl::ToggleSeries(CheckLegendItem* item) {
    SlotGraph* g = item->Graph();
    g->SetChecked(!g->Checked());
    if (const int box = CheckBoxOf(g->Slot())) {
        if (g->Checked())
            hiddenItems.erase(box);
        else
            hiddenItems.insert(box);
    }
    Sync();
    plot->replot();
}

int ChartWidget::Impl::CheckBoxOf(int slot) const {
    for (int box = 1; box <= kCheckBoxCount; ++box)
        if (model.SlotNumber(box) == slot) return box;
    return 0;
}

bool ChartWidget::Impl::Empty() const {
    for (int s = 0; s < kSlotCount; ++s)
        if (model.Slot(s).inChart && graphs[s]->HasPoints()) return false;
    return true;
}

void ChartWidget::ChartReset() {
    ++d->reading;
    d->shadeFrom = d->shadeTo = 0;
    for (SlotGraph* g : d->graphs) g->SetLimits({});
    d->HideReadout();
    d->animation.stop();
    d->zoomed = false;
    for (SlotGraph* g : d->graphs) g->SetChecked(true);
    d->Sync(true);  // also takes the time axis back to none
    d->plot->replot(QCustomPlot::rpQueuedReplot);
}

void ChartWidget::SeriesAdded(int slot) {
    d->graphs[slot]->SetChecked(!d->hiddenItems.count(d->CheckBoxOf(slot)));
    d->Sync();
    d->plot->replot(QCustomPlot::rpQueuedReplot);
}

void ChartWidget::AxisShown(int) {
    d->Sync();
    d->plot->replot(QCustomPlot::rpQueuedReplot);
}

void ChartWidget::GridsChanged() {
    d->Sync();
    d->plot->replot(QCustomPlot::rpQueuedReplot);
}

void ChartWidget::ReplayFinished() {
    // An item unticked is shown again when it comes back.
    std::erase_if(d->hiddenItems, [this](int box) {
        return d->itemTicked ? !d->itemTicked(box) : d->model.SlotNumber(box) >= kSlotCount;
    });
    d->animation.stop();
    d->zoomed = false;
    d->Sync(true);
    d->Apply(d->Whole());
    d->plot->replot(QCustomPlot::rpQueuedReplot);
    emit FlightDrawn();
    if (HasSpan()) emit SpanChanged();  // its figures read afresh
}

}  // namespace krelby
