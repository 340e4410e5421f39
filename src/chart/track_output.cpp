// The chart and the track pane off the screen together: a picture, a JPEG file, a page.
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>

#include "chart/chart_plot.h"
#include "chart/chart_widget.h"
#include "chart/map_layer.h"
#include "chart/track_view.h"

namespace krelby {

namespace {

QDeadlineTimer OutputWait(std::optional<QDeadlineTimer> wait) { return wait.value_or(QDeadlineTimer(kOutputMapWaitMs)); }

}  // namespace

QImage GrabBeside(ChartWidget& chart, QSize chartSize, const TrackView& track, QSize trackSize,
                  std::optional<QDeadlineTimer> mapWait) {
    const QImage left = chart.Grab(chartSize);
    // The chart's height: the pane, taller on screen where it runs beside the Exceedances
    // pane too, is fitted to it rather than leave a band under the chart.
    QImage image(chartSize.width() + trackSize.width(), chartSize.height(), QImage::Format_RGB32);
    image.fill(QColor(200, 200, 200));
    QPainter painter(&image);
    painter.drawImage(0, 0, left);
    track.Paint(painter, QRect(QPoint(chartSize.width(), 0), QSize(trackSize.width(), chartSize.height())),
                OutputWait(mapWait));
    return image;
}

QSize SaveJpegBeside(ChartWidget& chart, QSize chartSize, const TrackView& track, QSize trackSize,
                     const std::string& path, const std::string& source) {
    return SaveJpegImage(GrabBeside(chart, chartSize, track, trackSize), path, source);
}

void PrintPageBeside(ChartWidget& chart, const TrackView& track, QPaintDevice& page,
                     std::optional<QDeadlineTimer> mapWait) {
    QCPPainter painter;
    if (!painter.begin(&page)) return;
    const QRectF area = PrintArea(QRectF(0, 0, page.width(), page.height()));
    // The pane keeps the share of the width it has in the window.
    const int shown = chart.width() + track.width();
    const double share = shown > 0 && track.width() > 0 ? double(track.width()) / shown : 0.3;
    const double gap = area.width() * 0.02;
    const double trackWidth = (area.width() - gap) * share;
    const QRectF chartArea(area.left(), area.top(), area.width() - gap - trackWidth, area.height());
    const QRectF trackArea(chartArea.right() + gap, area.top(), trackWidth, area.height());
    painter.save();
    chart.PrintInto(painter, chartArea, page.logicalDpiX());
    painter.restore();
    // Laid out as the chart is, one pixel of the pane 0.25 mm on paper.
    const double pixel = page.logicalDpiX() * 0.25 / 25.4;
    painter.translate(trackArea.topLeft());
    painter.scale(pixel, pixel);
    track.Paint(painter, QRect(0, 0, std::max(1, int(trackArea.width() / pixel)), std::max(1, int(trackArea.height() / pixel))),
                OutputWait(mapWait));
}

void PrintBeside(ChartWidget& chart, const TrackView& track, QPrinter& printer, std::optional<QDeadlineTimer> mapWait) {
    printer.setFullPage(true);
    PrintPageBeside(chart, track, printer, mapWait);
}

void ShowPrintPreviewBeside(ChartWidget& chart, const TrackView& track, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog dialog(&printer, parent);
    // The preview draws its pages again as the user looks (zoom, page setup): the map's
    // tiles are waited for once, from the command on.
    const QDeadlineTimer mapWait(kOutputMapWaitMs);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &chart,
                     [&chart, &track, mapWait](QPrinter* p) { PrintBeside(chart, track, *p, mapWait); });
    dialog.exec();
    chart.Plot()->replot();
}

}  // namespace krelby
