// The strip view: a strip per value axis in use, each with its own legend, on one time axis;
// laid out for the screen, a picture or a page. The chart widget switches between it and the
// single chart. Private to the chart library.
#pragma once
#include <QFont>
#include <QRect>
#include <QString>

#include <array>
#include <vector>

#include "chart/chart_plot.h"

namespace krelby {

// A layout element out of the plot's layout (where it is in it) and hidden; into a cell of it
// and shown.
void RemoveFromLayout(QCPLayoutGrid* grid, QCPLayoutElement* e);
void AddToLayout(QCPLayoutGrid* grid, int row, int column, QCPLayoutElement* e);

class ChartStrips {
public:
    explicit ChartStrips(const DrawStyle& style) : style_(style) {}
    // The plot the strips are drawn in, and the single chart's ticker and axes that the strips
    // start from; the strips are made at the first Build.
    void Attach(ChartPlot* plot, QSharedPointer<QCPAxisTickerDateTime> ticker,
                const std::array<QCPAxis*, kAxisCount>& valueAxes);
    void Build();

    // Every strip out of the plot's layout and hidden.
    void TakeOut();
    // The strips of `axes`, top to bottom, into the plot's layout, and the time labels under them.
    void PutIn(const std::vector<int>& axes);
    bool Shown() const { return !shown_.empty(); }
    const std::vector<int>& Axes() const { return shown_; }  // top to bottom

    // The time axis under the mouse (the top strip's; all share one range), and the plot
    // area of all strips shown.
    QCPAxis* TimeAxis() const { return strips_[shown_.front()].time; }
    QRect PlotArea() const;
    // The axes a series of value axis `axis` is drawn on.
    QCPAxis* TimeOf(int axis) const { return strips_[axis].time; }
    QCPAxis* ValueOf(int axis) const { return strips_[axis].value; }
    // Ranges and grids follow the single chart's, also while the strips are not shown.
    void SetTimeRange(const QCPRange& range);
    void SetValueRange(int axis, const QCPRange& range);
    void SetGrid(int axis, bool visible);

    // Each strip's legend lists its own series; its axis is named by its group, and by the
    // unit when all its series share one.
    void SyncLegends(const ChartModel& model, const UnitSettings* units,
                     const std::array<SlotGraph*, kSlotCount>& graphs);
    // Legends and names laid out for a chart of this size.
    void FitLegends(int chartWidth, int chartHeight);
    // The legends' column, at the right of the strips.
    int RightColumnWidth() const;
    std::vector<QCPLegend*> Legends() const;  // of the strips shown, top to bottom

private:
    // One value axis drawn on its own: its plot area, the value axis at its left, a time axis
    // at its bottom (labelled only below the last strip) and a legend at its right.
    struct Strip {
        QCPAxisRect* rect = nullptr;
        QCPAxis* value = nullptr;
        QCPAxis* time = nullptr;
        QCPLayoutGrid* side = nullptr;
        QCPLegend* legend = nullptr;
        std::vector<int> listed;  // slots in the legend
        QString name;             // of the axis, e.g. "Temp °C"
        // The name across the plot's top-left corner, where the strips are too low for every
        // name to run whole along them.
        QCPItemText* title = nullptr;
    };
    QCPAxis* AddTimeAxis(QCPAxisRect* rect);
    void BuildStrip(Strip& s, const QCPRange& valueRange);
    void BuildLegend(Strip& s);
    size_t FitLegend(Strip& s, int height, int widest, const std::vector<QFont>& fonts);

    const DrawStyle& style_;
    ChartPlot* plot_ = nullptr;
    QSharedPointer<QCPAxisTickerDateTime> ticker_;
    std::array<QCPAxis*, kAxisCount> valueAxes_{};
    QCPMarginGroup* margins_ = nullptr;  // the strips' left edges in line
    std::array<Strip, kAxisCount> strips_;
    std::vector<int> shown_;
    QCPAxisRect* timeRow_ = nullptr;  // the shared time labels
};

}  // namespace krelby
