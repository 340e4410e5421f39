// What the window shows belongs to the flight shown: the shading of a chosen run, the
// selection after a restart, and the program's end with the Logbook open.
#include <QTreeWidget>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include "app/elided_label.h"
#include "app/engine_pane.h"
#include "app/exceedances_pane.h"
#include "app/logbook_window.h"
#include "app/options_dialog.h"
#include "app_test_support.h"
#include "chart/chart_widget.h"

using namespace krelby;
using namespace krelby::testing;

class FlightShownTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.path() + "/" + name; }

    // The sample imported, CHT6_1 charted with a limit its first flight runs over three times.
    static void ChartChtRuns(Run& run) {
        Settings& s = run.session().settings;
        for (int input = 4; input < 8; ++input) s.thermocouples[size_t(input)] = CHT;
        s.limits.Set(LimitKey::ChtMax, 180);
        s.selection.Set(25, true);  // CHT6_1
        run.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&run.window()));
        run.prompter.answers.enqueue(KRELBY_SOURCE_DIR "/samples/ZelvoBB.DAT");
        run.window().ImportInternal();
    }
    static bool Shaded(Run& run) {
        const auto [from, to] = run.window().Chart()->ShadedTime();
        return from < to;
    }

private slots:
    void init() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path() + "/user");
    }

    // A chosen run is shaded; showing another flight, the same one again, or the same one
    // after a units change takes the shading away, and the list chooses nothing by itself
    // when it gets the focus back.
    void theShadingOfAChosenRunGoesWithTheFlight() {
        Run run(dir.path());
        ChartChtRuns(run);
        const QString first = Path("Flights_INT/5-3-14 094117.FLT");
        QTreeWidget* list = run.window().Engine()->Exceedances()->Tree();
        const auto changeUnits = [&run] {
            QTimer::singleShot(0, run.window().Options(), [&run] {
                run.session().settings.units.Temp = 1;  // °F, as the dialog's OK leaves it
                run.window().Options()->reject();
            });
            run.window().OptionsCommand();
        };
        for (const auto& step : std::vector<std::function<void()>>{
                 [&] { run.window().ShowFlight(Path("Flights_INT/6-3-14 101047.FLT")); },
                 [&] { run.window().ShowFlight(first); },
                 changeUnits,
             }) {
            run.window().ShowFlight(first);
            run.window().Search()->Wait();
            list->setFocus();
            list->setCurrentItem(list->topLevelItem(1));
            QVERIFY(Shaded(run));
            step();
            run.window().Search()->Wait();
            // Whatever has the focus now, the list gets it back as the pilot clicks into it.
            run.window().activateWindow();
            list->clearFocus();
            list->setFocus(Qt::TabFocusReason);
            QApplication::processEvents();
            QVERIFY(!Shaded(run));
            QVERIFY(!list->currentItem());
            QVERIFY(!run.window().Chart()->IsZoomed());
        }
    }

    // After a restart the chart, the status strip and the exports name one flight: the one
    // shown at the last close, shown again; none at all where its file is gone (its name
    // is still written back).
    void aRestartShowsTheFlightTheStatusStripNames() {
        const QString flight = Path("Flights_INT/5-3-14 094117.FLT");
        {
            Run run(dir.path());
            ChartChtRuns(run);
            run.window().ShowFlight(flight);
            run.window().close();
        }
        {
            Run run(dir.path());
            // Before the start nothing is selected, as nothing is shown.
            QVERIFY(run.window().FlightLabel()->text().isEmpty());
            QVERIFY(run.session().CurrentFlightFile.empty());
            run.window().show();
            run.window().Start();
            QCOMPARE(run.window().FlightLabel()->text(), flight);
            QVERIFY(!run.window().Chart()->IsEmpty());
            run.window().Search()->Wait();
            QCOMPARE(run.window().Found().size(), size_t(3));
            run.window().CsvCommand();
            QCOMPARE(run.prompter.messages.size(), 1);
            QVERIFY(QFileInfo::exists(Path("Exports/5-3-14 094117.CSV")));
            run.window().close();
        }
        QVERIFY(QFile::rename(flight, Path("elsewhere.FLT")));
        {
            Run run(dir.path());
            run.window().show();
            run.window().Start();
            QVERIFY(run.window().FlightLabel()->text().isEmpty());
            QVERIFY(run.window().Chart()->IsEmpty());
            QCOMPARE(run.window().Chart()->EmptyHint(),
                     QString("Import a recording (Import menu) or drop a recording or flight file here"));
            run.window().CsvCommand();
            QCOMPARE(run.prompter.messages, QStringList{"No valid data file selected yet"});
            run.window().close();
        }
        QFile ini(Path("Krelby.INI"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(ini.readAll()).contains("CurrentFilename=" + flight));
    }

    // Ctrl+Q from the main window or from the Logbook, or closing the main window, ends the
    // program: no window of it is left open.
    void closingTheMainWindowEndsTheProgramWithTheLogbookOpen_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("Ctrl+Q in the main window") << 0;
        QTest::newRow("Ctrl+Q in the Logbook") << 1;
        QTest::newRow("the main window closed") << 2;
    }
    void closingTheMainWindowEndsTheProgramWithTheLogbookOpen() {
        QFETCH(int, how);
        Run run(dir.path());
        run.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&run.window()));
        run.window().LogbookCommand();
        LogbookWindow* logbook = run.window().Logbook();
        QVERIFY(QTest::qWaitForWindowExposed(logbook));
        if (how == 0) {
            run.window().activateWindow();
            QTest::keyClick(&run.window(), Qt::Key_Q, Qt::ControlModifier);
        } else if (how == 1) {
            logbook->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(logbook));
            QTest::keyClick(logbook, Qt::Key_Q, Qt::ControlModifier);
        } else {
            run.window().close();
        }
        QTRY_VERIFY(!run.window().isVisible());
        QVERIFY(!logbook->isVisible());
        // The event loop ends with the last window of the program that is shown.
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible() || !w->testAttribute(Qt::WA_QuitOnClose), qPrintable(w->objectName()));
        QVERIFY(QFileInfo::exists(Path("Krelby.INI")));  // the settings were written on the way
    }
};

QTEST_MAIN(FlightShownTest)
#include "flight_shown_test.moc"
