// The readout that follows the mouse over the plot (the time and each shown value) and its
// cursor line across the plot; the track pane's time shows in it too.
#include <QDateTime>

#include <algorithm>

#include "chart/chart_widget_impl.h"
#include "chart/readout.h"

namespace krelby {

void ChartWidget::Impl::BuildReadout() {
    readout = new QLabel(plot);
    readout->setObjectName("Readout");
    readout->setAttribute(Qt::WA_TransparentForMouseEvents);  // the plot keeps the mouse
    readout->setAutoFillBackground(true);
    readout->setBackgroundRole(QPalette::ToolTipBase);
    readout->setForegroundRole(QPalette::ToolTipText);
    readout->setFrameShape(QFrame::Box);
    readout->setMargin(3);
    readout->hide();
}

// The values under a mouse that has not moved change with the time shown.
void ChartWidget::Impl::RefreshReadout() {
    // The track pane's cursor keeps its time; the mouse's readout its place.
    if (cursorPinned) hoverAt.setX(qRound(TimeAxis()->coordToPixel(cursorKey)));
    if (readout && readout->isVisible()) ShowReadout(hoverAt);
}

void ChartWidget::Impl::Hover(QMouseEvent* event) {
    if (playRunning) return;  // the readout follows the playback
    cursorPinned = false;
    ShowReadout(event->pos());
    if (readout->isVisible()) emit q->TimeHovered(KeyToDays(TimeAxis()->pixelToCoord(event->pos().x())));
}

void ChartWidget::Impl::HideReadout() {
    if (!readout->isVisible()) return;
    readout->hide();
    plot->update();  // and its cursor line
}

void ChartWidget::Impl::ShowReadout(QPoint pos) {
    hoverAt = pos;
    // Only the part of the plot in sight: strips may scroll.
    const QRect area = PlotArea().intersected(plot->visibleRegion().boundingRect());
    if (Empty() || !area.contains(pos)) {
        HideReadout();
        return;
    }
    const double key = cursorPinned ? cursorKey : TimeAxis()->pixelToCoord(pos.x());
    cursorKey = key;
    plot->update();
    readout->setText(ReadoutText(key));
    readout->resize(readout->sizeHint().boundedTo(area.size()));
    PlaceReadout(pos, area);
    readout->show();
    readout->raise();
}

// The time, then a line for each series shown with a value at that time.
QString ChartWidget::Impl::ReadoutText(double key) const {
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
    return text;
}

// Below and right of the cursor, or on the other side where the plot ends: never over the
// point under the cursor where there is room, and never beyond the plot's edges.
void ChartWidget::Impl::PlaceReadout(QPoint pos, const QRect& area) {
    constexpr int kGap = 14;
    const QSize size = readout->size();
    int x = pos.x() + kGap, y = pos.y() + kGap;
    if (x + size.width() > area.right() + 1) x = pos.x() - kGap - size.width();
    if (y + size.height() > area.bottom() + 1) y = pos.y() - kGap - size.height();
    x = std::clamp(x, area.left(), std::max(area.left(), area.right() + 1 - size.width()));
    y = std::clamp(y, area.top(), std::max(area.top(), area.bottom() + 1 - size.height()));
    readout->move(x, y);
}

// The hovered time across the plot (every strip), on screen only.
void ChartWidget::Impl::PaintCursor(QPainter& painter) const {
    if (!readout->isVisible() || Empty()) return;
    const QRect area = PlotArea();
    const double x = TimeAxis()->coordToPixel(cursorKey);
    if (x < area.left() || x > area.right() + 1) return;
    painter.save();
    painter.setPen(QPen(QColor(60, 60, 60, 160), 1, Qt::DashLine));
    painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    painter.restore();
}

}  // namespace krelby
