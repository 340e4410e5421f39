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
            const QString u = item ? QString::fromStdString(UnitOf(*item, units ? *units : kDefaultUnits)) : QString();
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

// Legends wrap into columns where the plot is not tall enough for one item a row.
void ChartWidget::Impl::FitLegends(int chartHeight) {
    const auto wrap = [](QCPLegend* legend, int height) {
        // A wrapped legend's grid has empty cells: count the items themselves.
        int rowHeight = 1, count = 0;
        for (int i = 0; i < legend->elementCount(); ++i) {
            if (QCPLayoutElement* item = legend->elementAt(i)) {
                rowHeight = std::max(rowHeight, item->minimumOuterSizeHint().height() + legend->rowSpacing());
                ++count;
            }
        }
        const int inner = height - legend->margins().top() - legend->margins().bottom();
        const int rows = std::max(1, inner / rowHeight);
        const int w = count > rows ? rows : 0;
        if (legend->wrap() == w) return;
        legend->setWrap(w);
        legend->setFillOrder(QCPLayoutGrid::foRowsFirst, true);
    };
    if (!StripsShown()) {
        wrap(plot->legend, chartHeight - 2 * (style.depth + 6) - 60);
        return;
    }
    const int timeHeight = timeRow->margins().bottom() > 0 ? timeRow->margins().bottom() : 40;
    const int n = static_cast<int>(stripAxes.size());
    const int each = std::max(1, (chartHeight - timeHeight - n * plot->plotLayout()->rowSpacing()) / n);
    // Low strips (a printed page, a small picture) take a smaller font for their legends and
    // value labels before these wrap or crowd; an axis name runs along its strip, shrunk, then
    // cut short, where it is longer.
    const QFont base = plot->font();
    QFont small = base;
    small.setPixelSize(std::max(8, base.pixelSize() * 3 / 4));
    const int line = QFontMetrics(base).height();
    const int room = std::max(1, each - 8);
    for (int a : stripAxes) {
        Strip& s = strips[a];
        const int items = static_cast<int>(s.listed.size());
        const QFont legendFont = items * (line + 2) > each - 6 ? small : base;
        for (int i = 0; i < s.legend->elementCount(); ++i)
            if (auto* item = qobject_cast<QCPAbstractLegendItem*>(s.legend->elementAt(i)))
                if (item->font() != legendFont) item->setFont(legendFont);
        wrap(s.legend, each - 6);
        const QFont tickFont = each < 5 * line ? small : base;
        s.value->setTickLabelFont(tickFont);
        s.value->ticker()->setTickCount(std::clamp(each / (2 * QFontMetrics(tickFont).height()), 1, 3));
        QFont font = base;
        while (QFontMetrics(font).horizontalAdvance(s.name) > room && font.pixelSize() > 8)
            font.setPixelSize(font.pixelSize() - 1);
        s.value->setLabelFont(font);
        s.value->setLabel(QFontMetrics(font).elidedText(s.name, Qt::ElideRight, room));
    }
}

}  // namespace krelby
