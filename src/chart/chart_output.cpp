// The chart drawn off the screen: a picture at any size, a JPEG file, a printed page.
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>
#include <cmath>

#include "chart/chart_widget_impl.h"
#include "export/jpeg_writer.h"

namespace krelby {

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
    FitLegends(size.width(), size.height());
    FitTimeTicks(size.width());
    {
        QCPPainter painter(&image);
        plot->toPainter(&painter, size.width(), size.height());
        PaintAxisNames(painter, size.height());
    }
    // Drawing at another size left the layout at that size; mouse hits need the screen's.
    FitLegends(plot->width(), plot->height());
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
    const int needed = ChartWidth(kPrintPlotWidth);
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
    painter.save();
    painter.translate(area.topLeft());
    painter.scale(scale, scale);
    painter.setClipRect(QRectF(0, 0, width, height));
    const std::vector<std::function<void()>> restore =
        lineWidth > 1 ? WidenLines(lineWidth) : std::vector<std::function<void()>>();
    FitLegends(width, height);
    FitTimeTicks(width);
    plot->toPainter(&painter, width, height);
    PaintAxisNames(painter, height);
    for (const ChartShade& s : printShades) PaintShade(painter, s.from, s.to, s.slot);
    PaintSpan(painter);
    painter.restore();
    // A span's figures in the margin under the chart.
    const double gap = dotsPerInch * 2 / 25.4;
    PaintSpanTable(painter, QRectF(area.left(), area.bottom() + gap, area.width(), page.bottom() - area.bottom() - 2 * gap),
                   dotsPerInch);
    for (const auto& undo : restore) undo();
    style.lineWidth = 1;
    FitLegends(plot->width(), plot->height());
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
    std::vector<QCPAxis*> all;
    for (QCPAxisRect* rect : plot->axisRects())
        for (QCPAxis* a : rect->axes()) all.push_back(a);
    for (QCPAxis* a : all) {
        widen(a, &QCPAxis::basePen, &QCPAxis::setBasePen);
        widen(a, &QCPAxis::tickPen, &QCPAxis::setTickPen);
        widen(a, &QCPAxis::subTickPen, &QCPAxis::setSubTickPen);
        widen(a->grid(), &QCPGrid::pen, &QCPGrid::setPen);
    }
    for (QCPAbstractPlottable* g : graphs) widen(g, &QCPAbstractPlottable::pen, &QCPAbstractPlottable::setPen);
    widen(plot->legend, &QCPLegend::borderPen, &QCPLegend::setBorderPen);
    for (QCPLegend* legend : strips.Legends()) widen(legend, &QCPLegend::borderPen, &QCPLegend::setBorderPen);
    style.lineWidth = width;
    return restore;
}

QSize ChartWidget::SaveJpeg(const std::string& path, QSize size, const std::string& source) {
    return SaveJpegImage(Grab(size), path, source);
}

QSize SaveJpegImage(const QImage& image, const std::string& path, const std::string& source) {
    const QImage picture = image.convertToFormat(QImage::Format_RGB888);
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

}  // namespace krelby
