// The chart widget: draws the ChartModel with QCustomPlot. One drawing function serves
// screen, JPEG and print.
#pragma once
#include <QImage>
#include <QWidget>

#include "replay/chart_model.h"

class QPrinter;
class QPainter;

namespace krelby {

class ChartWidget : public QWidget, public ChartObserver {
    Q_OBJECT
public:
    explicit ChartWidget(ChartModel& model, QWidget* parent = nullptr);
    ~ChartWidget() override;

    void Set3D(bool on);  // the depth effect, switched at once
    bool Is3D() const;
    void ResetZoom();     // back to the whole flight

    // The chart as shown (zoom, 3D, legend, axis names) at the given size.
    QImage Grab(QSize size);
    // Prints with margins of 15 % left/right and 27 % top/bottom of the page.
    void Print(QPrinter& printer);

    // ChartObserver
    void ChartReset() override;
    void SeriesAdded(int slot) override;
    void AxisShown(int axis) override;
    void GridsChanged() override;
    void ReplayFinished() override;

signals:
    void SeriesClicked(int slot);

private:
    struct Impl;
    Impl* d;
};

}  // namespace krelby
