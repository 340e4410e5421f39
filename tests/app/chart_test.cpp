// The chart widget drawn offscreen: margins and axes follow the model, the axis names
// appear where the model puts them, pictures have the asked size, 3D and zoom show.
#include <QtTest>

#include <QLabel>
#include <QPrinter>
#include <qcustomplot.h>

#include <cmath>
#include <random>

#include "chart/chart_plot.h"
#include "chart/chart_widget.h"
#include "chart/decimate.h"
#include "chart/readout.h"

using namespace krelby;

namespace {

constexpr double kStart = 46000.5;  // a date-time in days
constexpr double kSecond = 1.0 / 86400.0;

struct SeriesSpec {
    int checkBox;
    int axis;
    const char* title;
};

// Fills the model as a replay does: claim, show the axis, attach, add points, finish.
void Replay(ChartModel& m, const std::vector<SeriesSpec>& specs, int points,
            const std::function<double(int series, int i)>& value) {
    m.ResetChart();
    for (int i = 0; i < points; ++i) {
        for (size_t k = 0; k < specs.size(); ++k) {
            const SeriesSpec& s = specs[k];
            if (!m.ClaimSeriesSlot(s.checkBox)) continue;
            const int slot = m.SlotNumber(s.checkBox);
            if (m.NewSlotFlag()) {
                m.ShowValueAxis(s.axis);
                m.SetupNewSlot(slot, s.axis, s.title);
            }
            m.AddSample(slot, kStart + i * kSecond, value(static_cast<int>(k), i));
        }
    }
    m.DrawAxisLabels();
}

// Times in seconds since 1970 keep about a microsecond of precision.
bool Near(double a, double b) { return qAbs(a - b) < 1e-3; }

bool IsDark(QRgb c) { return qRed(c) + qGreen(c) + qBlue(c) < 200; }

int DarkPixels(const QImage& img, const QRect& r) {
    int n = 0;
    for (int y = std::max(0, r.top()); y <= std::min(img.height() - 1, r.bottom()); ++y)
        for (int x = std::max(0, r.left()); x <= std::min(img.width() - 1, r.right()); ++x)
            n += IsDark(img.pixel(x, y));
    return n;
}

}  // namespace

class ChartTest : public QObject {
    Q_OBJECT

    ChartModel model;
    ChartWidget* chart = nullptr;

    void ShowChart(QSize size) {
        delete chart;
        chart = new ChartWidget(model);
        chart->resize(size);
        chart->show();
        QVERIFY(QTest::qWaitForWindowExposed(chart));
        chart->Plot()->replot();
    }
    void ThreeAxes(int points = 600) {
        Replay(model, {{1, 0, "PALT"}, {2, 5, "RPM_1"}, {3, 13, "BARO"}, {4, 0, "GPSALT"}}, points,
               [](int k, int i) { return (k + 1) * 100.0 * std::sin(i / 50.0) + 1000 * k; });
        if (chart) chart->Plot()->replot();
    }

    // Sixteen items on eleven axes: flight, engine and thermocouple items of one monitor.
    void SixteenOnElevenAxes() {
        static const int kAxisOf[16] = {0, 1, 1, 2, 3, 4, 5, 11, 11, 12, 12, 8, 13, 9, 9, 9};
        std::vector<SeriesSpec> specs;
        static std::vector<std::string> titles;
        titles.clear();
        for (int k = 0; k < 16; ++k) titles.push_back("S" + std::to_string(k + 1));
        for (int k = 0; k < 16; ++k) specs.push_back({k + 1, kAxisOf[k], titles[k].c_str()});
        Replay(model, specs, 600, [](int k, int i) { return (k + 1) * 10.0 * std::sin(i / 40.0); });
    }
    // The time labels under a plot: more than `least`, each different and clear of the next.
    static void CheckTimeLabels(QCPAxis* time, int least) {
        const QVector<QString> labels = time->tickVectorLabels();
        const QVector<double> ticks = time->tickVector();
        QVERIFY2(labels.size() >= least, qPrintable(QString::number(labels.size())));
        QCOMPARE(QSet<QString>(labels.begin(), labels.end()).size(), labels.size());
        const QFontMetrics fm(time->tickLabelFont());
        for (int i = 1; i < ticks.size(); ++i) {
            const double apart = time->coordToPixel(ticks[i]) - time->coordToPixel(ticks[i - 1]);
            QVERIFY(apart > fm.horizontalAdvance(labels[i].section('\n', 1)) + 4);
        }
    }

private slots:
    void init() { ShowChart(QSize(800, 500)); }

    // At a window's first size (780x612, the chart 780x545) sixteen items on eleven axes
    // leave a wide plot in the strip view: a strip per axis in the order shown, one time
    // axis labelled under the last, and the strips scroll rather than go below 60 px.
    void stripsKeepAWidePlotForSixteenItems() {
        constexpr int kLeastStrip = 60;
        ShowChart(QSize(780, 545));
        chart->SetStrips(true);
        SixteenOnElevenAxes();
        QCustomPlot* plot = chart->Plot();
        QApplication::processEvents();  // the scrolling area takes the plot's new height
        plot->replot();
        const QList<QCPAxisRect*> rects = plot->axisRects();
        QCOMPARE(rects.size(), 12);  // and the row of time labels
        for (int i = 0; i < 11; ++i) {
            QVERIFY2(rects[i]->width() >= 550, qPrintable(QString::number(rects[i]->width())));
            QCOMPARE(rects[i]->left(), rects[0]->left());
            QCOMPARE(rects[i]->width(), rects[0]->width());
            QVERIFY(rects[i]->outerRect().height() >= kLeastStrip);
            if (i > 0) QVERIFY(rects[i]->top() > rects[i - 1]->bottom());
            const QString name = rects[i]->axis(QCPAxis::atLeft)->label();
            QVERIFY2(name.startsWith(AxisShortName[model.VisibleAxes()[i]]), qPrintable(name));
            QVERIFY(!rects[i]->axis(QCPAxis::atBottom)->tickLabels());
        }
        QVERIFY(plot->height() > chart->height());  // scrolls
        CheckTimeLabels(rects[11]->axis(QCPAxis::atBottom), 4);
        // Back to the single chart: one plot area with the axes beside it, which scrolls
        // sideways rather than leave the plot under 200 px; the legend stays beside it.
        chart->SetStrips(false);
        plot->replot();
        QCOMPARE(plot->axisRects().size(), 1);
        QVERIFY(plot->axisRect()->width() >= 200);
        QVERIFY(plot->legend->outerRect().left() >= plot->axisRect()->right());
    }

    // A chart never shown (the command line's) lays its legend out for the picture's size,
    // after one wrapped into columns for the widget's first, small size.
    void aChartNeverShownDrawsSixteenItems() {
        ChartWidget hidden(model);
        hidden.resize(780, 545);
        SixteenOnElevenAxes();
        QCOMPARE(hidden.Grab(QSize(780, 545)).size(), QSize(780, 545));
        hidden.SetStrips(true);
        QCOMPARE(hidden.Grab(QSize(780, 545)).size(), QSize(780, 545));
    }

    // Zoom, pan and the readout act on every strip at once; a rectangle zooms time only.
    void stripsZoomAndReadTogether() {
        chart->SetStrips(true);
        ThreeAxes();
        QCustomPlot* plot = chart->Plot();
        plot->replot();
        const QList<QCPAxisRect*> rects = plot->axisRects();
        QCOMPARE(rects.size(), 4);
        const QCPRange whole = plot->xAxis->range();
        const QCPRange values = rects[1]->axis(QCPAxis::atLeft)->range();
        const QRect r = rects[1]->rect();
        const QPoint a(r.left() + r.width() / 4, r.top() + 5), b(r.left() + r.width() / 2, r.bottom() - 5);
        QTest::mousePress(plot, Qt::LeftButton, {}, a);
        QMouseEvent move(QEvent::MouseMove, b, plot->mapToGlobal(b), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(plot, &move);
        QTest::mouseRelease(plot, Qt::LeftButton, {}, b);
        QTRY_VERIFY_WITH_TIMEOUT(plot->xAxis->range().size() < whole.size() / 3, 2000);
        for (QCPAxisRect* rect : rects) QCOMPARE(rect->axis(QCPAxis::atBottom)->range(), plot->xAxis->range());
        QCOMPARE(rects[1]->axis(QCPAxis::atLeft)->range(), values);
        const QPoint at = rects[2]->rect().center();
        QMouseEvent hover(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(plot, &hover);
        QVERIFY(chart->Readout()->isVisible());
        QCOMPARE(chart->Readout()->text().count('\n'), 4);  // the time and all four series
        QTest::keyClick(plot, Qt::Key_Home);
        QTRY_COMPARE_WITH_TIMEOUT(rects[0]->axis(QCPAxis::atBottom)->range(), whole, 2000);
    }

    // A limit is a dashed line in its series' colour across its plot, in both views; a
    // chosen interval zooms the time with its margin.
    void limitLinesAndChosenIntervals() {
        ThreeAxes();
        chart->SetLimitLines({{0, 150.0}});  // PALT swings ±100: a limit near it comes into view
        QCustomPlot* plot = chart->Plot();
        const QColor colour = plot->graph(0)->pen().color();
        const auto dashesAtLimit = [&] {
            plot->replot();
            const QImage image = chart->Grab(chart->size());
            QCPAxisRect* rect = plot->axisRect();
            const int y = int(std::lround(plot->graph(0)->valueAxis()->coordToPixel(150.0)));
            int most = 0;
            for (int row = y - 1; row <= y + 1; ++row) {
                int n = 0;
                for (int x = rect->left(); x < rect->right(); ++x) n += image.pixelColor(x, row) == colour;
                most = std::max(most, n);
            }
            return most > rect->width() / 3 && most < rect->width();
        };
        QVERIFY(dashesAtLimit());
        chart->SetStrips(true);
        QVERIFY(dashesAtLimit());
        chart->ZoomToTime(kStart + 100 * kSecond, kStart + 200 * kSecond, 30, false);
        QVERIFY(Near(plot->xAxis->range().lower, DaysToKey(kStart + 100 * kSecond) - 30));
        QVERIFY(Near(plot->xAxis->range().upper, DaysToKey(kStart + 200 * kSecond) + 30));
        chart->ZoomToTime(kStart, kStart + 5 * kSecond, 30, false);  // never before the flight
        QVERIFY(Near(plot->xAxis->range().lower, DaysToKey(kStart)));
    }

    // At normal sizes the single chart labels its time axis at least four times.
    void normalSizesShowFourTimeLabels() {
        ShowChart(QSize(780, 545));
        ThreeAxes();
        chart->Plot()->replot();
        CheckTimeLabels(chart->Plot()->xAxis, 4);
    }
    void cleanup() {
        delete chart;
        chart = nullptr;
        model.ResetChart();
    }

    void marginAndAxisOffsetsFollowTheModel() {
        ThreeAxes();
        QCustomPlot* plot = chart->Plot();
        QCOMPARE(model.LeftMargin(), 165);
        QCOMPARE(plot->axisRect()->left(), 165);
        const QList<QCPAxis*> left = plot->axisRect()->axes(QCPAxis::atLeft);
        QCOMPARE(left.size(), kAxisCount);
        for (int i = 0; i < kAxisCount; ++i) {
            QCOMPARE(left[i]->visible(), model.Axis(i).visible);
            if (model.Axis(i).visible) QCOMPARE(left[i]->offset(), -model.Axis(i).position);
        }
        QCOMPARE(left[0]->offset(), 0);
        QCOMPARE(left[5]->offset(), 50);
        QCOMPARE(left[13]->offset(), 100);
        // A new replay with fewer axes shrinks the margin again.
        Replay(model, {{7, 6, "PITCH"}}, 10, [](int, int i) { return i; });
        plot->replot();
        QCOMPARE(plot->axisRect()->left(), 65);
        QVERIFY(!left[5]->visible());
    }

    void axisNamesArePaintedAtTheModelsPositions() {
        ThreeAxes();
        const QImage img = chart->Grab(QSize(800, 500));
        const QFontMetrics fm(chart->Plot()->font());
        const auto width = [&fm](std::string_view s) { return fm.horizontalAdvance(QString::fromUtf8(s.data(), int(s.size()))); };
        const auto labels = model.AxisLabels(500, width);
        QCOMPARE(int(labels.size()), 3);
        QCOMPARE(labels[0].rightX, 170);
        QCOMPARE(labels[2].rightX, 70);
        for (const AxisLabel& l : labels) {
            const QRect r(l.rightX - width(l.text), l.topY, width(l.text), fm.height());
            QVERIFY2(DarkPixels(img, r) > 5, l.text.c_str());
        }
        // Without axes nothing is written there.
        model.ResetChart();
        model.DrawAxisLabels();
        const QImage empty = chart->Grab(QSize(800, 500));
        for (const AxisLabel& l : labels)
            QCOMPARE(DarkPixels(empty, QRect(l.rightX - width(l.text), l.topY, width(l.text), fm.height())), 0);
    }

    void theScreenShowsWhatGrabDraws() {
        ThreeAxes();
        chart->Set3D(true);
        chart->Plot()->replot();
        const QImage screen = chart->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage picture = chart->Grab(chart->size());
        QCOMPARE(screen.size(), picture.size());
        // Text is placed by cached glyphs on screen, so a few edge pixels may differ.
        int differ = 0;
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x) differ += screen.pixel(x, y) != picture.pixel(x, y);
        QVERIFY2(differ < screen.width() * screen.height() / 50, qPrintable(QString::number(differ)));
        // The axis names come from the after-paint step on screen too.
        const QFontMetrics fm(chart->Plot()->font());
        const auto width = [&fm](std::string_view s) { return fm.horizontalAdvance(QString::fromUtf8(s.data(), int(s.size()))); };
        for (const AxisLabel& l : model.AxisLabels(screen.height(), width))
            QVERIFY(DarkPixels(screen, QRect(l.rightX - width(l.text), l.topY, width(l.text), fm.height())) > 5);
    }

    void rightClickRestoresTheWholeFlight() {
        ThreeAxes();
        QCustomPlot* plot = chart->Plot();
        const QCPRange whole = plot->xAxis->range();
        const QRect r = plot->axisRect()->rect();
        chart->ZoomTo(QRect(r.center(), QSize(50, 50)), false);
        QTest::mouseClick(plot, Qt::RightButton, {}, r.center());
        QVERIFY(!chart->IsZoomed());
        QTRY_COMPARE_WITH_TIMEOUT(plot->xAxis->range(), whole, 2000);
    }

    // The readout follows the cursor without covering it, inside the plot: the time, then each
    // shown value with its unit, refreshed when the view moves under a still mouse.
    void hoverReadoutShowsRoundedValuesWithUnits() {
        Replay(model, {{1, 0, "PALT"}, {11, 5, "RPM_1"}, {12, 11, "OILP_1"}}, 120,
               [](int k, int i) { return k == 0 ? 1000.0 + i : k == 1 ? 2400.0 : 2.54999; });
        QCustomPlot* plot = chart->Plot();
        plot->replot();
        QLabel* readout = chart->Readout();
        // Just after the sample of 12:01:00 (the 61st).
        const double key = DaysToKey(kStart + 60.4 * kSecond);
        const QPoint at(int(std::lround(plot->xAxis->coordToPixel(key))), plot->axisRect()->center().y());
        QTest::mouseMove(plot, at);
        QTRY_VERIFY(readout->isVisible());
        const QStringList lines = readout->text().split('\n');
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines[0].startsWith("9/12/25 12:01:0"), qPrintable(lines[0]));
        QCOMPARE(lines[1], QString("PALT: 1060 ft"));
        QCOMPARE(lines[2], QString("RPM_1: 2400 rpm"));
        QCOMPARE(lines[3], QString("OILP_1: 2.55 bar"));
        QVERIFY(!readout->geometry().contains(at));
        // A wheel zoom elsewhere moves the time under the still mouse: the values follow.
        const QPoint quarter(plot->axisRect()->left() + plot->axisRect()->width() / 4, at.y());
        QWheelEvent wheel(quarter, plot->mapToGlobal(quarter), {}, QPoint(0, 120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(plot, &wheel);
        QVERIFY(readout->isVisible());
        const QString shownAfter = readout->text().split('\n')[1];
        QVERIFY2(shownAfter != lines[1] && shownAfter.endsWith(" ft"), qPrintable(shownAfter));
        // Near the bottom it turns above the cursor, inside the chart and still clear of it.
        const QPoint low = plot->axisRect()->rect().bottomRight() - QPoint(3, 3);
        QTest::mouseMove(plot, low);
        QTRY_VERIFY(readout->geometry().bottom() < low.y());
        QVERIFY(!readout->geometry().contains(low));
        QVERIFY(plot->axisRect()->rect().contains(readout->geometry()));
        QTest::mouseMove(plot, QPoint(2, 2));  // off the plot area
        QTRY_VERIFY(!readout->isVisible());
    }

    // The print is drawn in vectors, inside the page's margins, with every line at least
    // 0.25 mm wide, the series unbroken, each axis's line and labels there.
    void printIsDrawnInVectorsWithLinesOfAQuarterMillimetre_data() {
        QTest::addColumn<QSize>("pageSize");  // at 300 dpi
        QTest::newRow("A4 landscape") << QSize(3508, 2480);
        QTest::newRow("A5 portrait, laid out wider than a page's room") << QSize(1748, 2480);
    }
    void printIsDrawnInVectorsWithLinesOfAQuarterMillimetre() {
        QFETCH(QSize, pageSize);
        ThreeAxes();
        const QImage screen = chart->Grab(chart->size());
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("chart.pdf"));
        chart->Print(printer);
        QFile pdf(dir.filePath("chart.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QVERIFY2(!bytes.contains("/Subtype /Image"), "the chart was printed as a picture");

        // The same page as a picture at 300 dpi: 0.25 mm is 2.95 dots.
        QImage page(pageSize, QImage::Format_RGB32);
        page.setDotsPerMeterX(11811);
        page.setDotsPerMeterY(11811);
        page.fill(Qt::white);
        chart->PrintPage(page);
        const QRect area = PrintArea(QRectF(page.rect())).toAlignedRect();
        const auto count = [&](const QRect& r, auto test) {
            int n = 0;
            for (int y = std::max(0, r.top()); y <= std::min(page.height() - 1, r.bottom()); ++y)
                for (int x = std::max(0, r.left()); x <= std::min(page.width() - 1, r.right()); ++x) n += test(page.pixel(x, y));
            return n;
        };
        const auto inked = [](QRgb c) { return c != qRgb(255, 255, 255); };
        QCOMPARE(count(QRect(0, 0, page.width(), area.top() - 2), inked), 0);
        QCOMPARE(count(QRect(0, area.bottom() + 2, page.width(), page.height()), inked), 0);
        QCOMPARE(count(QRect(0, 0, area.left() - 2, page.height()), inked), 0);
        QCOMPARE(count(QRect(area.right() + 2, 0, page.width(), page.height()), inked), 0);

        // Axis lines: columns dark from top to bottom of the middle of the plot, in groups.
        const auto black = [](QRgb c) { return qGray(c) < 100; };
        const int top = area.top() + area.height() * 3 / 10, bottom = area.top() + area.height() * 6 / 10;
        QList<QPair<int, int>> lines;  // first column, width
        for (int x = area.left(); x < area.right(); ++x) {
            if (count(QRect(x, top, 1, bottom - top), black) < (bottom - top) * 9 / 10) continue;
            if (!lines.isEmpty() && lines.last().first + lines.last().second == x)
                ++lines.last().second;
            else
                lines.append({x, 1});
        }
        QCOMPARE(lines.size(), 3);  // ALT, RPM and Pressure
        const auto green = [](QRgb c) { return qGreen(c) > 90 && qRed(c) < 60 && qBlue(c) < 60; };
        for (const auto& [x, width] : lines) {
            QVERIFY2(width >= 3, qPrintable(QString::number(width)));
            // Its labels stand left of it, digits at least 1.5 mm (18 dots) tall: 6 points or more.
            int tallest = 0, run = 0;
            for (int y = area.top(); y < area.bottom(); ++y) {
                run = count(QRect(x - 100, y, 95, 1), green) > 0 ? run + 1 : 0;
                tallest = std::max(tallest, run);
            }
            QVERIFY2(tallest >= 18, qPrintable(QString::number(tallest)));
        }
        // The first series (red) in every column of the plot from past the axis's inner ticks
        // up to where another line crosses it, at least 3 dots thick.
        const auto red = [](QRgb c) { return qRed(c) > 150 && qGreen(c) < 140 && qBlue(c) < 140; };  // half covered or more
        const int plotLeft = lines.last().first + 25, plotRight = plotLeft + area.width() / 10;
        int thinnest = INT_MAX;
        for (int x = plotLeft; x < plotRight; ++x) thinnest = std::min(thinnest, count(QRect(x, area.top(), 1, area.height()), red));
        QVERIFY2(thinnest >= 3, qPrintable(QString::number(thinnest)));
        QCOMPARE(chart->Grab(chart->size()), screen);  // the screen's pens and layout are back
    }

    void grabHasTheAskedSize_data() {
        QTest::addColumn<QSize>("asked");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("window") << QSize(764, 530) << QSize(764, 530);
        QTest::newRow("large") << QSize(1280, 800) << QSize(1280, 800);
        QTest::newRow("one pixel") << QSize(1, 1) << QSize(1, 1);
        QTest::newRow("no width") << QSize(0, 530) << QSize(1, 1);
        QTest::newRow("no height") << QSize(764, 0) << QSize(1, 1);
        QTest::newRow("negative") << QSize(-5, -5) << QSize(1, 1);
    }
    void grabHasTheAskedSize() {
        QFETCH(QSize, asked);
        QFETCH(QSize, expected);
        ThreeAxes();
        QCOMPARE(chart->Grab(asked).size(), expected);
    }

    void grabAtAnotherSizeKeepsTheScreenLayout() {
        ThreeAxes();
        const QRect before = chart->Plot()->axisRect()->rect();
        chart->Grab(QSize(300, 200));
        QCOMPARE(chart->Plot()->axisRect()->rect(), before);
    }

    void depthViewChangesThePictureAndBack() {
        ThreeAxes();
        const QImage flat = chart->Grab(QSize(764, 530));
        chart->Set3D(true);
        QVERIFY(chart->Is3D());
        const QImage deep = chart->Grab(QSize(764, 530));
        QVERIFY(flat != deep);
        chart->Set3D(false);
        QCOMPARE(chart->Grab(QSize(764, 530)), flat);
    }

    void zoomShowsThePartAndResetShowsTheWhole() {
        ThreeAxes();
        QCustomPlot* plot = chart->Plot();
        const QImage whole = chart->Grab(QSize(800, 500));
        const QCPRange x = plot->xAxis->range();
        const QRect r = plot->axisRect()->rect();
        chart->ZoomTo(QRect(r.left() + r.width() / 4, r.top() + 10, r.width() / 4, r.height() / 2), false);
        QVERIFY(chart->IsZoomed());
        QVERIFY(plot->xAxis->range().size() < x.size() / 3);
        QVERIFY(chart->Grab(QSize(800, 500)) != whole);
        chart->ResetZoom(false);
        QVERIFY(!chart->IsZoomed());
        QCOMPARE(plot->xAxis->range(), x);
        QCOMPARE(chart->Grab(QSize(800, 500)), whole);
    }

    // On paper each shade is drawn in its strip; one out of the time shown leaves no sliver
    // at the plot's edge.
    void printShadesStayInTheirStripAndTheTimeShown() {
        ThreeAxes();
        chart->SetStrips(true);
        chart->ZoomToTime(kStart + 300 * kSecond, kStart + 400 * kSecond, 0, false);
        const auto print = [&](std::vector<ChartShade> shades) {
            chart->SetPrintShades(shades);
            QImage page(1200, 1600, QImage::Format_RGB32);
            page.fill(Qt::white);
            chart->PrintPage(page);
            return page;
        };
        const QImage plain = print({});
        const auto shaded = [&](std::vector<ChartShade> shades) {  // the pixels a shade changed
            const QImage page = print(shades);
            int n = 0;
            for (int y = 0; y < page.height(); ++y)
                for (int x = 0; x < page.width(); ++x) n += page.pixel(x, y) != plain.pixel(x, y);
            return n;
        };
        const int none = 0;
        const int before = shaded({{kStart + 10 * kSecond, kStart + 20 * kSecond, 1}});
        const int inView = shaded({{kStart + 340 * kSecond, kStart + 360 * kSecond, 1}});
        const int across = shaded({{kStart + 340 * kSecond, kStart + 360 * kSecond, -1}});
        QCOMPARE(before, none);
        QVERIFY(inView > none + 100);
        QVERIFY(across > inView + 100);  // every strip, not one
    }

    void animatedZoomArrivesAtTheRectangle() {
        ThreeAxes();
        QCustomPlot* plot = chart->Plot();
        const QRect r = plot->axisRect()->rect();
        const QRect band(r.left() + 100, r.top() + 20, 200, 100);
        const double lo = plot->xAxis->pixelToCoord(band.left());
        const double hi = plot->xAxis->pixelToCoord(band.right());
        chart->ZoomTo(band);
        QTRY_COMPARE_WITH_TIMEOUT(plot->xAxis->range().lower, lo, 2000);
        QCOMPARE(plot->xAxis->range().upper, hi);
    }

    // Each zoom or pan says so once, however many frames its animation takes; a new flight
    // does not.
    void viewChangesAreSignalledOnceEach() {
        ThreeAxes();
        QCustomPlot* plot = chart->Plot();
        QSignalSpy changes(chart, &ChartWidget::ViewChanged);
        const QRect r = plot->axisRect()->rect();
        const double lo = plot->xAxis->pixelToCoord(r.left() + 100);
        chart->ZoomTo(QRect(r.left() + 100, r.top() + 20, 200, 100));
        QTRY_COMPARE_WITH_TIMEOUT(plot->xAxis->range().lower, lo, 2000);
        QCOMPARE(changes.count(), 1);
        plot->setFocus();
        QTest::keyClick(plot, Qt::Key_Left);
        const QPoint at = r.center();
        QWheelEvent wheel(at, plot->mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(plot, &wheel);
        chart->ResetZoom(false);
        QCOMPARE(changes.count(), 4);
        ThreeAxes();
        QCOMPARE(changes.count(), 4);
    }

    void dragZoomsAndDoubleClickRestores() {
        ThreeAxes();
        QCustomPlot* plot = chart->Plot();
        const QCPRange whole = plot->xAxis->range();
        const QRect r = plot->axisRect()->rect();
        const QPoint a = r.center() - QPoint(100, 60), b = r.center() + QPoint(100, 60);
        QTest::mousePress(plot, Qt::LeftButton, {}, a);
        QMouseEvent move(QEvent::MouseMove, b, plot->mapToGlobal(b), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(plot, &move);
        QTest::mouseRelease(plot, Qt::LeftButton, {}, b);
        QVERIFY(chart->IsZoomed());
        QTRY_VERIFY_WITH_TIMEOUT(plot->xAxis->range().size() < whole.size() / 2, 2000);
        QTest::mouseDClick(plot, Qt::LeftButton, {}, r.center());
        QVERIFY(!chart->IsZoomed());
        QTRY_COMPARE_WITH_TIMEOUT(plot->xAxis->range(), whole, 2000);
    }

    // A wheel notch halves the time shown around the time under the cursor; the value
    // axes stay; the other way back out to the whole flight, and no further.
    void wheelZoomsTimeAroundTheCursor() {
        ThreeAxes();
        QCustomPlot* plot = chart->Plot();
        const QCPRange whole = plot->xAxis->range();
        const QList<QCPAxis*> left = plot->axisRect()->axes(QCPAxis::atLeft);
        QList<QCPRange> values;
        for (QCPAxis* a : left) values << a->range();
        const QRect r = plot->axisRect()->rect();
        const QPoint at(r.left() + r.width() / 4, r.center().y());
        const double key = plot->xAxis->pixelToCoord(at.x());
        const auto wheel = [&](int delta) {
            QWheelEvent e(at, plot->mapToGlobal(at), {}, QPoint(0, delta), Qt::NoButton, {}, Qt::NoScrollPhase, false);
            QApplication::sendEvent(plot, &e);
        };
        wheel(120);
        QVERIFY(chart->IsZoomed());
        QVERIFY(Near(plot->xAxis->range().size(), whole.size() / 2));
        QVERIFY(Near(plot->xAxis->pixelToCoord(at.x()), key));
        for (int i = 0; i < left.size(); ++i) QCOMPARE(left[i]->range(), values[i]);
        wheel(-240);
        QCOMPARE(plot->xAxis->range(), whole);
        QVERIFY(!chart->IsZoomed());
    }

    // Middle-button or Ctrl drags, and the keys, move along time inside the flight.
    void panAndKeysMoveAlongTime() {
        ThreeAxes();
        QCustomPlot* plot = chart->Plot();
        const QCPRange whole = plot->xAxis->range();
        const QCPRange y = plot->yAxis->range();
        const QRect r = plot->axisRect()->rect();
        plot->setFocus();
        QTest::keyClick(plot, Qt::Key_Plus);  // the middle half
        const QCPRange half = plot->xAxis->range();
        QVERIFY(Near(half.size(), whole.size() / 2));
        QVERIFY(Near(half.center(), whole.center()));
        const auto drag = [&](Qt::MouseButton button, Qt::KeyboardModifiers keys, int dx) {
            const QPoint a = r.center(), b = a + QPoint(dx, 30);
            QTest::mousePress(plot, button, keys, a);
            QMouseEvent move(QEvent::MouseMove, b, plot->mapToGlobal(b), Qt::NoButton, button, keys);
            QApplication::sendEvent(plot, &move);
            QTest::mouseRelease(plot, button, keys, b);
        };
        const double perPixel = half.size() / r.width();
        drag(Qt::MiddleButton, {}, 100);  // the view follows the hand: earlier times come in
        QVERIFY(Near(plot->xAxis->range().lower, half.lower - 100 * perPixel));
        drag(Qt::LeftButton, Qt::ControlModifier, -100);
        QVERIFY(Near(plot->xAxis->range().lower, half.lower));
        QCOMPARE(plot->yAxis->range(), y);  // no zoom rectangle
        drag(Qt::MiddleButton, {}, 5 * r.width());  // stops at the flight's start
        QCOMPARE(plot->xAxis->range().lower, whole.lower);
        QTest::keyClick(plot, Qt::Key_Right);
        QVERIFY(Near(plot->xAxis->range().lower, whole.lower + half.size() / 10));
        QTest::keyClick(plot, Qt::Key_Minus);
        QCOMPARE(plot->xAxis->range(), whole);
        QTest::keyClick(plot, Qt::Key_Plus);
        QTest::keyClick(plot, Qt::Key_Home);
        QTRY_COMPARE_WITH_TIMEOUT(plot->xAxis->range(), whole, 2000);
        QVERIFY(!chart->IsZoomed());
    }

    // The deepest zoom still shows time labels that differ: whole seconds, a second or more apart.
    void deepZoomKeepsTheTimeLabelsApart() {
        ThreeAxes();
        QCustomPlot* plot = chart->Plot();
        plot->setFocus();
        for (int i = 0; i < 20; ++i) QTest::keyClick(plot, Qt::Key_Plus);
        plot->replot();
        QVERIFY(plot->xAxis->range().size() > 10 - 1e-6);
        const QVector<QString> labels = plot->xAxis->tickVectorLabels();
        QVERIFY(labels.size() >= 2);
        QCOMPARE(QSet<QString>(labels.begin(), labels.end()).size(), labels.size());
    }

    void clickingALineShowsItsAxisGrid() {
        // Two flat lines on different axes at known heights.
        Replay(model, {{1, 0, "PALT"}, {2, 5, "RPM_1"}, {3, 0, "GPSALT"}}, 100,
               [](int k, int i) { return k * 10.0 + (i % 2) * 0.0; });
        QCustomPlot* plot = chart->Plot();
        plot->replot();
        auto pointOf = [&](int slot) {
            QCPGraph* g = plot->graph(slot);
            const double key = plot->xAxis->range().center();
            return QPoint(int(plot->xAxis->coordToPixel(key)), int(g->valueAxis()->coordToPixel(g->data()->at(0)->value)));
        };
        QTest::mouseClick(plot, Qt::LeftButton, {}, pointOf(1));
        QVERIFY(model.Axis(5).gridVisible);
        QVERIFY(!model.Axis(0).gridVisible);
        QVERIFY(plot->axisRect()->axes(QCPAxis::atLeft)[5]->grid()->visible());
        QTest::mouseClick(plot, Qt::LeftButton, {}, pointOf(2));
        QVERIFY(model.Axis(0).gridVisible);
        QVERIFY(!model.Axis(5).gridVisible);
    }

    void legendCheckBoxHidesAndShowsTheSeries() {
        ThreeAxes();
        QCustomPlot* plot = chart->Plot();
        QCOMPARE(plot->legend->itemCount(), 4);
        auto* item = plot->legend->item(1);
        QVERIFY(plot->graph(1)->visible());
        QTest::mouseClick(plot, Qt::LeftButton, {}, item->rect().center());
        QVERIFY(!plot->graph(1)->visible());
        QTest::mouseClick(plot, Qt::LeftButton, {}, item->rect().center());
        QVERIFY(plot->graph(1)->visible());
        model.ResetChart();
        QCOMPARE(plot->legend->itemCount(), 0);
    }

    void aSinglePeakAmongManyPointsIsDrawn() {
        // 200,000 points at zero with one spike: the spike must reach the top of the plot.
        const int spike = 123457;
        Replay(model, {{1, 0, "PALT"}}, 200000, [](int, int i) { return i == spike ? 1000.0 : 0.0; });
        QCustomPlot* plot = chart->Plot();
        plot->replot();
        QVERIFY(plot->graph(0)->data()->size() < 5000);
        const QImage img = chart->Grab(QSize(800, 500));
        const QRect r = plot->axisRect()->rect();
        const int x = int(plot->xAxis->coordToPixel(DaysToKey(kStart + spike * kSecond)));
        const int top = int(plot->yAxis->coordToPixel(1000.0));
        const auto reddish = [](QRgb c) { return qRed(c) > 150 && qGreen(c) < 120 && qBlue(c) < 120; };
        int hits = 0;
        for (int dx = -2; dx <= 2; ++dx)
            for (int dy = -2; dy <= 2; ++dy) hits += reddish(img.pixel(x + dx, top + dy));
        QVERIFY2(hits > 0, "peak lost");
        QVERIFY(r.contains(x, top));
    }

    void chartDestroyedBeforeTheModelIsNoLongerCalled() {
        ThreeAxes();
        QCOMPARE(model.Observer(), static_cast<ChartObserver*>(chart));
        delete chart;
        chart = nullptr;
        QCOMPARE(model.Observer(), nullptr);
        ThreeAxes();  // would call the destroyed chart
        ShowChart(QSize(800, 500));
    }

    void samplesOutOfTimeOrderAreDrawnSorted() {
        model.ResetChart();
        model.ClaimSeriesSlot(1);
        model.ShowValueAxis(0);
        model.SetupNewSlot(0, 0, "PALT");
        for (double t : {3.0, 1.0, 2.0, 5.0, 4.0}) model.AddSample(0, kStart + t * kSecond, t * 10);
        model.DrawAxisLabels();
        QCustomPlot* plot = chart->Plot();
        plot->replot();
        QCOMPARE(plot->xAxis->range().lower, DaysToKey(kStart + 1 * kSecond));
        QCOMPARE(plot->xAxis->range().upper, DaysToKey(kStart + 5 * kSecond));
        const auto data = plot->graph(0)->data();
        for (int i = 1; i < data->size(); ++i) QVERIFY(data->at(i - 1)->key <= data->at(i)->key);
    }
};

// The chart's pieces on their own: the reduction per pixel column, the print area, the
// readout's value texts.
class PiecesTest : public QObject {
    Q_OBJECT
private slots:
    void keepsEveryColumnsExtremes_data() {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("columns");
        QTest::addColumn<double>("lo");
        QTest::addColumn<double>("hi");
        QTest::newRow("dense") << 200000 << 800 << 0.0 << 200000.0;
        QTest::newRow("zoomed") << 200000 << 800 << 50000.0 << 51000.0;
        QTest::newRow("sparse") << 1000 << 800 << 0.0 << 1000.0;
        QTest::newRow("one column") << 5000 << 1 << 0.0 << 5000.0;
        QTest::newRow("beyond the data") << 5000 << 100 << -100.0 << 9000.0;
    }
    void keepsEveryColumnsExtremes() {
        QFETCH(int, points);
        QFETCH(int, columns);
        QFETCH(double, lo);
        QFETCH(double, hi);
        std::mt19937 rng(7);
        std::normal_distribution<double> noise(0, 1);
        std::vector<double> xs(points), ys(points);
        for (int i = 0; i < points; ++i) {
            xs[i] = i;
            ys[i] = noise(rng);
        }
        std::vector<double> ox, oy;
        DecimateColumns(xs.data(), ys.data(), xs.size(), lo, hi, columns, [&](double x, double y) {
            ox.push_back(x);
            oy.push_back(y);
        });
        QVERIFY(ox.size() <= 4 * size_t(columns) + 8);
        QVERIFY(std::is_sorted(ox.begin(), ox.end()));
        // Every column's lowest and highest point of the input is in the output.
        const double w = (hi - lo) / columns;
        for (int c = 0; c < columns; ++c) {
            double mn = INFINITY, mx = -INFINITY, omn = INFINITY, omx = -INFINITY;
            for (int i = 0; i < points; ++i)
                if (xs[i] >= lo + c * w && xs[i] < lo + (c + 1) * w) mn = std::min(mn, ys[i]), mx = std::max(mx, ys[i]);
            for (size_t i = 0; i < ox.size(); ++i)
                if (ox[i] >= lo + c * w && ox[i] < lo + (c + 1) * w) omn = std::min(omn, oy[i]), omx = std::max(omx, oy[i]);
            QCOMPARE(omn, mn);
            QCOMPARE(omx, mx);
        }
        // The line runs on to the neighbours just outside the span.
        const double first = std::max(0.0, std::ceil(lo) - 1), last = std::min(points - 1.0, std::floor(hi) + 1);
        QCOMPARE(ox.front(), first);
        QCOMPARE(ox.back(), last);
    }
    void printMarginsAreShares_data() {
        QTest::addColumn<QRectF>("page");
        QTest::addColumn<QRectF>("area");
        QTest::newRow("portrait") << QRectF(0, 0, 1000, 2000) << QRectF(150, 540, 700, 920);
        QTest::newRow("landscape") << QRectF(0, 0, 3508, 2480) << QRectF(526.2, 669.6, 2455.6, 1140.8);
    }
    void printMarginsAreShares() {
        QFETCH(QRectF, page);
        QFETCH(QRectF, area);
        QCOMPARE(PrintArea(page), area);
    }
    // The readout's value texts: the CSV column's rounding (a pressure's is its unit's), the
    // unit of the choice made, "(raw)" where there is none.
    void readoutValueTexts_data() {
        QTest::addColumn<int>("checkBox");
        QTest::addColumn<QString>("title");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("unitField");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("text");
        QTest::newRow("feet") << 1 << "PALT" << 1000.0 << "" << 0 << "1000 ft";
        QTest::newRow("metres") << 1 << "PALT" << 305.0 << "Altitude" << 1 << "305 m";
        QTest::newRow("knots") << 35 << "GS" << 54.0 << "Speed" << 2 << "54 kt";
        QTest::newRow("distance in km") << 118 << "WPDist" << 12.34 << "Speed" << 1 << "12.3 km";
        QTest::newRow("feet per minute") << 6 << "VSI" << -500.0 << "" << 0 << "-500 ft/min";
        QTest::newRow("metres per second") << 6 << "VSI" << -2.54 << "VSI" << 1 << "-2.54 m/s";
        QTest::newRow("Baro in mbar") << 7 << "Baro" << 929.7 << "" << 0 << "929.7 mbar";
        QTest::newRow("Baro in inHg") << 7 << "Baro" << 27.4569808 << "Baro" << 1 << "27.46 inHg";
        QTest::newRow("Baro raw") << 7 << "Baro" << 9297.0 << "Baro" << 5 << "9297 0.1 mbar";
        QTest::newRow("QNH in mbar") << 8 << "QNH" << 1013.2 << "" << 0 << "1013.2 mbar";
        QTest::newRow("QNH in inHg") << 8 << "QNH" << 29.9197857 << "Baro" << 1 << "29.92 inHg";
        QTest::newRow("bar") << 12 << "OILP_1" << 2.54999 << "" << 0 << "2.55 bar";
        QTest::newRow("Fahrenheit") << 9 << "OAT" << 98.0 << "Temp" << 1 << "98 °F";
        QTest::newRow("psi") << 12 << "OILP_1" << 36.259425 << "OilP" << 1 << "36.3 psi";
        QTest::newRow("fuel flow") << 18 << "FF_1" << 1250.0 << "" << 0 << "12.50 l/h";
        QTest::newRow("fuel in gallons") << 53 << "Fuel_1" << 3.30215 << "LiqQ" << 1 << "3.3 gal";
        QTest::newRow("track") << 36 << "Track" << 123.45 << "" << 0 << "123.5 °";
        QTest::newRow("rate") << 50 << "Bankrate" << 151.0 << "" << 0 << "151.00 °/s";
        QTest::newRow("g") << 47 << "G_UD" << 1.006 << "" << 0 << "1.01 g";
        QTest::newRow("angle of attack") << 5 << "AOA" << 123.4 << "" << 0 << "1.2E2 (raw)";
        QTest::newRow("a state") << 95 << "HSI_Valid" << 1.0 << "" << 0 << "1 (raw)";
        QTest::newRow("EGT") << 20 << "EGT1_1" << 650.0 << "" << 0 << "650.0 °C";
    }
    void readoutValueTexts() {
        QFETCH(int, checkBox);
        QFETCH(QString, title);
        QFETCH(double, value);
        QFETCH(QString, unitField);
        QFETCH(int, choice);
        QFETCH(QString, text);
        ChartModel m;
        m.ResetChart();
        QVERIFY(m.ClaimSeriesSlot(checkBox));
        m.SetupNewSlot(0, 0, title.toStdString());
        const DataItem* item = SlotItem(m, 0);
        QVERIFY(item);
        UnitSettings units;
        const std::map<QString, int16_t UnitSettings::*> fields = {
            {"Altitude", &UnitSettings::Altitude}, {"Speed", &UnitSettings::Speed}, {"VSI", &UnitSettings::VSI},
            {"Baro", &UnitSettings::Baro}, {"Temp", &UnitSettings::Temp}, {"OilP", &UnitSettings::OilP},
            {"LiqQ", &UnitSettings::LiqQ}};
        if (!unitField.isEmpty()) units.*fields.at(unitField) = int16_t(choice);
        QCOMPARE(QString::fromStdString(ReadoutValue(*item, value, units, '.')), text);
    }

    void emptyAndSinglePointSeries() {
        int calls = 0;
        DecimateColumns(nullptr, nullptr, 0, 0, 1, 10, [&](double, double) { ++calls; });
        QCOMPARE(calls, 0);
        const double x = 5, y = 7;
        DecimateColumns(&x, &y, 1, 0, 1, 10, [&](double ox, double oy) { QCOMPARE(ox, x); QCOMPARE(oy, y); ++calls; });
        QCOMPARE(calls, 1);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int status = 0;
    {
        ChartTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        PiecesTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}

#include "chart_test.moc"
