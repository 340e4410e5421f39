// A long flight of sixteen items: every strip draws what the single chart draws, column for
// column; the single chart keeps its plot and legend in sight; the strips' print and picture
// keep their names whole and their legends narrow.
#include <QtTest>
#include <qcustomplot.h>

#include <fstream>
#include <map>
#include <set>

#include "chart/chart_plot.h"
#include "chart/chart_widget.h"
#include "gen/generator.h"
#include "replay/replay.h"

using namespace krelby;

namespace {

// The chart at the window's first size (780x612) and maximised on a 1280x1024 screen.
const QSize kFirstStart(780, 545), kMaximised(1280, 957);

std::vector<CheckLegendItem*> LegendItems(QCustomPlot* plot) {
    std::vector<CheckLegendItem*> out;
    for (QCPLayoutElement* e : plot->plotLayout()->elements(true))
        if (auto* item = dynamic_cast<CheckLegendItem*>(e)) out.push_back(item);
    return out;
}

// Unticks every other series in its legend, as the pilot would.
SlotGraph* ShowOnly(QCustomPlot* plot, int slot) {
    SlotGraph* shown = nullptr;
    for (CheckLegendItem* item : LegendItems(plot)) {
        const bool want = item->Graph()->Slot() == slot;
        if (want) shown = item->Graph();
        if (item->Graph()->Checked() != want) emit plot->legendClick(item->parentLegend(), item, nullptr);
    }
    return shown;
}

// The pixel columns of the series' plot area holding a pixel of its colour.
std::set<int> InkedColumns(const QImage& image, const SlotGraph& g) {
    const QRect r = g.keyAxis()->axisRect()->rect();
    const QRgb colour = g.pen().color().rgb();
    std::set<int> columns;
    for (int x = r.left(); x <= r.right(); ++x)
        for (int y = r.top(); y <= r.bottom(); ++y)
            if (image.pixel(x, y) == colour) {
                columns.insert(x);
                break;
            }
    return columns;
}

// Every column from the series' first point to its last, within the plot area.
std::set<int> SpannedColumns(const SlotGraph& g) {
    const QRect r = g.keyAxis()->axisRect()->rect();
    const int first = int(std::floor(g.keyAxis()->coordToPixel(DaysToKey(g.MinX()))));
    const int last = int(std::floor(g.keyAxis()->coordToPixel(DaysToKey(g.MaxX()))));
    std::set<int> columns;
    for (int x = std::max(first, r.left()); x <= std::min(last, r.right()); ++x) columns.insert(x);
    return columns;
}

// Drawn last with the chart, in whatever layout it is drawn (screen, picture, page): notes
// each strip's name as it stands and the widest legend.
class Probe : public QCPLayerable {
public:
    explicit Probe(QCustomPlot* plot) : QCPLayerable(plot) { setLayer(QLatin1String("overlay")); }
    QStringList names, cut;  // names shown whole; names cut or missing
    int widestLegend = 0, chartWidth = 0;

protected:
    void applyDefaultAntialiasingHint(QCPPainter*) const override {}
    void draw(QCPPainter*) override {
        names.clear();
        cut.clear();
        widestLegend = 0;
        chartWidth = mParentPlot->viewport().width();
        std::map<QCPAxisRect*, QCPItemText*> titles;
        for (int i = 0; i < mParentPlot->itemCount(); ++i)
            if (auto* t = qobject_cast<QCPItemText*>(mParentPlot->item(i)); t && t->visible())
                titles[t->clipAxisRect()] = t;
        for (QCPAxisRect* rect : mParentPlot->axisRects()) {
            if (!rect->visible() || rect->height() < 5) continue;  // the row of time labels
            QCPAxis* value = rect->axis(QCPAxis::atLeft);
            const QString label = value->label();
            if (!label.isEmpty()) {
                // Along the strip: whole, and no longer than the strip is high.
                const bool fits = !label.contains(QChar(0x2026)) &&
                                  QFontMetrics(value->labelFont()).horizontalAdvance(label) <= rect->height();
                (fits ? names : cut) << label;
            } else if (QCPItemText* t = titles[rect]) {
                const bool fits = QFontMetrics(t->font()).horizontalAdvance(t->text()) + 6 <= rect->width();
                (fits ? names : cut) << t->text();
            } else {
                cut << "(none)";
            }
        }
        for (QCPLayoutElement* e : mParentPlot->plotLayout()->elements(true))
            if (auto* legend = qobject_cast<QCPLegend*>(e); legend && legend->visible())
                widestLegend = std::max(widestLegend, legend->outerRect().width());
    }
};

}  // namespace

class StripsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::string longFlight;

private slots:
    // Ten hours on four engine monitors, written as the import writes one flight.
    void initTestCase() {
        gen::RecordingOptions o;
        o.seed = 25;
        o.flights = 1;
        o.secondsPerFlight = 10 * 3600;
        o.engineMonitors = 4;
        const std::vector<uint8_t> stream = gen::FrameStream(o);
        longFlight = (dir.path() + "/14-6-24 093029.FLT").toStdString();
        std::ofstream(longFlight, std::ios::binary)
            .write(reinterpret_cast<const char*>(stream.data()), std::streamsize(stream.size()));
    }

    // Steady values among thousands of points a strip once drew as scattered dots: each
    // series, alone in its legend, inks every pixel column from its first point to its
    // last, in every strip and in the single chart, at both sizes, in every unit.
    void everyStripDrawsEveryColumnAsTheSingleChartDoes() {
        Settings settings;
        for (int item : {1, 3, 35, 6, 9, 11, 122, 145, 168, 12, 123, 146, 169, 15, 18, 19})
            settings.selection.Set(item, true);
        const ChecksumOptions checks;
        ChartModel model;
        ChartWidget chart(model);
        chart.resize(kFirstStart);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        QCustomPlot* plot = chart.Plot();
        plot->layer("axes")->setVisible(false);  // the ticks stand over the lines
        // Choice 2 exists for speeds only; 3 is no choice (the recorded unit) for all.
        for (int16_t choice = 0; choice <= 3; ++choice) {
            UnitSettings& u = settings.units;
            u.Altitude = u.VSI = u.Speed = u.Temp = u.OilP = u.MAP = u.FuelP = u.LiqQ = u.Baro = choice;
            ChartReplay(model, longFlight, {settings, checks});
            for (const QSize size : {kFirstStart, kMaximised}) {
                chart.resize(size);
                for (const bool strips : {true, false}) {
                    chart.SetStrips(strips);
                    QApplication::processEvents();
                    for (int slot = 0; slot < kSlotCount; ++slot) {
                        SlotGraph* g = ShowOnly(plot, slot);
                        QVERIFY(g);
                        const QImage image = chart.Grab(plot->size());
                        const std::set<int> spanned = SpannedColumns(*g);
                        QVERIFY(spanned.size() > 150);
                        QVERIFY2(InkedColumns(image, *g) == spanned,
                                 qPrintable(QString("%1 units %2 %3x%4 %5").arg(g->name()).arg(choice)
                                                .arg(size.width()).arg(size.height()).arg(strips ? "strips" : "single")));
                    }
                }
            }
        }
    }

    // Sixteen items on eleven axes in the single chart at the first size: the chart scrolls
    // sideways, showing its plot and the whole legend.
    void theSingleChartThatScrollsShowsItsPlotAndLegend() {
        Settings settings;
        for (int item : {1, 3, 35, 6, 9, 5, 11, 12, 13, 15, 14, 18, 19, 20, 21, 22}) settings.selection.Set(item, true);
        const ChecksumOptions checks;
        ChartModel model;
        ChartWidget chart(model);
        chart.resize(kFirstStart);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        ChartReplay(model, longFlight, {settings, checks});
        QCustomPlot* plot = chart.Plot();
        QTRY_VERIFY(plot->width() > chart.width());
        const auto inSight = [plot] {
            plot->replot();
            const QRect seen = plot->visibleRegion().boundingRect();
            return seen.contains(plot->axisRect()->rect()) && seen.contains(plot->legend->outerRect());
        };
        QTRY_VERIFY(inSight());
    }

    // Sixteen items on eleven axes in the strip view, printed on A4 and as the JPEG of the
    // chart at the first size (with and without the Exceedances pane under it): every strip's
    // name whole, each legend within a fifth of the width.
    void printAndPictureKeepNamesWholeAndLegendsNarrow() {
        Settings settings;
        for (int item : {1, 3, 35, 6, 9, 5, 11, 12, 13, 15, 14, 18, 19, 20, 21, 22}) settings.selection.Set(item, true);
        const ChecksumOptions checks;
        ChartModel model;
        ChartWidget chart(model);
        chart.resize(kFirstStart);
        chart.SetStrips(true);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        ChartReplay(model, longFlight, {settings, checks});
        auto* probe = new Probe(chart.Plot());
        const auto check = [&](const QString& what) {
            QVERIFY2(probe->cut.isEmpty(), qPrintable(what + ": " + probe->cut.join(", ")));
            QCOMPARE(probe->names.size(), 11);
            QVERIFY2(probe->widestLegend * 5 <= probe->chartWidth,
                     qPrintable(QString("%1: %2 of %3").arg(what).arg(probe->widestLegend).arg(probe->chartWidth)));
        };
        QImage page(3508 / 3, 2480 / 3, QImage::Format_RGB32);  // A4 landscape
        page.fill(Qt::white);
        chart.PrintPage(page);
        check("page");
        QVERIFY(probe->names.contains("Number 0.01 l/h"));  // fuel flow is charted in hundredths
        for (const QSize size : {QSize(780, 479), kFirstStart}) {
            if (QTest::currentTestFailed()) return;
            chart.Grab(size);
            check(QString("picture %1x%2").arg(size.width()).arg(size.height()));
        }
    }
};

QTEST_MAIN(StripsTest)
#include "strips_test.moc"
