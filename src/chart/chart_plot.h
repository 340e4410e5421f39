// The pieces of the chart drawn by QCustomPlot: the plot itself, a graph that draws one
// series slot from the model's own points, the legend entry with its check box, and the
// slanted back wall of the 3D view.
#pragma once
#include <qcustomplot.h>

#include <functional>
#include <span>
#include <vector>

#include "base/recorded_units.h"
#include "replay/chart_model.h"

namespace krelby {

// Days since 1899-12-30 to the seconds since 1970 that QCustomPlot's date axis counts.
inline double DaysToKey(double days) { return (days - kUnixEpochDay) * kSecondsPerDay; }
inline double KeyToDays(double key) { return key / kSecondsPerDay + kUnixEpochDay; }

// Where the chart goes on a printed page: 15 % of the page free left and right, 27 % above
// and below.
inline QRectF PrintArea(const QRectF& page) {
    return QRectF(page.left() + page.width() * 0.15, page.top() + page.height() * 0.27,
                  page.width() * 0.70, page.height() * 0.46);
}

// Pixels the back of the chart lies up and to the right in the 3D view.
inline constexpr int kDepth = 12;

// What the drawing pieces share: the 3D view, and the width of a one-pixel line (wider
// when a printed page needs the chart laid out wider than it has room for).
struct DrawStyle {
    bool on = false;  // the 3D view
    double lineWidth = 1;
};

// One series slot. Its points stay in the model; the graph holds only what the current
// zoom and width can show, recomputed when either changes.
class SlotGraph : public QCPGraph {
public:
    SlotGraph(QCPAxis* key, QCPAxis* value, const ChartModel& model, int slot, const DrawStyle& style);

    // Re-reads the slot when its points changed (size) or when forced.
    // Returns true when the points changed.
    bool SyncPoints(bool force);
    bool HasPoints() const { return count_ > 0; }
    double MinX() const { return minX_; }
    double MaxX() const { return maxX_; }
    double MinY() const { return minY_; }
    double MaxY() const { return maxY_; }
    // The value of the last point at or before the date-time, false before the first.
    bool ValueAt(double days, double& value) const;
    // The points in time order (date-times and values), as drawn.
    std::span<const double> Times() const { return {Xs(), count_}; }
    std::span<const double> Values() const { return {Ys(), count_}; }
    int Slot() const { return slot_; }
    // Draws the series on these axes, and with their plot area.
    void Place(QCPAxis* key, QCPAxis* value) {
        if (keyAxis() == key && valueAxis() == value) return;
        setKeyAxis(key);
        setValueAxis(value);
        setParentLayerable(key->axisRect());
        shownColumns_ = -1;
    }
    bool Checked() const { return checked_; }
    void SetChecked(bool on) { checked_ = on; }
    size_t ShownPoints() const { return static_cast<size_t>(data()->size()); }
    // The pilot's limits for this series, in its charted unit: dashed lines in its colour.
    void SetLimits(std::vector<double> limits) { limits_ = std::move(limits); }
    const std::vector<double>& Limits() const { return limits_; }

protected:
    void draw(QCPPainter* painter) override;
    QRect clipRect() const override;

private:
    const double* Xs() const;
    const double* Ys() const;
    void Decimate();
    void DrawCrowded(QCPPainter* painter);

    const ChartModel& model_;
    const int slot_;
    const DrawStyle& style_;
    bool checked_ = true;
    size_t count_ = 0;
    bool sortedCopy_ = false;  // the model's points were out of time order
    std::vector<double> xs_, ys_;
    double minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
    // What the shown points were made for.
    double shownLo_ = 0, shownHi_ = 0;
    int shownColumns_ = -1;
    std::vector<double> limits_;
    QVector<QCPGraphData> buffer_;
};

// A legend entry: check box, line sample and title; a click toggles the series.
class CheckLegendItem : public QCPAbstractLegendItem {
public:
    CheckLegendItem(QCPLegend* legend, SlotGraph* graph, const DrawStyle& style);
    SlotGraph* Graph() const { return graph_; }

protected:
    void draw(QCPPainter* painter) override;
    QSize minimumOuterSizeHint() const override;

private:
    SlotGraph* graph_;
    const DrawStyle& style_;
};

// The floor, left side and back of the plot area in the 3D view.
class DepthWall : public QCPLayerable {
public:
    DepthWall(QCustomPlot* plot, QCPAxisRect* rect, const DrawStyle& style);

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;
    QRect clipRect() const override;

private:
    QCPAxisRect* rect_;
    const DrawStyle& style_;
};

// The plot with the after-paint hook and the mouse handling of the chart widget.
class ChartPlot : public QCustomPlot {
public:
    explicit ChartPlot(QWidget* parent) : QCustomPlot(parent) {}
    std::function<void(QPainter&, int height)> afterPaint;
    std::function<void(QMouseEvent*)> onPress, onMove, onRelease, onDoubleClick;
    std::function<void(QWheelEvent*)> onWheel;
    std::function<bool(QKeyEvent*)> onKey;  // true when the key was used
    std::function<void()> onLeave;
    // Lays the plot out again for its own size (after drawing at another size).
    void Relayout() { updateLayout(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

}  // namespace krelby
