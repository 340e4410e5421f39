#include "app/chart/chart_widget.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRubberBand>
#include <QLabel>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <set>
#include <vector>

#include "app/chart/chart_plot.h"
#include "app/chart/readout.h"
#include "export/jpeg_writer.h"

namespace krelby {
namespace {

const QColor kPanel(200, 200, 200);
const QColor kPlotArea(224, 224, 224);
const QColor kAxisLabelGreen(0, 128, 0);
constexpr int kZoomMillis = 200;
const QCPRange kNoTime(0, 3600);  // the time axis of an empty chart (not drawn)
constexpr double kThinnestLineMm = 0.25;  // on paper
constexpr double kShortestTime = 2;       // seconds: the deepest time zoom
constexpr double kKeyPanShare = 0.1;      // of the time shown, per arrow key
constexpr int kPrintPlotWidth = 250;      // layout pixels the plot area keeps on a page

const std::array<QColor, kSlotCount> kPalette = {
    QColor(220, 0, 0),   QColor(0, 0, 220),    QColor(0, 140, 0),   QColor(200, 0, 200),
    QColor(230, 120, 0), QColor(0, 140, 140),  QColor(0, 0, 128),   QColor(128, 0, 0),
    QColor(110, 0, 160), QColor(128, 128, 0),  QColor(140, 70, 20), QColor(0, 100, 160),
    QColor(0, 0, 0),     QColor(220, 20, 120), QColor(70, 70, 140), QColor(60, 100, 30),
};

struct Ranges {
    QCPRange x;
    std::array<QCPRange, kAxisCount> y;
};

QCPRange Lerp(const QCPRange& a, const QCPRange& b, double t) {
    return QCPRange(a.lower + (b.lower - a.lower) * t, a.upper + (b.upper - a.upper) * t);
}

// A little room above and below the data; a flat line gets a span of its own.
QCPRange Padded(double lo, double hi) {
    if (!(hi > lo)) return QCPRange(lo - 1, hi + 1);
    const double pad = (hi - lo) * 0.05;
    return QCPRange(lo - pad, hi + pad);
}

}  // namespace

struct ChartWidget::Impl {
    ChartWidget* q;
    ChartModel& model;
    ChartPlot* plot = nullptr;
    DrawStyle style;
    std::array<QCPAxis*, kAxisCount> axes{};
    std::array<SlotGraph*, kSlotCount> graphs{};
    std::array<CheckLegendItem*, kSlotCount> items{};
    std::vector<int> legendSlots;
    // Check boxes of the items whose series the legend hides: they stay hidden through
    // the replays that keep them in the chart.
    std::set<int> hiddenItems;
    QSharedPointer<QCPAxisTickerDateTime> ticker;
    QVariantAnimation animation;
    Ranges from, to;
    bool zoomed = false;
    QRubberBand* band = nullptr;
    QPoint pressPos;
    bool dragging = false;  // a zoom rectangle
    bool panning = false;   // along time
    QCPRange panFrom;
    Regional regional;
    QString emptyHint;
    const UnitSettings* units = nullptr;
    QLabel* readout = nullptr;

    Impl(ChartWidget* w, ChartModel& m) : q(w), model(m) {}

    void Build();
    void Sync(bool forcePoints = false);
    void SyncLegend();
    Ranges Current() const;
    Ranges Whole() const;
    void Apply(const Ranges& r);
    void StartZoom(const Ranges& target, bool animate);
    void FinishAnimation();
    void PaintAxisNames(QPainter& painter, int height) const;
    void PaintEmptyHint(QPainter& painter) const;
    bool Empty() const;
    int CheckBoxOf(int slot) const;
    QImage Render(QSize size, qreal scale);
    void PrintPage(QCPPainter& painter, const QRectF& page, double dotsPerInch);
    std::vector<std::function<void()>> WidenLines(double width);
    void Hover(QMouseEvent* event);
    void Press(QMouseEvent* event);
    void Move(QMouseEvent* event);
    void Release(QMouseEvent* event);
    void Wheel(QWheelEvent* event);
    bool Key(QKeyEvent* event);
    void ZoomTime(double factor, double aroundKey);
    void SetTime(QCPRange range);
    void SetTickerFormat();
    void FitTimeTicks(int chartWidth);
};

void ChartWidget::Impl::Build() {
    plot = new ChartPlot(q);
    auto* layout = new QVBoxLayout(q);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(plot);

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

    QObject::connect(plot, &QCustomPlot::beforeReplot, q, [this] { FitTimeTicks(plot->width()); });
    plot->afterPaint = [this](QPainter& p, int h) {
        PaintAxisNames(p, h);
        PaintEmptyHint(p);
    };
    plot->onPress = [this](QMouseEvent* e) { Press(e); };
    plot->onMove = [this](QMouseEvent* e) { Move(e); };
    plot->onRelease = [this](QMouseEvent* e) { Release(e); };
    plot->onDoubleClick = [this](QMouseEvent*) { q->ResetZoom(true); };
    plot->onWheel = [this](QWheelEvent* e) { Wheel(e); };
    plot->onKey = [this](QKeyEvent* e) { return Key(e); };
    plot->onLeave = [this] { readout->hide(); };
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

void ChartWidget::Impl::FitTimeTicks(int chartWidth) {
    // As many time labels as the plot's width holds with a label's width between them.
    const QFontMetrics fm(plot->xAxis->tickLabelFont());
    const int label = fm.horizontalAdvance(QStringLiteral("00:00:00")) * 2;
    const int plotWidth = chartWidth - model.LeftMargin() - plot->legend->minimumOuterSizeHint().width() -
                          2 * (style.depth + 6);
    ticker->setTickCount(std::clamp(plotWidth / std::max(1, label), 1, 10));
}

void ChartWidget::Impl::Sync(bool forcePoints) {
    for (int i = 0; i < kAxisCount; ++i) {
        const ValueAxis& a = model.Axis(i);
        axes[i]->setVisible(a.visible);
        axes[i]->setOffset(std::max(0, -a.position));
        axes[i]->grid()->setVisible(a.visible && a.gridVisible);
    }
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
            g->setValueAxis(axes[slot.axis]);
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
    if (changed && !zoomed) Apply(Whole());
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

Ranges ChartWidget::Impl::Current() const {
    Ranges r;
    r.x = plot->xAxis->range();
    for (int i = 0; i < kAxisCount; ++i) r.y[i] = axes[i]->range();
    return r;
}

Ranges ChartWidget::Impl::Whole() const {
    Ranges r = Current();
    bool anyX = false;
    double x0 = 0, x1 = 0;
    std::array<bool, kAxisCount> any{};
    std::array<double, kAxisCount> lo{}, hi{};
    for (int s = 0; s < kSlotCount; ++s) {
        const SeriesSlot& slot = model.Slot(s);
        const SlotGraph* g = graphs[s];
        if (!slot.inChart || slot.axis < 0 || slot.axis >= kAxisCount || !g->HasPoints()) continue;
        x0 = anyX ? std::min(x0, g->MinX()) : g->MinX();
        x1 = anyX ? std::max(x1, g->MaxX()) : g->MaxX();
        anyX = true;
        const int a = slot.axis;
        lo[a] = any[a] ? std::min(lo[a], g->MinY()) : g->MinY();
        hi[a] = any[a] ? std::max(hi[a], g->MaxY()) : g->MaxY();
        any[a] = true;
    }
    r.x = kNoTime;
    if (anyX) {
        r.x = QCPRange(DaysToKey(x0), DaysToKey(x1));
        if (!(x1 > x0)) r.x = QCPRange(r.x.lower - 30, r.x.upper + 30);
    }
    for (int i = 0; i < kAxisCount; ++i)
        if (any[i]) r.y[i] = Padded(lo[i], hi[i]);
    return r;
}

void ChartWidget::Impl::Apply(const Ranges& r) {
    plot->xAxis->setRange(r.x);
    for (int i = 0; i < kAxisCount; ++i) axes[i]->setRange(r.y[i]);
}

void ChartWidget::Impl::StartZoom(const Ranges& target, bool animate) {
    animation.stop();
    if (!animate) {
        Apply(target);
        plot->replot(QCustomPlot::rpQueuedReplot);
        return;
    }
    from = Current();
    to = target;
    animation.start();
}

// A zoom still on its way is taken to where it goes, so that what follows starts there.
void ChartWidget::Impl::FinishAnimation() {
    if (animation.state() != QAbstractAnimation::Running) return;
    animation.stop();
    Apply(to);
}

void ChartWidget::Impl::PaintAxisNames(QPainter& painter, int height) const {
    painter.save();
    // Axes stand 50 px apart: shrink the font until the longest name fits between two.
    QFont font = plot->font();
    while (QFontMetrics(font).horizontalAdvance(QStringLiteral("Deviation")) > 46 && font.pixelSize() > 8)
        font.setPixelSize(font.pixelSize() - 1);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetrics fm = painter.fontMetrics();
    const auto width = [&fm](std::string_view s) {
        return fm.horizontalAdvance(QString::fromUtf8(s.data(), static_cast<int>(s.size())));
    };
    for (const AxisLabel& l : model.AxisLabels(height, width)) {
        const QString text = QString::fromStdString(l.text);
        painter.drawText(QPoint(l.rightX - fm.horizontalAdvance(text), l.topY + fm.ascent()), text);
    }
    painter.restore();
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

void ChartWidget::Impl::PaintEmptyHint(QPainter& painter) const {
    if (emptyHint.isEmpty() || !Empty()) return;
    painter.save();
    QFont font = plot->font();
    font.setPixelSize(font.pixelSize() * 5 / 4);
    painter.setFont(font);
    painter.setPen(QColor(70, 70, 70));
    const QRect area = plot->axisRect()->rect().adjusted(20, 20, -20, -20);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, emptyHint);
    painter.restore();
}

QImage ChartWidget::Impl::Render(QSize size, qreal scale) {
    if (size.width() <= 0 || size.height() <= 0) {
        QImage none(1, 1, QImage::Format_RGB32);
        none.fill(kPanel);
        return none;
    }
    Sync();
    QImage image(size * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(kPanel);
    FitTimeTicks(size.width());
    {
        QCPPainter painter(&image);
        plot->toPainter(&painter, size.width(), size.height());
        PaintAxisNames(painter, size.height());
    }
    // Drawing at another size left the layout at that size; mouse hits need the screen's.
    FitTimeTicks(plot->width());
    plot->Relayout();
    return image;
}

void ChartWidget::Impl::PrintPage(QCPPainter& painter, const QRectF& page, double dotsPerInch) {
    Sync();
    const QRectF area = PrintArea(page);
    if (!(area.width() > 0 && area.height() > 0)) return;
    // Laid out so that one pixel of the layout is 0.25 mm on paper: every line of the screen's
    // one pixel is drawn that wide, and text comes out at about 8 points. A chart that needs
    // more room (many axes on a small page) is laid out wider with its lines widened to match.
    const double thinnest = dotsPerInch * kThinnestLineMm / 25.4;
    int width = std::max(1, static_cast<int>(area.width() / thinnest));
    const int needed = model.LeftMargin() + plot->legend->minimumOuterSizeHint().width() + kPrintPlotWidth +
                       2 * (style.depth + 6);
    double lineWidth = 1;
    if (width < needed) {
        lineWidth = static_cast<double>(needed) / width;
        width = needed;
    }
    const int height = std::max(1, static_cast<int>(std::lround(width * area.height() / area.width())));
    const double scale = area.width() / width;

    // Vector drawing with every pen scaled to the page: a cosmetic (zero-width) pen would
    // be a hairline of one printer dot.
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    painter.setMode(QCPPainter::pmNonCosmetic);
    painter.translate(area.topLeft());
    painter.scale(scale, scale);
    painter.setClipRect(QRectF(0, 0, width, height));
    const std::vector<std::function<void()>> restore =
        lineWidth > 1 ? WidenLines(lineWidth) : std::vector<std::function<void()>>();
    FitTimeTicks(width);
    plot->toPainter(&painter, width, height);
    PaintAxisNames(painter, height);
    for (const auto& undo : restore) undo();
    style.lineWidth = 1;
    FitTimeTicks(plot->width());
    plot->Relayout();
}

std::vector<std::function<void()>> ChartWidget::Impl::WidenLines(double width) {
    std::vector<std::function<void()>> restore;
    const auto widen = [&restore, width](auto* object, auto get, auto set) {
        const QPen old = (object->*get)();
        QPen pen = old;
        pen.setWidthF(std::max(pen.widthF(), 1.0) * width);
        (object->*set)(pen);
        restore.push_back([object, set, old] { (object->*set)(old); });
    };
    for (QCPAxis* a : plot->axisRect()->axes()) {
        widen(a, &QCPAxis::basePen, &QCPAxis::setBasePen);
        widen(a, &QCPAxis::tickPen, &QCPAxis::setTickPen);
        widen(a, &QCPAxis::subTickPen, &QCPAxis::setSubTickPen);
        widen(a->grid(), &QCPGrid::pen, &QCPGrid::setPen);
    }
    for (QCPAbstractPlottable* g : graphs) widen(g, &QCPAbstractPlottable::pen, &QCPAbstractPlottable::setPen);
    widen(plot->legend, &QCPLegend::borderPen, &QCPLegend::setBorderPen);
    style.lineWidth = width;
    return restore;
}

void ChartWidget::Impl::Press(QMouseEvent* event) {
    readout->hide();
    pressPos = event->pos();
    const bool inPlot = plot->axisRect()->rect().contains(pressPos);
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    panning = inPlot && !Empty() &&
              (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && shift));
    dragging = inPlot && event->button() == Qt::LeftButton && !shift;
    if (panning) {
        FinishAnimation();
        panFrom = plot->xAxis->range();
        plot->setCursor(Qt::ClosedHandCursor);
    }
}

void ChartWidget::Impl::Move(QMouseEvent* event) {
    if (panning) {
        // The time under the cursor stays under it.
        const double perPixel = panFrom.size() / std::max(1, plot->axisRect()->width());
        SetTime(panFrom - (event->pos().x() - pressPos.x()) * perPixel);
        return;
    }
    if (dragging && (event->buttons() & Qt::LeftButton)) {
        if ((event->pos() - pressPos).manhattanLength() > 3) {
            band->setGeometry(QRect(pressPos, event->pos()).normalized());
            band->show();
        }
        return;
    }
    if (event->buttons() == Qt::NoButton) Hover(event);
}

void ChartWidget::Impl::Release(QMouseEvent* event) {
    if (panning) {
        panning = false;
        plot->unsetCursor();
        return;
    }
    if (event->button() == Qt::RightButton && (event->pos() - pressPos).manhattanLength() <= 3) {
        q->ResetZoom(true);
        return;
    }
    if (!dragging || event->button() != Qt::LeftButton) return;
    dragging = false;
    band->hide();
    const QPoint delta = event->pos() - pressPos;
    if (delta.manhattanLength() <= 3) return;  // a click, handled by the plot
    // Dragging to the left undoes the zoom, as in the usual chart components.
    if (delta.x() < 0) {
        q->ResetZoom(true);
        return;
    }
    q->ZoomTo(QRect(pressPos, event->pos()).normalized(), true);
}

void ChartWidget::Impl::Wheel(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0 || Empty()) return;
    // One notch (120) halves the time shown, or doubles it, around the time under the cursor.
    const QCPRange range = plot->xAxis->range();
    const double at = std::clamp(plot->xAxis->pixelToCoord(event->position().x()), range.lower, range.upper);
    ZoomTime(std::pow(0.5, delta / 120.0), at);
}

bool ChartWidget::Impl::Key(QKeyEvent* event) {
    if (Empty()) return false;
    const QCPRange range = plot->xAxis->range();
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:  // + without Shift on many keyboards
            ZoomTime(0.5, range.center());
            return true;
        case Qt::Key_Minus:
            ZoomTime(2, range.center());
            return true;
        case Qt::Key_Left:
            SetTime(range - range.size() * kKeyPanShare);
            return true;
        case Qt::Key_Right:
            SetTime(range + range.size() * kKeyPanShare);
            return true;
        case Qt::Key_Home:
            q->ResetZoom(true);
            return true;
        default:
            return false;
    }
}

void ChartWidget::Impl::ZoomTime(double factor, double aroundKey) {
    FinishAnimation();
    const QCPRange range = plot->xAxis->range();
    const double size = std::max(range.size() * factor, kShortestTime);
    const double share = range.size() > 0 ? (aroundKey - range.lower) / range.size() : 0.5;
    SetTime(QCPRange(aroundKey - size * share, aroundKey + size * (1 - share)));
}

void ChartWidget::Impl::SetTime(QCPRange range) {
    // Never wider than the flight, nor beyond its ends; the value axes stay as they are.
    const Ranges whole = Whole();
    if (range.size() >= whole.x.size()) range = whole.x;
    if (range.lower < whole.x.lower) range += whole.x.lower - range.lower;
    if (range.upper > whole.x.upper) range -= range.upper - whole.x.upper;
    plot->xAxis->setRange(range);
    const Ranges now = Current();
    zoomed = !(now.x == whole.x && now.y == whole.y);
    plot->replot(QCustomPlot::rpQueuedReplot);
}

void ChartWidget::Impl::Hover(QMouseEvent* event) {
    const QPoint pos = event->pos();
    if (Empty() || !plot->axisRect()->rect().contains(pos)) {
        readout->hide();
        return;
    }
    const double key = plot->xAxis->pixelToCoord(pos.x());
    const QDateTime when = QCPAxisTickerDateTime::keyToDateTime(key).toUTC();
    const QChar ds = QChar::fromLatin1(regional.dateSeparator);
    const QChar ts = QChar::fromLatin1(regional.timeSeparator);
    QString text = when.toString(QString("d%1M%1yy hh%2mm%2ss").arg(ds).arg(ts));
    const double days = KeyToDays(key);
    static const UnitSettings kDefaultUnits;
    for (const SlotGraph* g : graphs) {
        double v = 0;
        if (!g->visible() || !g->ValueAt(days, v)) continue;
        const DataItem* item = SlotItem(model, g->Slot());
        const QString value = item ? QString::fromStdString(ReadoutValue(*item, v, units ? *units : kDefaultUnits,
                                                                         regional.decimalSeparator))
                                   : QString::number(v, 'g', 7);
        text += QString("\n%1: %2").arg(g->name(), value);
    }
    readout->setText(text);
    readout->resize(readout->sizeHint());
    // Below and right of the cursor, or on the other side where the plot ends: never over
    // the point under the cursor.
    constexpr int kGap = 14;
    const QSize size = readout->size();
    int x = pos.x() + kGap, y = pos.y() + kGap;
    if (x + size.width() > plot->width()) x = pos.x() - kGap - size.width();
    if (y + size.height() > plot->height()) y = pos.y() - kGap - size.height();
    readout->move(std::max(0, x), std::max(0, y));
    readout->show();
    readout->raise();
}

ChartWidget::ChartWidget(ChartModel& model, QWidget* parent) : QWidget(parent), d(new Impl(this, model)) {
    d->Build();
    model.SetObserver(this);
    d->Sync(true);
    d->Apply(d->Whole());
}

// The model must outlive the widget (it is the session's).
ChartWidget::~ChartWidget() {
    if (d->model.Observer() == this) d->model.SetObserver(nullptr);
}

QSize ChartWidget::SaveJpeg(const std::string& path, QSize size, const std::string& source) {
    const QImage picture = Grab(size).convertToFormat(QImage::Format_RGB888);
    // Rows one after another without the scan lines' padding.
    std::vector<uint8_t> rgb;
    rgb.reserve(static_cast<size_t>(picture.width()) * static_cast<size_t>(picture.height()) * 3);
    for (int y = 0; y < picture.height(); ++y) {
        const uint8_t* line = picture.constScanLine(y);
        rgb.insert(rgb.end(), line, line + static_cast<size_t>(picture.width()) * 3);
    }
    WriteJpeg(path, picture.width(), picture.height(), rgb, source);
    return picture.size();
}

void ChartWidget::Set3D(bool on) {
    if (d->style.on == on) return;
    d->style.on = on;
    d->plot->replot(QCustomPlot::rpQueuedReplot);
}

bool ChartWidget::Is3D() const { return d->style.on; }

void ChartWidget::ResetZoom(bool animate) {
    d->zoomed = false;
    d->Sync();
    d->StartZoom(d->Whole(), animate);
}

void ChartWidget::ZoomTo(const QRect& pixels, bool animate) {
    d->Sync();
    const QRect r = pixels.intersected(d->plot->axisRect()->rect());
    if (r.width() < 2 || r.height() < 2) return;
    Ranges target;
    target.x = QCPRange(d->plot->xAxis->pixelToCoord(r.left()), d->plot->xAxis->pixelToCoord(r.right()));
    for (int i = 0; i < kAxisCount; ++i)
        target.y[i] = QCPRange(d->axes[i]->pixelToCoord(r.bottom()), d->axes[i]->pixelToCoord(r.top()));
    d->zoomed = true;
    d->StartZoom(target, animate);
}

bool ChartWidget::IsZoomed() const { return d->zoomed; }

void ChartWidget::SetRegional(const Regional& regional) {
    d->regional = regional;
    d->SetTickerFormat();
    d->plot->replot(QCustomPlot::rpQueuedReplot);
}

void ChartWidget::SetUnits(const UnitSettings* units) { d->units = units; }

void ChartWidget::ShowEverySeries() {
    d->hiddenItems.clear();
    for (SlotGraph* g : d->graphs) g->SetChecked(true);
    d->Sync();
    d->plot->replot(QCustomPlot::rpQueuedReplot);
}

QLabel* ChartWidget::Readout() const { return d->readout; }

void ChartWidget::SetEmptyHint(const QString& hint) {
    d->emptyHint = hint;
    d->plot->update();
}

QString ChartWidget::EmptyHint() const { return d->emptyHint; }

bool ChartWidget::IsEmpty() const { return d->Empty(); }

QCustomPlot* ChartWidget::Plot() const { return d->plot; }

QImage ChartWidget::Grab(QSize size) { return d->Render(size, 1.0); }

void ChartWidget::Print(QPrinter& printer) {
    printer.setFullPage(true);
    PrintPage(printer);
}

void ChartWidget::PrintPage(QPaintDevice& page) {
    QCPPainter painter;
    if (!painter.begin(&page)) return;
    d->PrintPage(painter, QRectF(0, 0, page.width(), page.height()), page.logicalDpiX());
}

void ChartWidget::ShowPrintPreview(QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog dialog(&printer, parent);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) { Print(*p); });
    dialog.exec();
    d->plot->replot();
}

void ChartWidget::ChartReset() {
    d->readout->hide();
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
    // An item that left the chart (unticked) is shown again when it comes back.
    std::erase_if(d->hiddenItems, [this](int box) { return d->model.SlotNumber(box) >= kSlotCount; });
    d->animation.stop();
    d->zoomed = false;
    d->Sync(true);
    d->Apply(d->Whole());
    d->plot->replot(QCustomPlot::rpQueuedReplot);
}

}  // namespace krelby
