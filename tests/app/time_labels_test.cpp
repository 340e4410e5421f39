// Times as a pilot reads them: labels on every time axis stand apart, the Trends tab fills
// its room from the first look, and long durations read in hours.
#include <QtTest>
#include <QTabWidget>
#include <qcustomplot.h>

#include "chart/duration_text.h"
#include "app/exceedances_pane.h"
#include "app/logbook_window.h"
#include "app/trends_view.h"
#include "app_test_support.h"
#include "chart/chart_plot.h"
#include "chart/chart_widget.h"
#include "chart/time_ticks.h"

using namespace krelby;
using namespace krelby::testing;

namespace {

constexpr double kStart = 45457.4;  // 14 June 2024 at 09:36, in days
constexpr double kSecond = 1.0 / 86400.0;

// Three series on two axes over `seconds`, as a replay adds them.
void Fill(ChartModel& m, double seconds) {
    m.ResetChart();
    const int points = 600;
    for (int i = 0; i < points; ++i) {
        for (int k = 0; k < 3; ++k) {
            const int box = k + 1;
            if (!m.ClaimSeriesSlot(box)) continue;
            const int slot = m.SlotNumber(box);
            if (m.NewSlotFlag()) {
                m.ShowValueAxis(k == 2 ? 5 : 0);
                m.SetupNewSlot(slot, k == 2 ? 5 : 0, k == 0 ? "PALT" : k == 1 ? "GPSALT" : "RPM_1");
            }
            m.AddSample(slot, kStart + seconds * kSecond * i / (points - 1), 1000 * k + i);
        }
    }
    m.DrawAxisLabels();
}

}  // namespace

class TimeLabelsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void init() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path() + "/config"); }

    // From ten seconds to ten hours, narrow to wide, single chart and strips: no two time
    // labels run into each other, and there are labels to read.
    void chartTimeLabelsNeverRunTogether() {
        ChartModel model;
        ChartWidget chart(model);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        QCustomPlot* plot = chart.Plot();
        for (const double seconds : {10.0, 47.0, 130.0, 1000.0, 3700.0, 36000.0}) {
            Fill(model, seconds);
            for (const int width : {420, 560, 780, 1000, 1280}) {
                chart.resize(width, 500);
                for (const bool strips : {false, true}) {
                    chart.SetStrips(strips);
                    QApplication::processEvents();
                    plot->replot();
                    const QList<QCPAxisRect*> rects = plot->axisRects();
                    QCPAxis* time = strips ? rects.last()->axis(QCPAxis::atBottom) : plot->xAxis;
                    const QString where = QString("%1 s at %2 px%3").arg(seconds).arg(width).arg(strips ? " in strips" : "");
                    QVERIFY2(TickLabelsApart(*time), qPrintable(where));
                    QVERIFY2(time->tickVector().size() >= 2, qPrintable(where));
                }
            }
        }
    }

    // The Logbook's Trends tab looked at first, before anything is ticked, and then with a
    // figure: the plot takes the tab's width, its dates apart, over a week to years.
    void trendsFillTheTabAndKeepTheirDatesApart() {
        QDir().mkpath(dir.path() + "/Flights_INT");
        const struct {
            int month, day;
        } starts[] = {{1, 5}, {1, 6}, {1, 12}, {2, 3}, {3, 9}, {6, 1}, {11, 30}};
        int n = 0;
        for (const auto& s : starts) {
            std::vector<Frame> frames;
            for (int second = 0; second < 10; ++second)
                frames.push_back(FlightAt(1, second).Date(uint8_t(s.day), uint8_t(s.month), 24).PAltitude(1000 + 100 * n).Sealed());
            WriteFrames(dir.path() + QString("/Flights_INT/f%1.FLT").arg(n++), frames);
        }
        Run run(dir.path());
        run.window().LogbookCommand();
        LogbookWindow* logbook = run.window().Logbook();
        QTRY_VERIFY(!logbook->Busy() && logbook->Table()->model()->rowCount() == n);
        logbook->Tabs()->setCurrentWidget(logbook->Trends());
        TrendsView* trends = logbook->Trends();
        QCustomPlot* plot = trends->Plot();
        QTRY_VERIFY(plot->axisRect()->width() > plot->width() - 120);
        trends->Tick(LogbookModel::kFirstFigure + 7, true);  // the highest pressure altitude
        for (const QString& filter : {QString("/1/24"), QString(""), QString("5/1/24")}) {
            for (const int width : {600, 800, 1200}) {
                logbook->resize(width, 500);
                logbook->Filter()->setText(filter);
                trends->Rebuild();
                QApplication::processEvents();
                plot->replot();
                const QString where = QString("'%1' at %2 px").arg(filter).arg(width);
                QVERIFY2(plot->axisRect()->width() > plot->width() - 160, qPrintable(where));
                QVERIFY2(TickLabelsApart(*plot->xAxis), qPrintable(where));
            }
        }
    }

    void durationsOverAnHourReadInHours_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("seconds") << 59 << "59 s";
        QTest::newRow("a minute") << 60 << "1 min 0 s";
        QTest::newRow("just under an hour") << 3599 << "59 min 59 s";
        QTest::newRow("an hour") << 3600 << "1 h 0 min 0 s";
        QTest::newRow("ten hours but three seconds") << 35997 << "9 h 59 min 57 s";
    }
    void durationsOverAnHourReadInHours() {
        QFETCH(int, seconds);
        QFETCH(QString, text);
        QCOMPARE(DurationText(seconds), text);
        Exceedance e;
        e.limit = LimitKey::OilTempMax;
        e.item = "OILT_1";
        e.limitValue = 110;
        e.peak = 112;
        e.start = 1718357400;  // 09:30:00
        e.end = e.start + seconds;
        QVERIFY(ExceedanceText(e, UnitSettings(), Regional()).contains(" for " + text + ", peak"));
    }
};

QTEST_MAIN(TimeLabelsTest)
#include "time_labels_test.moc"
