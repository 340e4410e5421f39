#include "app/lean_test_chart.h"

#include <qcustomplot.h>

#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "chart/engine_text.h"
#include "chart/chart_look.h"
#include "logbook/engine_figures.h"

namespace krelby {
namespace {

// Readings averaged over this many messages for the line through them (the dots are each).
constexpr size_t kSmoothing = 9;

double Shown(double v, Quantity q, const UnitSettings& units) {
    const LogbookUnit u = ShownAs(q, units);
    return v * u.factor + u.offset;
}

// Centred moving averages of both coordinates, in the readings' order.
std::pair<QVector<double>, QVector<double>> Smoothed(const std::vector<double>& x, const std::vector<double>& y) {
    QVector<double> sx, sy;
    const size_t half = kSmoothing / 2;
    for (size_t i = half; i + half < x.size(); ++i) {
        double ax = 0, ay = 0;
        for (size_t j = i - half; j <= i + half; ++j) ax += x[j], ay += y[j];
        sx << ax / kSmoothing;
        sy << ay / kSmoothing;
    }
    return {sx, sy};
}

}  // namespace

LeanTestChart::LeanTestChart(QWidget* parent) : QWidget(parent) {
    setObjectName("LeanTestChart");
    plot_ = new QCustomPlot;
    plot_->setObjectName("LeanTestPlot");
    plot_->setNoAntialiasingOnDrag(true);
    plot_->xAxis->setRangeReversed(true);  // rich at the left, leaner to the right
    // The legend right of the plot, where it hides no reading.
    plot_->legend->setVisible(false);
    plot_->legend->setFont(font());
    plot_->axisRect()->insetLayout()->take(plot_->legend);
    auto* side = new QCPLayoutGrid;
    plot_->plotLayout()->addElement(0, 1, side);
    plot_->plotLayout()->setColumnStretchFactor(1, 0.001);
    side->addElement(0, 0, plot_->legend);
    side->addElement(1, 0, new QCPLayoutElement(plot_));  // the room below it
    side->setRowStretchFactor(0, 0.001);
    side->setMargins(QMargins(0, 8, 4, 0));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(plot_);
}

void LeanTestChart::DrawInput(const SweepCurve& curve, size_t k, const UnitSettings& units,
                              const Regional& regional) {
    const SweepCurve::Input& in = curve.inputs[k];
    const SweepPeak& peak = curve.sweep.inputs[k];
    const QColor colour = kPalette[k % kPalette.size()];
    QVector<double> x, y;
    for (size_t i = 0; i < in.ffLph.size(); ++i) {
        x << Shown(in.ffLph[i], Quantity::FuelFlow, units);
        y << Shown(in.egtC[i], Quantity::Temperature, units);
    }
    QCPGraph* dots = plot_->addGraph();
    dots->setLineStyle(QCPGraph::lsNone);
    dots->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, colour.lighter(150), 3));
    dots->setData(x, y);
    dots->removeFromLegend();
    auto* line = new QCPCurve(plot_->xAxis, plot_->yAxis);
    const auto [sx, sy] = Smoothed(std::vector<double>(x.begin(), x.end()), std::vector<double>(y.begin(), y.end()));
    line->setData(sx, sy);
    line->setPen(QPen(colour, 2));
    const QString title = InputTitle(curve.monitor, in.input, EGT);
    if (!peak.peaked) {
        line->setName(title + ": no peak");
        return;
    }
    line->setName(QString("%1: peak %2 at %3")
                      .arg(title, ShownFigure(peak.peakC, Quantity::Temperature, units, regional),
                           ShownFigure(Rounded(peak.ffLph, kLphDecimals), Quantity::FuelFlow, units, regional)));
    const double px = Shown(peak.ffLph, Quantity::FuelFlow, units), py = Shown(peak.peakC, Quantity::Temperature, units);
    QCPGraph* top = plot_->addGraph();
    top->setLineStyle(QCPGraph::lsNone);
    top->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDiamond, QPen(Qt::black, 1.5), QBrush(colour), 11));
    top->setData({px}, {py});
    top->removeFromLegend();
    auto* label = new QCPItemText(plot_);
    label->position->setCoords(px, py);
    label->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    label->setPadding(QMargins(0, 0, 0, 8));
    label->setText(QString::number(in.input));
    label->setColor(colour.darker(130));
    QFont bold = font();
    bold.setBold(true);
    label->setFont(bold);
}

void LeanTestChart::DrawSpread(const SweepCurve& curve, const UnitSettings& units, const Regional& regional) {
    const std::optional<double> spread = ShownSpreadLph(curve.sweep);
    if (!spread) return;
    double first = 0, last = 0;
    for (const SweepPeak& p : curve.sweep.inputs) {
        if (p.input == *curve.sweep.firstInput) first = p.ffLph;
        if (p.input == *curve.sweep.lastInput) last = p.ffLph;
    }
    // The band between the first and the last peak, edged by dashed lines.
    auto* band = new QCPItemRect(plot_);
    for (QCPItemPosition* corner : {band->topLeft, band->bottomRight}) {
        corner->setTypeX(QCPItemPosition::ptPlotCoords);
        corner->setTypeY(QCPItemPosition::ptAxisRectRatio);
    }
    band->topLeft->setCoords(Shown(first, Quantity::FuelFlow, units), 0);
    band->bottomRight->setCoords(Shown(last, Quantity::FuelFlow, units), 1);
    band->setPen(Qt::NoPen);
    band->setBrush(QColor(255, 220, 120, 70));
    band->setLayer("background");
    for (const double at : {first, last}) {
        auto* mark = new QCPItemStraightLine(plot_);
        const double x = Shown(at, Quantity::FuelFlow, units);
        mark->point1->setCoords(x, 0);
        mark->point2->setCoords(x, 1);
        mark->setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
    }
    spread_ = "Spread " + ShownFigure(*spread, Quantity::FuelFlow, units, regional);
    auto* text = new QCPItemText(plot_);
    text->position->setTypeX(QCPItemPosition::ptPlotCoords);
    text->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
    text->position->setCoords(Shown((first + last) / 2, Quantity::FuelFlow, units), 0.02);
    text->setPositionAlignment(Qt::AlignHCenter | Qt::AlignTop);
    text->setText(spread_);
    text->setBrush(QBrush(QColor(255, 255, 255, 220)));
    text->setPadding(QMargins(4, 2, 4, 2));
    QFont bold = font();
    bold.setBold(true);
    text->setFont(bold);
}

void LeanTestChart::Show(const SweepCurve* curve, const UnitSettings& units, const Regional& regional) {
    plot_->clearPlottables();
    plot_->clearItems();
    spread_.clear();
    plot_->legend->setVisible(curve != nullptr);
    plot_->xAxis->setLabel(QString("Fuel flow (%1)").arg(ShownSymbol(Quantity::FuelFlow, units)));
    plot_->yAxis->setLabel(QString("EGT (%1)").arg(ShownSymbol(Quantity::Temperature, units)));
    if (curve) {
        for (size_t k = 0; k < curve->inputs.size(); ++k) DrawInput(*curve, k, units, regional);
        plot_->rescaleAxes();
        for (QCPAxis* axis : {plot_->xAxis, plot_->yAxis}) {
            const QCPRange r = axis->range();
            const double margin = std::max(r.size() * 0.06, axis == plot_->xAxis ? 0.05 : 2.0);
            axis->setRange(r.lower - margin, r.upper + margin * (axis == plot_->yAxis ? 3 : 1));
        }
        DrawSpread(*curve, units, regional);
    }
    plot_->replot();
}

}  // namespace krelby
