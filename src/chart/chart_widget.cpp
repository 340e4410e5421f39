#include "chart/chart_widget.h"

#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

#include "chart/chart_widget_impl.h"
#include "chart/readout.h"

namespace krelby {

void ChartWidget::Impl::Build() {
    // The plot scrolls rather than squeeze its axes, its legend or its strips together.
    scroller = new QScrollArea(q);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setBackgroundRole(QPalette::Window);
    plot = new ChartPlot(nullptr);
    scroller->setWidget(plot);
    // A chart wider than its room shows its right end: the plot, the axes next to it (the
    // first shown) and the legend, rather than the last axes shown.
    QObject::connect(scroller->horizontalScrollBar(), &QScrollBar::rangeChanged, q,
                     [this](int, int most) { scroller->horizontalScrollBar()->setValue(most); });
    auto* layout = new QVBoxLayout(q);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroller);
    // One value axis beside a legend and 200 px of plot needs no scroll bar.
    leastChartWidth = kBaseLeftMargin + kAxisSpacing + 130 + 2 * (style.depth + 6) + kLeastPlotWidth;
    q->setMinimumSize(leastChartWidth, kLeastPlotHeight + 90);

    // Fonts in pixels: the same on screen, and on a printed page they scale with the chart
    // instead of growing with the printer's resolution.
    QFont font = plot->font();
    font.setPixelSize(QFontInfo(font).pixelSize());
    plot->setFont(font);
    plot->legend->setFont(font);

    plot->setBackground(kPanel);
    plot->setAutoAddPlottableToLegend(false);
    plot->setNoAntialiasingOnDrag(true);
    QCPAxisRect* rect = plot->axisRect();
    mainRect = rect;
    rect->setBackground(kPlotArea);
    // The left margin is the model's (15 + 50 per shown axis) so the axes stay where placed.
    rect->setAutoMargins(QCP::msTop | QCP::msRight | QCP::msBottom);
    rect->setMinimumMargins(QMargins(0, style.depth + 6, style.depth + 6, 0));
    rect->setMargins(QMargins(model.LeftMargin(), 0, 0, 0));

    ticker.reset(new QCPAxisTickerDateTime);
    ticker->setDateTimeSpec(Qt::UTC);
    SetTickerFormat();
    plot->xAxis->setTicker(ticker);
    plot->xAxis->setRange(kNoTime);
    // Room under the time labels for the axis names drawn at the chart's height - 20.
    plot->xAxis->setPadding(22);
    plot->xAxis->grid()->setVisible(false);

    axes[0] = plot->yAxis;
    for (int i = 1; i < kAxisCount; ++i) axes[i] = rect->addAxis(QCPAxis::atLeft);
    for (QCPAxis* a : rect->axes()) {
        a->setTickLabelFont(font);
        a->setLabelFont(font);
    }
    for (QCPAxis* a : axes) {
        a->setVisible(false);
        a->setTickLabelColor(kAxisLabelGreen);
        a->setPadding(0);
        a->grid()->setPen(QPen(Qt::black, 0, Qt::DotLine));
        a->grid()->setVisible(false);
        a->grid()->setZeroLinePen(Qt::NoPen);
    }

    plot->addLayer("depth", plot->layer("background"), QCustomPlot::limAbove);
    auto* wall = new DepthWall(plot, rect, style);
    wall->setLayer("depth");

    // The legend stands right of the plot, at the top of its own column.
    rect->insetLayout()->take(plot->legend);
    auto* side = new QCPLayoutGrid;
    mainSide = side;
    plot->plotLayout()->addElement(0, 1, side);
    plot->plotLayout()->setColumnStretchFactor(1, 0.001);
    side->addElement(0, 0, plot->legend);
    side->addElement(1, 0, new QCPLayoutElement(plot));
    side->setRowStretchFactor(0, 0.001);
    side->setMargins(QMargins(0, style.depth + 6, 6, 0));
    plot->legend->setVisible(true);
    plot->legend->setBrush(QColor(240, 240, 240));
    plot->legend->setIconSize(18, 10);

    for (int s = 0; s < kSlotCount; ++s) {
        auto* g = new SlotGraph(plot->xAxis, axes[0], model, s, style);
        g->setPen(QPen(kPalette[s], 1));
        g->setVisible(false);
        graphs[s] = g;
        items[s] = new CheckLegendItem(plot->legend, g, style);
        items[s]->setVisible(false);
    }

    band = new QRubberBand(QRubberBand::Rectangle, plot);
    readout = new QLabel(plot);
    readout->setObjectName("Readout");
    readout->setAttribute(Qt::WA_TransparentForMouseEvents);  // the plot keeps the mouse
    readout->setAutoFillBackground(true);
    readout->setBackgroundRole(QPalette::ToolTipBase);
    readout->setForegroundRole(QPalette::ToolTipText);
    readout->setFrameShape(QFrame::Box);
    readout->setMargin(3);
    readout->hide();
    animation.setDuration(kZoomMillis);
    animation.setStartValue(0.0);
    animation.setEndValue(1.0);
    animation.setEasingCurve(QEasingCurve::OutCubic);
    QObject::connect(&animation, &QVariantAnimation::valueChanged, q, [this](const QVariant& v) {
        const double t = v.toDouble();
        Ranges r;
        r.x = Lerp(from.x, to.x, t);
        for (int i = 0; i < kAxisCount; ++i) r.y[i] = Lerp(from.y[i], to.y[i], t);
        Apply(r);
        plot->replot(QCustomPlot::rpQueuedReplot);
    });

    QObject::connect(plot, &QCustomPlot::beforeReplot, q, [this] {
        FitLegends(plot->width(), plot->height());
        FitTimeTicks(plot->width());
    });
    plot->afterPaint = [this](QPainter& p, int h) {
        PaintAxisNames(p, h);
        PaintEmptyHint(p);
        PaintShade(p);
        PaintCursor(p);
    };
    plot->onPress = [this](QMouseEvent* e) { Press(e); };
    plot->onMove = [this](QMouseEvent* e) { Move(e); };
    plot->onRelease = [this](QMouseEvent* e) { Release(e); };
    plot->onDoubleClick = [this](QMouseEvent*) { q->ResetZoom(true); };
    plot->onWheel = [this](QWheelEvent* e) { Wheel(e); };
    plot->onKey = [this](QKeyEvent* e) { return Key(e); };
    plot->onLeave = [this] { HideReadout(); };
    plot->setMouseTracking(true);
    plot->setFocusPolicy(Qt::StrongFocus);  // the zoom and pan keys
    q->setFocusProxy(plot);

    QObject::connect(plot, &QCustomPlot::plottableClick, q,
                     [this](QCPAbstractPlottable* p, int, QMouseEvent*) {
                         auto* g = dynamic_cast<SlotGraph*>(p);
                         if (!g) return;
                         model.SeriesClick(g->Slot());
                         emit q->SeriesClicked(g->Slot());
                     });
    QObject::connect(plot, &QCustomPlot::legendClick, q,
                     [this](QCPLegend*, QCPAbstractLegendItem* item, QMouseEvent*) {
                         auto* li = dynamic_cast<CheckLegendItem*>(item);
                         if (!li) return;
                         SlotGraph* g = li->Graph();
                         g->SetChecked(!g->Checked());
                         if (const int box = CheckBoxOf(g->Slot())) {
                             if (g->Checked())
                                 hiddenItems.erase(box);
                             else
                                 hiddenItems.insert(box);
                         }
                         Sync();
                         plot->replot();
                     });
}

void ChartWidget::Impl::SetTickerFormat() {
    const QChar ds = QChar::fromLatin1(regional.dateSeparator);
    const QChar ts = QChar::fromLatin1(regional.timeSeparator);
    ticker->setDateTimeFormat(QString("d%1M%1yy\nhh%2mm%2ss").arg(ds).arg(ts));
}

void ChartWidget::Impl::Sync(bool forcePoints) {
    for (int i = 0; i < kAxisCount; ++i) {
        const ValueAxis& a = model.Axis(i);
        axes[i]->setVisible(a.visible);
        axes[i]->setOffset(std::max(0, -a.position));
        axes[i]->grid()->setVisible(a.visible && a.gridVisible);
        if (strips[i].value) strips[i].value->grid()->setVisible(a.visible && a.gridVisible);
    }
    Arrange();
    // Only the left side is set by hand; the others keep their laid-out values.
    QCPAxisRect* rect = plot->axisRect();
    QMargins margins = rect->margins();
    margins.setLeft(model.LeftMargin());
    rect->setMargins(margins);
    bool changed = false;
    for (int s = 0; s < kSlotCount; ++s) {
        const SeriesSlot& slot = model.Slot(s);
        SlotGraph* g = graphs[s];
        const bool in = slot.inChart && slot.axis >= 0 && slot.axis < kAxisCount;
        if (in) {
            const bool strip = StripsShown();
            g->Place(strip ? strips[slot.axis].time : plot->xAxis, strip ? strips[slot.axis].value : axes[slot.axis]);
            g->setName(QString::fromStdString(slot.title));
        }
        g->setVisible(in && g->Checked());
        changed |= g->SyncPoints(forcePoints);
    }
    // No time labels without a flight: the empty axis would count from 1970.
    const bool empty = Empty();
    plot->xAxis->setTickLabels(!empty);
    plot->xAxis->setTicks(!empty);
    SyncLegend();
    SyncStripLegends();
    FitMinimumSize();
    if (changed && !zoomed) Apply(Whole());
}

bool ChartWidget::Impl::StripsShown() const { return !stripAxes.empty(); }

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

ChartWidget::ChartWidget(ChartModel& model, QWidget* parent) : QWidget(parent), d(new Impl(this, model)) {
    d->Build();
    model.SetObserver(this);
    d->Sync(true);
    d->Apply(d->Whole());
    d->LinkTime();
}

// The model must outlive the widget (its owner keeps it).
ChartWidget::~ChartWidget() {
    if (d->model.Observer() == this) d->model.SetObserver(nullptr);
}

void ChartWidget::Set3D(bool on) {
    if (d->want3D == on) return;
    d->want3D = on;
    d->style.on = on && !d->StripsShown();
    d->plot->replot(QCustomPlot::rpQueuedReplot);
}

bool ChartWidget::Is3D() const { return d->want3D; }

void ChartWidget::SetStrips(bool on) {
    if (d->stripsOn == on) return;
    d->stripsOn = on;
    d->Sync();
    d->Apply(d->Current());
    d->plot->replot(QCustomPlot::rpQueuedReplot);
}

bool ChartWidget::Strips() const { return d->stripsOn; }

void ChartWidget::SetRegional(const Regional& regional) {
    d->regional = regional;
    d->SetTickerFormat();
    d->plot->replot(QCustomPlot::rpQueuedReplot);
}

void ChartWidget::SetUnits(const UnitSettings* units) { d->units = units; }

void ChartWidget::SetItemTicked(std::function<bool(int checkBox)> ticked) {
    d->itemTicked = std::move(ticked);
}

QLabel* ChartWidget::Readout() const { return d->readout; }

void ChartWidget::SetEmptyHint(const QString& hint) {
    d->emptyHint = hint;
    d->plot->update();
}

QString ChartWidget::EmptyHint() const { return d->emptyHint; }

bool ChartWidget::IsEmpty() const { return d->Empty(); }

QCustomPlot* ChartWidget::Plot() const { return d->plot; }

void ChartWidget::SetLimitLines(const std::vector<std::pair<int, double>>& lines) {
    std::array<std::vector<double>, kSlotCount> bySlot;
    for (const auto& [slot, value] : lines)
        if (slot >= 0 && slot < kSlotCount) bySlot[static_cast<size_t>(slot)].push_back(value);
    for (int s = 0; s < kSlotCount; ++s) d->graphs[s]->SetLimits(std::move(bySlot[static_cast<size_t>(s)]));
    if (!d->zoomed) d->Apply(d->Whole());
    d->plot->replot(QCustomPlot::rpQueuedReplot);
}

void ChartWidget::ShadeTime(double from, double to) {
    d->shadeFrom = DaysToKey(from);
    d->shadeTo = DaysToKey(to);
    d->plot->update();
}

std::pair<double, double> ChartWidget::ShadedTime() const {
    if (!(d->shadeFrom < d->shadeTo)) return {0, 0};
    return {KeyToDays(d->shadeFrom), KeyToDays(d->shadeTo)};
}

void ChartWidget::ChartReset() {
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
}

}  // namespace krelby
