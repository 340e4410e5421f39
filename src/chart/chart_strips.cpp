#include "chart/chart_strips.h"

#include <QFontMetrics>

#include <algorithm>

#include "chart/chart_look.h"
#include "chart/legend_fit.h"
#include "chart/readout.h"

namespace krelby {

void RemoveFromLayout(QCPLayoutGrid* grid, QCPLayoutElement* e) {
    if (e && e->layout() == grid) grid->take(e);
    if (e) e->setVisible(false);
}

void AddToLayout(QCPLayoutGrid* grid, int row, int column, QCPLayoutElement* e) {
    grid->addElement(row, column, e);
    e->setVisible(true);
}

void ChartStrips::Attach(ChartPlot* plot, QSharedPointer<QCPAxisTickerDateTime> ticker,
                         const std::array<QCPAxis*, kAxisCount>& valueAxes) {
    plot_ = plot;
    ticker_ = std::move(ticker);
    valueAxes_ = valueAxes;
}

QCPAxis* ChartStrips::AddTimeAxis(QCPAxisRect* rect) {
    QCPAxis* time = rect->addAxis(QCPAxis::atBottom);
    time->setLayer(QLatin1String("axes"));  // over the series, as the chart's own
    time->setTicker(ticker_);
    time->setRange(plot_->xAxis->range());
    time->setTickLabelFont(plot_->font());
    time->grid()->setVisible(false);
    time->setPadding(0);
    rect->setMarginGroup(QCP::msLeft, margins_);
    rect->setVisible(false);
    return time;
}

void ChartStrips::BuildStrip(Strip& s, const QCPRange& valueRange) {
    const QFont font = plot_->font();
    s.rect = new QCPAxisRect(plot_, false);
    s.rect->setLayer(QLatin1String("background"));  // under the series, as the chart's own
    s.rect->setBackground(kPlotArea);
    s.rect->setAutoMargins(QCP::msLeft);
    s.rect->setMargins(QMargins(0, kStripPad, kColumnGap, kStripPad));
    s.time = AddTimeAxis(s.rect);
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
    s.value->setRange(valueRange);
    // Under the series: the name never hides a line.
    s.title = new QCPItemText(plot_);
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

void ChartStrips::Build() {
    if (timeRow_) return;
    margins_ = new QCPMarginGroup(plot_);
    for (int i = 0; i < kAxisCount; ++i) BuildStrip(strips_[i], valueAxes_[i]->range());
    timeRow_ = new QCPAxisRect(plot_, false);
    timeRow_->setLayer(QLatin1String("background"));
    timeRow_->setAutoMargins(QCP::msLeft | QCP::msBottom);
    timeRow_->setMargins(QMargins(0, 0, kColumnGap, 0));
    // Only its labels: no height of its own beyond them.
    timeRow_->setMinimumSize(0, 0);
    timeRow_->setMaximumSize(QWIDGETSIZE_MAX, 0);
    QCPAxis* time = AddTimeAxis(timeRow_);
    time->setTickLengthIn(0);
    time->setTickLengthOut(4);
}

void ChartStrips::BuildLegend(Strip& s) {
    s.legend = new QCPLegend;
    s.side->addElement(0, 0, s.legend);
    s.side->addElement(1, 0, new QCPLayoutElement(plot_));
    s.side->setRowStretchFactor(0, 0.001);
    s.legend->setLayer(QLatin1String("legend"));
    s.legend->setFont(plot_->font());
    s.legend->setBrush(kLegendPaper);
    s.legend->setIconSize(14, 8);
    s.legend->setRowSpacing(0);
    s.legend->setColumnSpacing(4);
    s.legend->setMargins(QMargins(3, 1, 3, 1));
    s.legend->setFillOrder(QCPLayoutGrid::foRowsFirst, false);
}

void ChartStrips::TakeOut() {
    QCPLayoutGrid* grid = plot_->plotLayout();
    for (Strip& s : strips_) {
        RemoveFromLayout(grid, s.rect);
        RemoveFromLayout(grid, s.side);
        if (s.legend) s.legend->setVisible(false);
        if (s.title) s.title->setVisible(false);
    }
    RemoveFromLayout(grid, timeRow_);
}

void ChartStrips::PutIn(const std::vector<int>& axes) {
    shown_ = axes;
    if (axes.empty()) return;
    QCPLayoutGrid* grid = plot_->plotLayout();
    int row = 0;
    for (int a : axes) {
        Strip& s = strips_[a];
        AddToLayout(grid, row, 0, s.rect);
        if (!s.side) s.side = new QCPLayoutGrid;
        AddToLayout(grid, row, 1, s.side);
        if (!s.legend) BuildLegend(s);
        s.legend->setVisible(true);
        grid->setRowStretchFactor(row++, 1);
    }
    AddToLayout(grid, row, 0, timeRow_);
    grid->setRowStretchFactor(row, 0.001);
}

QRect ChartStrips::PlotArea() const {
    const QRect top = strips_[shown_.front()].rect->rect();
    return top.united(strips_[shown_.back()].rect->rect());
}

void ChartStrips::SetTimeRange(const QCPRange& range) {
    for (const Strip& s : strips_)
        if (s.time) s.time->setRange(range);
    if (timeRow_) timeRow_->axis(QCPAxis::atBottom)->setRange(range);
}

void ChartStrips::SetValueRange(int axis, const QCPRange& range) {
    if (QCPAxis* value = strips_[axis].value) value->setRange(range);
}

void ChartStrips::SetGrid(int axis, bool visible) {
    if (QCPAxis* value = strips_[axis].value) value->grid()->setVisible(visible);
}

void ChartStrips::SyncLegends(const ChartModel& model, const UnitSettings* units,
                              const std::array<SlotGraph*, kSlotCount>& graphs) {
    static const UnitSettings kDefaultUnits;
    for (int a : shown_) {
        Strip& s = strips_[a];
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
        for (int slot : want) s.legend->addItem(new CheckLegendItem(s.legend, graphs[slot], style_));
        s.listed = want;
    }
}

int ChartStrips::RightColumnWidth() const {
    int width = 0;
    for (int a : shown_)
        width = std::max(width, strips_[a].legend->minimumOuterSizeHint().width() + kColumnGap);
    return width;
}

std::vector<QCPLegend*> ChartStrips::Legends() const {
    std::vector<QCPLegend*> legends;
    for (int a : shown_) legends.push_back(strips_[a].legend);
    return legends;
}

namespace {

// The largest of the base font, the small font and the least, each smaller than the one before.
std::vector<QFont> LegendFonts(const QFont& base, const QFont& small) {
    std::vector<QFont> fonts{base};
    for (const int px : {small.pixelSize(), kLeastFontPixels}) {
        QFont f = base;
        f.setPixelSize(px);
        if (px < fonts.back().pixelSize()) fonts.push_back(f);
    }
    return fonts;
}

}  // namespace

// A strip's legend within its strip's height and at most `widest` pixels: one column in the
// largest of `fonts` that allows it, else columns in the largest that keeps the width, else
// the last font in as many columns as the width takes (taller than the strip). Returns the
// index of the font taken.
size_t ChartStrips::FitLegend(Strip& s, int height, int widest, const std::vector<QFont>& fonts) {
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

// The legends keep to a share of the chart's width, in one font: the largest that each
// allows. The names run along the strips, shrunk to no less than the small font, where every
// one fits whole, and else stand across each strip's top-left corner.
void ChartStrips::FitLegends(int chartWidth, int chartHeight) {
    const int timeHeight = timeRow_->margins().bottom() > 0 ? timeRow_->margins().bottom() : kTimeRowGuess;
    const int n = static_cast<int>(shown_.size());
    const int each = std::max(1, (chartHeight - timeHeight - n * plot_->plotLayout()->rowSpacing()) / n);
    const int inside = each - 2 * kStripPad;  // the strip's plot
    const QFont base = plot_->font();
    QFont small = base;
    small.setPixelSize(std::max(kLeastFontPixels, base.pixelSize() * 3 / 4));
    const int line = QFontMetrics(base).height();
    const int room = std::max(1, inside - 2);  // along the plot, a pixel clear at either end
    bool along = true;
    for (int a : shown_) along = along && QFontMetrics(small).horizontalAdvance(strips_[a].name) <= room;
    const int widest = std::max(kStripLegendLeast, chartWidth / kStripLegendShare - kColumnGap);
    const std::vector<QFont> fonts = LegendFonts(base, small);
    size_t font = 0;
    for (int a : shown_) font = std::max(font, FitLegend(strips_[a], inside, widest, fonts));
    const std::vector<QFont> chosen(fonts.begin() + static_cast<std::ptrdiff_t>(font), fonts.end());
    for (int a : shown_) {
        Strip& s = strips_[a];
        FitLegend(s, inside, widest, chosen);
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
