#include "chart/chart_widget.h"

#include <QScrollBar>
#include <QVBoxLayout>

#include "chart/chart_widget_impl.h"
#include "chart/gestures.h"

namespace krelby {

void ChartWidget::Impl::Build() {
    BuildScroller();
    BuildPlot();
    BuildValueAxes();
    BuildLegend();
    BuildGraphs();
    BuildNavigation();  // its rubber band under the readout
    BuildReadout();
    ConnectPlot();
}

// The plot scrolls rather than squeeze its axes, its legend or its strips together.
void ChartWidget::Impl::BuildScroller() {
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
    q->setMinimumSize(kLeastChartWidth, kLeastChartHeight);
}

void ChartWidget::Impl::BuildPlot() {
    // Fonts in pixels: the same on screen, and on a printed page they scale with the chart
    // instead of growing with the printer's resolution.
    QFont font = plot->font();
    font.setPixelSize(QFontInfo(font).pixelSize());
    plot->setFont(font);
    plot->legend->setFont(font);

    plot->setBackground(kPanel);
    plot->setAutoAddPlottableToLegend(false);
    plot->setNoAntialiasingOnDrag(true);
    mainRect = plot->axisRect();
    mainRect->setBackground(kPlotArea);
    // The left margin is the model's (15 + 50 per shown axis) so the axes stay where placed.
    mainRect->setAutoMargins(QCP::msTop | QCP::msRight | QCP::msBottom);
    mainRect->setMinimumMargins(QMargins(0, kDepthRoom, kDepthRoom, 0));
    mainRect->setMargins(QMargins(model.LeftMargin(), 0, 0, 0));

    ticker.reset(new QCPAxisTickerDateTime);
    ticker->setDateTimeSpec(Qt::UTC);
    SetTickerFormat();
    plot->xAxis->setTicker(ticker);
    plot->xAxis->setRange(kNoTime);
    plot->xAxis->setPadding(kAxisNameRoom);
    plot->xAxis->grid()->setVisible(false);
}

void ChartWidget::Impl::BuildValueAxes() {
    const QFont font = plot->font();
    axes[0] = plot->yAxis;
    for (int i = 1; i < kAxisCount; ++i) axes[i] = mainRect->addAxis(QCPAxis::atLeft);
    for (QCPAxis* a : mainRect->axes()) {
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
    auto* wall = new DepthWall(plot, mainRect, style);
    wall->setLayer("depth");
    strips.Attach(plot, ticker, axes);
}

// The legend stands right of the plot, at the top of its own column.
void ChartWidget::Impl::BuildLegend() {
    mainRect->insetLayout()->take(plot->legend);
    mainSide = new QCPLayoutGrid;
    plot->plotLayout()->addElement(0, 1, mainSide);
    plot->plotLayout()->setColumnStretchFactor(1, 0.001);
    mainSide->addElement(0, 0, plot->legend);
    mainSide->addElement(1, 0, new QCPLayoutElement(plot));
    mainSide->setRowStretchFactor(0, 0.001);
    mainSide->setMargins(QMargins(0, kDepthRoom, kColumnGap, 0));
    plot->legend->setVisible(true);
    plot->legend->setBrush(kLegendPaper);
    plot->legend->setIconSize(18, 10);
}

void ChartWidget::Impl::BuildGraphs() {
    for (int s = 0; s < kSlotCount; ++s) {
        auto* g = new SlotGraph(plot->xAxis, axes[0], model, s, style);
        g->setPen(QPen(kPalette[s], 1));
        g->setVisible(false);
        graphs[s] = g;
        items[s] = new CheckLegendItem(plot->legend, g, style);
        items[s]->setVisible(false);
    }
}

void ChartWidget::Impl::ConnectPlot() {
    overlays = {
        [this](QPainter& p, int height) { PaintAxisNames(p, height); },
        [this](QPainter& p, int) { PaintEmptyHint(p); },
        [this](QPainter& p, int) { PaintShade(p); },
        [this](QPainter& p, int) { PaintSpan(p); },
        [this](QPainter& p, int) { PaintCursor(p); },
        [this](QPainter& p, int) { PaintPlayCursor(p); },
    };
    QObject::connect(plot, &QCustomPlot::beforeReplot, q, [this] {
        FitLegends(plot->width(), plot->height());
        FitTimeTicks(plot->width());
    });
    plot->afterPaint = [this](QPainter& p, int height) {
        for (const Overlay& paint : overlays) paint(p, height);
    };
    plot->onPress = [this](QMouseEvent* e) { Press(e); };
    plot->onMove = [this](QMouseEvent* e) { Move(e); };
    plot->onRelease = [this](QMouseEvent* e) { Release(e); };
    plot->onDoubleClick = [this](QMouseEvent*) {
        if (std::isnan(spanFrom)) spanAnchor = NAN;  // its first click set no cursor
        q->ResetZoom(true);
    };
    plot->onWheel = [this](QWheelEvent* e) { Wheel(e); };
    plot->onKey = [this](QKeyEvent* e) { return Key(e); };
    plot->onLeave = [this] { HideReadout(); };
    plot->setMouseTracking(true);
    plot->setFocusPolicy(Qt::StrongFocus);  // the zoom and pan keys
    q->setFocusProxy(plot);

    QObject::connect(plot, &QCustomPlot::plottableClick, q, [this](QCPAbstractPlottable* p, int, QMouseEvent*) {
        auto* g = dynamic_cast<SlotGraph*>(p);
        if (!g) return;
        model.SeriesClick(g->Slot());
        emit q->SeriesClicked(g->Slot());
    });
    QObject::connect(plot, &QCustomPlot::legendClick, q, [this](QCPLegend*, QCPAbstractLegendItem* item, QMouseEvent*) {
        if (auto* entry = dynamic_cast<CheckLegendItem*>(item)) ToggleSeries(entry);
    });
}

void ChartWidget::Impl::SetTickerFormat() {
    const QChar ds = QChar::fromLatin1(regional.dateSeparator);
    const QChar ts = QChar::fromLatin1(regional.timeSeparator);
    ticker->setDateTimeFormat(QString("d%1M%1yy\nhh%2mm%2ss").arg(ds).arg(ts));
}

ChartWidget::ChartWidget(ChartModel& model, QWidget* parent) : QWidget(parent), d(new Impl(this, model)) {
    d->Build();
    model.SetObserver(this);
    d->Sync(true);
    d->Apply(d->Whole());
    d->LinkTime();
    DeclareChartGestures(this);
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

void ChartWidget::SetPrintShades(const std::vector<ChartShade>& shades) {
    d->printShades.clear();
    for (const ChartShade& s : shades) d->printShades.push_back({DaysToKey(s.from), DaysToKey(s.to), s.slot});
}

std::pair<double, double> ChartWidget::ShadedTime() const {
    if (!(d->shadeFrom < d->shadeTo)) return {0, 0};
    return {KeyToDays(d->shadeFrom), KeyToDays(d->shadeTo)};
}

}  // namespace krelby
