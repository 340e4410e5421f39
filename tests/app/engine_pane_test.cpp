// The Engine pane: what each tab holds for the sample's first flight and for a generated one
// with a sweep on two monitors, a sweep chosen zooming the chart, the pane hidden for a flight
// without engine data; and the warning of kinds that do not fit the flight, in both windows,
// gone once the Options dialog's guess is kept.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <qcustomplot.h>

#include <cmath>

#include "app/cylinders_table.h"
#include "app/engine_pane.h"
#include "app/exceedances_pane.h"
#include "app/lean_test_chart.h"
#include "app/lean_test_tab.h"
#include "app/logbook_window.h"
#include "app/options_dialog.h"
#include "app/takeoff_cruise_table.h"
#include "app_test_support.h"
#include "chart/chart_plot.h"
#include "chart/chart_widget.h"
#include "chart/engine_rows.h"
#include "chart/engine_text.h"
#include "gen/generator.h"
#include "logbook/engine_figures.h"

using namespace krelby;
using namespace krelby::testing;

class EnginePaneTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.path() + "/" + name; }

    // Inputs 1-4 EGT, 5-8 CHT, 9-12 Other on every monitor.
    static void EngineKinds(Settings& s) {
        for (size_t k = 0; k < s.thermocouples.size(); ++k) s.thermocouples[k] = uint8_t(k % 12 / 4);
    }
    static QStringList RowHeadings(const QTableWidget* table) {
        QStringList out;
        for (int r = 0; r < table->rowCount(); ++r) out << table->verticalHeaderItem(r)->text();
        return out;
    }
    void ShowSample(Run& run, const QString& flight = "Flights_INT/5-3-14 094117.FLT") {
        run.window().show();
        run.prompter.answers.enqueue(KRELBY_SOURCE_DIR "/samples/ZelvoBB.DAT");
        run.window().ImportInternal();
        run.window().ShowFlight(Path(flight));
        run.window().Search()->Wait();
    }

private slots:
    void init() {
        QVERIFY(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Path("config"));
    }
    void cleanup() { dir.remove(); dir = QTemporaryDir(); }

    // The sample's first flight: its CHT runs over 180 °C, each monitor's inputs with the
    // hottest of each row marked, takeoff rows for both monitors (it has no cruise), no sweep.
    void tabsHoldTheFlightsFindings() {
        Run run(dir.path());
        EngineKinds(run.session().settings);
        run.session().settings.limits.Set(LimitKey::ChtMax, 180);
        ShowSample(run);
        EnginePane* pane = run.window().Engine();
        QVERIFY(pane->isVisible());
        QCOMPARE(pane->Tabs()->tabText(EnginePane::kExceedancesTab), QString("Exceedances (5)"));
        QCOMPARE(pane->Exceedances()->Tree()->topLevelItemCount(), 5);
        const QTableWidget* cylinders = pane->Cylinders();
        const QStringList perMonitor = {"EGT max (°C)", "CHT max (°C)", "CHT cooling (°C/min)"};
        QStringList expected;
        for (const char* m : {"Monitor 1 ", "Monitor 2 "})
            for (const QString& row : perMonitor) expected << m + row;
        QCOMPARE(RowHeadings(cylinders), expected);
        QCOMPARE(cylinders->columnCount(), 8);  // TC1 to TC8: 9 to 12 are Other
        for (int r = 0; r < cylinders->rowCount(); ++r) {
            int marked = 0;
            double hottest = -1e9, markedValue = 0;
            for (int c = 0; c < cylinders->columnCount(); ++c) {
                const QTableWidgetItem* item = cylinders->item(r, c);
                if (!item) continue;
                hottest = std::max(hottest, item->text().toDouble());
                if (item->data(CylindersTable::kMarkedRole).toBool()) ++marked, markedValue = item->text().toDouble();
            }
            QCOMPARE(marked, 1);
            QCOMPARE(markedValue, hottest);
        }
        const QTableWidget* figures = pane->TakeoffCruise()->Table();
        QCOMPARE(RowHeadings(figures), QStringList({"Takeoff 1, greatest", "Takeoff 2, greatest"}));  // no cruise
        QVERIFY(pane->TakeoffCruise()->Summary()->text().startsWith("Takeoff at 09:"));
        QVERIFY(pane->TakeoffCruise()->Summary()->text().contains(". No cruise: "));
        QCOMPARE(pane->LeanTest()->List()->count(), 1);
        QVERIFY(pane->LeanTest()->List()->item(0)->text().startsWith("No mixture sweep in this flight"));
        QCOMPARE(pane->LeanTest()->List()->item(0)->flags(), Qt::NoItemFlags);
    }

    // A sweep on each of two monitors: a line each with its spread, the chart of the one chosen
    // with that spread written on it, and the flight's chart zoomed to it when it is clicked.
    void leanTestChartsEachSweepAndZoomsToIt() {
        gen::RecordingOptions o;
        o.flights = 1;
        o.secondsPerFlight = 1800;
        o.engineMonitors = 2;
        o.sweepMonitors = 2;
        o.egtNoise = 3;
        QDir().mkpath(Path("Flights_INT"));
        const QString flight = Path("Flights_INT/sweep.FLT");
        const std::vector<uint8_t> bytes = gen::FrameStream(o);
        QFile file(flight);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
        file.close();
        Run run(dir.path());
        EngineKinds(run.session().settings);
        run.session().settings.selection.Set(1, true);
        run.window().show();
        run.window().ShowFlight(flight);
        run.window().Search()->Wait();
        const FlightAnalysis truth = AnalyzeFlight(flight.toStdString(), run.session().settings);
        LeanTestTab* lean = run.window().Engine()->LeanTest();
        QCOMPARE(run.window().Engine()->Tabs()->tabText(EnginePane::kLeanTestTab), QString("Lean test (2)"));
        QCOMPARE(lean->List()->count(), 2);
        QCustomPlot* chart = run.window().Chart()->Plot();
        for (int row : {1, 0}) {
            const Sweep& s = truth.analysis.monitors[size_t(row)].sweeps.at(0);
            const QString spread = QString::number(*ShownSpreadLph(s), 'f', 2) + " l/h";
            const QString text = lean->List()->item(row)->text();
            QVERIFY2(text.startsWith(QString("Monitor %1, ").arg(row + 1)) && text.endsWith(": spread " + spread),
                     qPrintable(text));
            QTest::mouseClick(lean->List()->viewport(), Qt::LeftButton, {},
                              lean->List()->visualItemRect(lean->List()->item(row)).center());
            QCOMPARE(lean->Chart()->SpreadText(), "Spread " + spread);
            QCOMPARE(lean->Chart()->Plot()->legend->itemCount(), 4);  // EGT1 to EGT4
            // Seconds through days and back: to a millisecond.
            QTRY_VERIFY_WITH_TIMEOUT(std::abs(chart->xAxis->range().lower - double(s.start - 30)) < 1e-3, 2000);
            QVERIFY(std::abs(chart->xAxis->range().upper - double(s.end + 30)) < 1e-3);
        }
        QVERIFY(lean->Chart()->Plot()->xAxis->rangeReversed());  // leaner to the right
    }

    // A flight without engine messages has nothing to show: the pane is hidden.
    // A figure converted for the pilot reads alike in the pane's text, its table and the
    // logbook: each converts the figure rounded in the recording's unit (57.46 kt is 66.1 mph,
    // 57.5 kt, the logbook's, 66.2).
    void convertedFiguresReadAlikeInEveryView() {
        Analysis a;
        a.takeoff = 1000;
        a.cruise = CruiseStretch{0, 9, 2000, 2400, 4500.4, 57.46};
        CruiseEngine engine;
        engine.ffLph = 20.645;  // 20.65 l/h as the logbook has it
        a.monitors[0].present = true;
        a.monitors[0].cruise = engine;
        FlightSummary summary;
        AddAnalysisFigures(a, summary);
        const UnitSettings units{};  // mph
        const Regional regional{};
        const QString mph = ShownFigure(summary.cruiseIasKt, Quantity::Speed, units, regional);
        QCOMPARE(mph, QString("66.2 mph"));
        QVERIFY2(TakeoffCruiseText(a, units, regional).contains("4500 ft, " + mph),
                 qPrintable(TakeoffCruiseText(a, units, regional)));
        UnitSettings gallons;
        gallons.LiqQ = 1;
        const TextTable table = TakeoffCruiseRows(a, gallons, regional);
        QCOMPARE(table.rows.at(0).cells.at(2).text,
                 ShownNumber(*summary.engines[0].cruiseFfLph, Quantity::FuelFlow, gallons, regional));
    }

    void aFlightWithoutEngineDataHidesThePane() {
        QDir().mkpath(Path("Flights_INT"));
        WriteFrames(Path("Flights_INT/plain.FLT"), OneMinuteFlight());
        Run run(dir.path());
        run.window().show();
        run.window().ShowFlight(Path("Flights_INT/plain.FLT"));
        run.window().Search()->Wait();
        QVERIFY(!run.window().Engine()->isVisible());
        QVERIFY(!run.window().KindWarning()->isVisible());
    }

    // Every input an EGT: the warning above the chart and in the Logbook, until the guess
    // of the Options dialog is kept with OK.
    void kindWarningGoesWithTheGuessKept() {
        Run run(dir.path());
        ShowSample(run);
        const QString warning = "Inputs 5\u201312 of monitor 1 never read above 200 \u00b0C: set their kinds in Options\n"
                                "Inputs 5\u201312 of monitor 2 never read above 200 \u00b0C: set their kinds in Options";
        QCOMPARE(run.window().KindWarning()->text(), warning);
        QVERIFY(run.window().KindWarning()->isVisible());
        run.window().LogbookCommand();
        QCOMPARE(run.window().Logbook()->KindWarning()->text(), warning);
        OptionsDialog* options = run.window().Options();
        QTimer::singleShot(0, options, [options] {
            QVERIFY(options->GuessButton()->isEnabled());
            options->GuessButton()->click();
            QVERIFY(options->GuessNote()->text().endsWith("changed on ZEDA1 and ZEDA2: OK keeps them."));
            options->findChild<QPushButton*>("Button1")->click();
        });
        run.window().OptionsCommand();
        const ThermocoupleKinds& kinds = run.session().settings.thermocouples;
        for (int n : {0, 3, 4, 7, 9, 11}) QCOMPARE(kinds[size_t(12 + n)], uint8_t(n < 4 ? EGT : n < 8 ? CHT : Other));
        run.window().Search()->Wait();
        QVERIFY(!run.window().KindWarning()->isVisible());
        QVERIFY(run.window().Logbook()->KindWarning()->isHidden());
    }
};

QTEST_MAIN(EnginePaneTest)
#include "engine_pane_test.moc"
