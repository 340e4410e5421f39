// The span's pictures: a span marked with Shift+drag across a climb, its table docked under
// the chart (span.png), the same printed (span-print.pdf), and F1's sheet (shortcuts.png).
#include <QApplication>
#include <QMouseEvent>
#include <QPrinter>
#include <qcustomplot.h>

#include "app/main_window.h"
#include "app/shortcut_sheet.h"
#include "chart/chart_widget.h"
#include "shots.h"

namespace krelby::shots {

bool SaveSpan(MainWindow& window, const QString& beside) {
    ChartWidget* chart = window.Chart();
    chart->ResetZoom(false);
    Settle();
    QCustomPlot* plot = chart->Plot();
    const QRect area = plot->axisRect()->rect();
    const QPoint from(area.left() + area.width() * 2 / 5, area.center().y());
    const QPoint to(area.left() + area.width() * 3 / 5, area.center().y());
    QMouseEvent press(QEvent::MouseButtonPress, from, plot->mapToGlobal(from), Qt::LeftButton, Qt::LeftButton,
                      Qt::ShiftModifier);
    QApplication::sendEvent(plot, &press);
    QMouseEvent move(QEvent::MouseMove, to, plot->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(plot, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, plot->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                        Qt::ShiftModifier);
    QApplication::sendEvent(plot, &release);
    bool ok = chart->HasSpan() && Save(window, beside + "span.png");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setOutputFileName(beside + "span-print.pdf");
    chart->Print(printer);
    chart->ClearSpan();
    window.findChild<QAction*>("Shortcuts1")->trigger();
    ok = Save(*window.Sheet(), beside + "shortcuts.png") && ok;
    window.Sheet()->hide();
    return ok;
}

}  // namespace krelby::shots
