// What is painted over the finished plot: the axis names under the single chart (on screen,
// in pictures and on paper), and on screen the hint of an empty chart and a shaded interval.
#include <algorithm>

#include "chart/chart_widget_impl.h"

namespace krelby {

void ChartWidget::Impl::PaintAxisNames(QPainter& painter, int height) const {
    if (StripsShown()) return;  // each strip names its own axis
    painter.save();
    // Shrink the font until the longest name fits between two axes.
    QFont font = plot->font();
    while (QFontMetrics(font).horizontalAdvance(QStringLiteral("Deviation")) > kAxisNameWidth &&
           font.pixelSize() > kLeastFontPixels)
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

// A chosen interval (an exceedance) across the plot, on screen (and the report's on paper).
void ChartWidget::Impl::PaintShade(QPainter& painter) const { PaintShade(painter, shadeFrom, shadeTo); }

void ChartWidget::Impl::PaintShade(QPainter& painter, double from, double to, int slot) const {
    if (!(from < to) || Empty()) return;
    // In the strip view, a slot's shade stays in its strip.
    const int axis = slot >= 0 && slot < kSlotCount ? model.Slot(slot).axis : -1;
    const QCPAxis* own = StripsShown() && axis >= 0 ? strips.ValueOf(axis) : nullptr;
    const QRect area = own && own->axisRect()->visible() ? own->axisRect()->rect() : PlotArea();
    const QCPAxis* time = TimeAxis();
    double x0 = time->coordToPixel(from), x1 = time->coordToPixel(to);
    if (x1 < area.left() || x0 > area.right() + 1) return;  // out of the time shown: no sliver at an edge
    x0 = std::max<double>(x0, area.left());
    x1 = std::min<double>(std::max(x1, x0 + 2), area.right() + 1);  // a moment still shows
    if (x1 <= x0) return;
    painter.fillRect(QRectF(x0, area.top(), x1 - x0, area.height()), QColor(255, 190, 0, 70));
}

void ChartWidget::Impl::PaintEmptyHint(QPainter& painter) const {
    if (emptyHint.isEmpty() || !Empty()) return;
    painter.save();
    QFont font = plot->font();
    font.setPixelSize(font.pixelSize() * 5 / 4);
    painter.setFont(font);
    painter.setPen(QColor(70, 70, 70));
    const QRect area = mainRect->rect().adjusted(20, 20, -20, -20);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, emptyHint);
    painter.restore();
}

}  // namespace krelby
