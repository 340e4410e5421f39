// The strip view: a strip per value axis in use, each with its own legend, on one time
// axis; laid out for the screen, a picture or a page.
#include <QFontMetrics>

#include <algorithm>

#include "chart/chart_widget_impl.h"
#include "chart/readout.h"

namespace krelby {

void ChartWidget::Impl::BuildStrips() {
    if (timeRow) return;
    const QFont font = plot->font();
    auto* stripMargins = new QCPMarginGroup(plot);
    const auto timeAxisOf = [this, stripMargins](QCPAxisRect* rect) {
        QCPAxis* time = rect->addAxis(QCPAxis::atBottom);
        time->setLayer(QLatin1String("axes"));  // over the series, as the chart's own
        time->setTicker(ticker);
        time->setRange(plot->xAxis->range());
        time->setTickLabelFont(plot->font());
        time->grid()->setVisible(false);
        time->setPadding(0);
        rect->setMarginGroup(QCP::msLeft, stripMargins);
        rect->setVisible(false);
        return time;
    };
    for (int i = 0; i < kAxisCount; ++i) {
        Strip& s = strips[i];
        s.rect = new QCPAxisRect(plot, false);
        s.rect->setLayer(QLatin1String("background"));  // under the series, as the chart's own
        s.rect->setBackground(kPlotArea);
        s.rect->setAutoMargins(QCP::msLeft);
        s.rect->setMargins(QMargins(0, 3, 6, 3));
        s.time = timeAxisOf(s.rect);
        s.time->setTickLabels(false);
        s.value = s.rect->addAxis(QCPAxis::atLeft);
        s.value->setLayer(QLatin1String("axes"));
        s.value->setTickLabelFont(font);
        s.value->setLabelFont(font);
        s.value->setLabelPadding(2);
        s.value->setTickLabelColor(kAxisLabelGreen);
        s.value->setPadding(0);
        s.value->grid()->setPen(QPen(Qt::black, 0, Qt::DotLine));
        s.value->grid()->setZeroLinePen(Qt::NoPen);
        s.value->setRange(axes[i]->range());
        // Under the series: the name never hides a line.
        s.title = new QCPItemText(plot);
        s.title->setLayer(QLatin1String("grid"));
        s.title->setClipAxisRect(s.rect);
        s.title->position->setType(QCPItemPosition::ptAxisRectRatio);
        s.title->position->setAxisRect(s.rect);
        s.title->position->setCoords(0, 0);
        s.title->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
        s.title->setPadding(QMargins(3, 0, 3, 0));
        s.title->setColor(QColor(50, 50, 50));
        s.title->setSelectable(false);
        s.title->setVisible(false);
    }
    timeRow = new QCPAxisRect(plot, false);
    timeRow->setLayer(QLatin1String("background"));
    timeRow->setAutoMargins(QCP::msLeft | QCP::msBottom);
    timeRow->setMargins(QMargins(0, 0, 6, 0));
    // Only its labels: no height of its own beyond them.
    timeRow->setMinimumSize(0, 0);
    timeRow->setMaximumSize(QWIDGETSIZE_MAX, 0);
    QCPAxis* time = timeAxisOf(timeRow);
    time->setTickLengthIn(0);
    time->setTickLengthOut(4);
}

void ChartWidget::Impl::Arrange() {
    std::vector<int> want;
    if (stripsOn)
        for (int a : model.VisibleAxes())
            if (a >= 0 && a < kAxisCount) want.push_back(a);
    const bool single = want.empty();
    if (want == stripAxes && mainRect->layout() == (single ? plot->plotLayout() : nullptr)) return;
    if (!single) BuildStrips();
    QCPLayoutGrid* grid = plot->plotLayout();
    const auto out = [grid](QCPLayoutElement* e) {
        if (e && e->layout() == grid) grid->take(e);
        if (e) e->setVisible(false);
    };
    out(mainRect);
    out(mainSide);
    plot->legend->setVisible(false);
    for (Strip& s : strips) {
        out(s.rect);
        out(s.side);
        if (s.legend) s.legend->setVisible(false);
        if (s.title) s.title->setVisible(false);
    }
    out(timeRow);
    grid->simplify();
    stripAxes = want;
    const auto in = [grid](int row, int column, QCPLayoutElement* e) {
        grid->addElement(row, column, e);
        e->setVisible(true);
    };
    if (single) {
        in(0, 0, mainRect);
        in(0, 1, mainSide);
        plot->legend->setVisible(true);
        grid->setRowStretchFactor(0, 1);
    } else {
        int row = 0;
        for (int a : want) {
            Strip& s = strips[a];
            in(row, 0, s.rect);
            if (!s.side) s.side = new QCPLayoutGrid;
            in(row, 1, s.side);
            if (!s.legend) {
                s.legend = new QCPLegend;
                s.side->addElement(0, 0, s.legend);
                s.side->addElement(1, 0, new QCPLayoutElement(plot));
                s.side->setRowStretchFactor(0, 0.001);
                s.legend->setLayer(QLatin1String("legend"));
                s.legend->setFont(plot->font());
                s.legend->setBrush(QColor(240, 240, 240));
                s.legend->setIconSize(14, 8);
                s.legend->setRowSpacing(0);
                s.legend->setColumnSpacing(4);
                s.legend->setMargins(QMargins(3, 1, 3, 1));
                s.legend->setFillOrder(QCPLayoutGrid::foRowsFirst, false);
            }
            s.legend->setVisible(true);
            grid->setRowStretchFactor(row++, 1);
        }
        in(row, 0, timeRow);
        grid->setRowStretchFactor(row, 0.001);
    }
    grid->setColumnStretchFactor(0, 1);
    grid->setColumnStretchFactor(1, 0.001);
    style.on = want3D && single;
    HideReadout();
}

// Each strip's legend lists its own series; its axis is named by its group, and by the unit
// when all its series share one.
void ChartWidget::Impl::SyncStripLegends() {
    static const UnitSettings kDefaultUnits;
    for (int a : stripAxes) {
        Strip& s = strips[a];
        std::vector<int> want;
        QString unit;
        bool oneUnit = true;
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const SeriesSlot& ss = model.Slot(slot);
            if (!ss.inChart || ss.axis != a) continue;
            want.push_back(slot);
            const DataItem* item = SlotItem(model, slot);
            QString u = item ? QString::fromStdString(UnitOf(*item, units ? *units : kDefaultUnits)) : QString();
            // Fuel flows are charted in hundredths of their unit (the readout gives the unit).
            if (item && item->conv == Conv::FuelFlow && !u.isEmpty()) u = "0.01 " + u;
            if (want.size() == 1) unit = u;
            oneUnit = oneUnit && u == unit;
        }
        QString name = QString::fromUtf8(AxisShortName[a]);
        if (oneUnit && !unit.isEmpty()) name += ' ' + unit;
        s.name = name;
        if (want == s.listed) continue;
        s.legend->clearItems();
        for (int slot : want) s.legend->addItem(new CheckLegendItem(s.legend, graphs[slot], style));
        s.listed = want;
    }
}

namespace {

// The legend's items in one font.
void SetItemFont(QCPLegend* legend, const QFont& font) {
    for (int i = 0; i < legend->elementCount(); ++i)
        if (auto* item = qobject_cast<QCPAbstractLegendItem*>(legend->elementAt(i)))
            if (item->font() != font) item->setFont(font);
}

// Wraps a legend into columns of `rows` items (0: one column).
void SetRows(QCPLegend* legend, int rows) {
    if (legend->wrap() == rows) return;
    legend->setWrap(rows);
    legend->setFillOrder(QCPLayoutGrid::foRowsFirst, true);
}

// A wrapped legend's grid has empty cells: its items, counted, and their tallest and widest.
struct ItemSizes {
    int count = 0, height = 1, width = 1;
};
ItemSizes SizesOf(const QCPLegend* legend) {
    ItemSizes s;
    for (int i = 0; i < legend->elementCount(); ++i) {
        if (QCPLayoutElement* item = legend->elementAt(i)) {
            const QSize hint = item->minimumOuterSizeHint();
            s.height = std::max(s.height, hint.height() + legend->rowSpacing());
            s.width = std::max(s.width, hint.width() + legend->columnSpacing());
            ++s.count;
        }
    }
    return s;
}

// As many items a column as `height` holds.
void WrapToHeight(QCPLegend* legend, int height) {
    const ItemSizes items = SizesOf(legend);
    const int inner = height - legend->margins().top() - legend->margins().bottom();
    const int rows = std::max(1, inner / items.height);
    SetRows(legend, items.count > rows ? rows : 0);
}

}  // namespace

// A strip's legend within its strip's height and at most `widest` pixels: one column in the
// largest of `fonts` that allows it, else columns in the largest that keeps the width, else
// the last font in as many columns as the width takes (taller than the strip). Returns the
// index of the font taken.
size_t ChartWidget::Impl::FitStripLegend(Strip& s, int height, int widest, const std::vector<QFont>& fonts) {
    for (const bool oneColumn : {true, false}) {
        for (size_t k = 0; k < fonts.size(); ++k) {
            SetItemFont(s.legend, fonts[k]);
            WrapToHeight(s.legend, height);
            if ((!oneColumn || s.legend->wrap() == 0) && s.legend->minimumOuterSizeHint().width() <= widest) return k;
        }
    }
    const ItemSizes items = SizesOf(s.legend);
    const int inner = widest - s.legend->margins().left() - s.legend->margins().right();
    const int columns = std::max(1, inner / items.width);
    const int rows = (items.count + columns - 1) / columns;
    SetRows(s.legend, rows < items.count ? rows : 0);
    return fonts.size() - 1;
}

// The single chart's legend wraps into columns where the plot is not tall enough for one
// item a row. The strips' legends keep to a fifth of the chart's width; their names run
// along the strips, shrunk to no less than the small font, where every one fits whole, and
// else stand across each strip's top-left corner.
void ChartWidget::Impl::FitLegends(int chartWidth, int chartHeight) {
    if (!StripsShown()) {
        WrapToHeight(plot->legend, chartHeight - 2 * (style.depth + 6) - 60);
        return;
    }
    const int timeHeight = timeRow->margins().bottom() > 0 ? timeRow->margins().bottom() : 40;
    const int n = static_cast<int>(stripAxes.size());
    const int each = std::max(1, (chartHeight - timeHeight - n * plot->plotLayout()->rowSpacing()) / n);
    const QFont base = plot->font();
    QFont small = base;
    small.setPixelSize(std::max(8, base.pixelSize() * 3 / 4));
    const int line = QFontMetrics(base).height();
    const int room = std::max(1, each - 8);
    bool along = true;
    for (int a : stripAxes) along = along && QFontMetrics(small).horizontalAdvance(strips[a].name) <= room;
    const int widest = std::max(60, chartWidth / 5 - 6);  // 6: the column's own margin
    // One font for every legend: the largest that each allows.
    std::vector<QFont> fonts{base};
    for (const int px : {small.pixelSize(), 8}) {
        QFont f = base;
        f.setPixelSize(px);
        if (px < fonts.back().pixelSize()) fonts.push_back(f);
    }
    size_t font = 0;
    for (int a : stripAxes) font = std::max(font, FitStripLegend(strips[a], each - 6, widest, fonts));
    const std::vector<QFont> chosen(fonts.begin() + static_cast<std::ptrdiff_t>(font), fonts.end());
    for (int a : stripAxes) {
        Strip& s = strips[a];
        FitStripLegend(s, each - 6, widest, chosen);
        const QFont tickFont = each < 5 * line ? small : base;
        s.value->setTickLabelFont(tickFont);
        s.value->ticker()->setTickCount(std::clamp(each / (2 * QFontMetrics(tickFont).height()), 1, 3));
        s.title->setVisible(!along);
        if (!along) {
            s.value->setLabel(QString());
            s.title->setFont(small);
            s.title->setText(s.name);
            continue;
        }
        QFont label = base;
        while (QFontMetrics(label).horizontalAdvance(s.name) > room && label.pixelSize() > small.pixelSize())
            label.setPixelSize(label.pixelSize() - 1);
        s.value->setLabelFont(label);
        s.value->setLabel(s.name);
    }
}

}  // namespace krelby
