// The lean test of one mixture sweep as an X-Y chart: each EGT input's readings against the
// fuel flow, the flow falling to the right as the pilot leans, a smoothed line through each
// input's readings, every peak marked where its curve tops out, and the spread between the
// first and the last peak written over the two.
#pragma once
#include <QWidget>

#include "base/regional.h"
#include "logbook/sweep_curves.h"
#include "settings/records.h"

class QCustomPlot;

namespace krelby {

class LeanTestChart : public QWidget {
    Q_OBJECT
public:
    explicit LeanTestChart(QWidget* parent = nullptr);
    // Draws `curve`, or nothing.
    void Show(const SweepCurve* curve, const UnitSettings& units, const Regional& regional);
    QCustomPlot* Plot() const { return plot_; }
    // "Spread 0.29 l/h" as written on the chart; empty without a spread.
    QString SpreadText() const { return spread_; }

private:
    void DrawInput(const SweepCurve& curve, size_t k, const UnitSettings& units, const Regional& regional);
    void DrawSpread(const SweepCurve& curve, const UnitSettings& units, const Regional& regional);

    QCustomPlot* plot_;
    QString spread_;
};

}  // namespace krelby
