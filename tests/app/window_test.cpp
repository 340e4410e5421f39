// The main window: start-up, closing, and every menu command at its top level.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QProgressDialog>
#include <QSettings>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

#include <qcustomplot.h>

#include "chart/chart_plot.h"
#include "chart/chart_widget.h"
#include "app/data_selection_dialog.h"
#include "app/elided_label.h"
#include "app/engine_pane.h"
#include "app/exceedances_pane.h"
#include "app/file_names.h"
#include "app/options_dialog.h"
#include "app/progress_dialog.h"
#include "app_test_support.h"

using namespace krelby;
using namespace krelby::testing;

namespace {

bool AnyProgressDialog(bool visibleOnly) {
    for (QWidget* w : QApplication::allWidgets())
        if (qobject_cast<QProgressDialog*>(w) && (!visibleOnly || w->isVisible())) return true;
    return false;
}

// Shows real message boxes and notes, while each is up, what else is on screen; then
// answers it with the Return key sent to whatever has the focus.
class BoxPrompter : public ScriptedPrompter {
public:
    struct Seen {
        bool boxIsModal = false, boxHasFocus = false, progressAlive = false;
    };
    QList<Seen> seen;
    int progressShown = 0;  // QProgressDialogs shown so far

    void Message(QWidget* parent, const QString& text) override {
        messages << text;
        QTimer::singleShot(50, [this] {
            Seen s;
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            s.boxIsModal = box != nullptr;
            s.boxHasFocus = box && box->isAncestorOf(QApplication::focusWidget());
            s.progressAlive = AnyProgressDialog(false);
            seen << s;
            if (s.boxHasFocus) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            if (box && box->isVisible()) box->done(QMessageBox::Ok);  // never hang the test
        });
        DialogPrompter().Message(parent, text);
    }
};

class ShowCounter : public QObject {
public:
    int* count;
    explicit ShowCounter(int* c) : count(c) {}
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show && qobject_cast<QProgressDialog*>(o)) ++*count;
        return false;
    }
};

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.path() + "/" + name; }
    QString Flight() {
        const QString path = Path("Flights_INT/2024-03-14 10-01-00.FLT");
        QDir().mkpath(Path("Flights_INT"));
        WriteFrames(path, OneMinuteFlight());
        return path;
    }
    // junk.FLT: bytes that hold no Frame.
    void Junk() {
        QFile junk(Path("junk.FLT"));
        junk.open(QIODevice::WriteOnly);
        junk.write(QByteArray(3000, '\x05'));
    }
    static int Keys(const QString& ini) {
        QFile f(ini);
        f.open(QIODevice::ReadOnly);
        return int(QString(f.readAll()).count('='));
    }

private slots:
    void init() {
        QVERIFY(dir.isValid());
        // The per-user settings (the window's geometry) go to this test's own folder.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Path("config"));
    }
    void cleanup() { dir.remove(); dir = QTemporaryDir(); }

    void firstStartMakesFoldersAndDefaultsAndCloseWritesEveryKey() {
        {
            Run run(dir.path());
            for (const char* folder : {"Flights_INT", "Flights_SD", "Exports"})
                QVERIFY2(QFileInfo(Path(folder)).isDir(), folder);
            QCOMPARE(run.window().objectName(), QString("TForm1"));
            QCOMPARE(run.window().windowTitle(), QString("Tarvik EFIS data recording viewer. Version 1.0.4.2"));
            QCOMPARE(run.window().FlightLabel()->text(), QString());
            QVERIFY(!run.window().View3D()->isChecked());
            QVERIFY(!run.window().Chart()->Is3D());
            QCOMPARE(run.session().chart.SlotsInChart(), 0);
            QVERIFY(!QFile::exists(Path("Krelby.INI")));
            run.window().show();
            QVERIFY(QTest::qWaitForWindowExposed(&run.window()));
            // An empty chart: a hint in its middle, no time axis counting from 1970.
            ChartWidget* chart = run.window().Chart();
            QVERIFY(chart->IsEmpty());
            QVERIFY(!chart->Plot()->xAxis->tickLabels());
            const QImage screen = chart->grab().toImage();
            const QRect middle = chart->Plot()->axisRect()->rect().adjusted(100, 100, -100, -100);
            int hint = 0;
            for (int y = middle.top(); y < middle.bottom(); ++y)
                for (int x = middle.left(); x < middle.right(); ++x) hint += qGray(screen.pixel(x, y)) < 128;
            QVERIFY2(hint > 200, qPrintable(QString::number(hint)));
            run.window().close();
            run.window().close();  // written once
            QVERIFY(run.prompter.errors.isEmpty());
        }
        QCOMPARE(Keys(Path("Krelby.INI")), 281);
        QFile ini(Path("Krelby.INI"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray text = ini.readAll();
        QVERIFY(text.contains("CurrentFilename=\r\n") || text.contains("CurrentFilename=\n"));
        QVERIFY(text.contains("3DView=0"));
    }

    // The menu reads as it always did (the report after the exports), each caption with a
    // mnemonic; Ctrl+O, Ctrl+R, Ctrl+P and Ctrl+Q reach Flight, Report, Print and closing.
    void menuCaptionsStayAndKeysReachTheCommands() {
        Run run(dir.path());
        MainWindow& window = run.window();
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QStringList captions, keys;
        for (QAction* a : window.menuBar()->actions()) {
            captions << QString(a->text()).remove('&');
            keys << QKeySequence::mnemonic(a->text()).toString();
            if (a->menu())
                for (QAction* item : a->menu()->actions()) captions << "  " + QString(item->text()).remove('&');
        }
        QCOMPARE(captions, QStringList({"Import", "  Zelvo internal data recording (ZelvoBB.DAT)",
                                        "  Zelvo SD card recording (Zelvo.REC)", "Flight", "Data", "Print", "Export",
                                        "  Export chart view to a JPEG image file",
                                        "  Export current flight to Google Earth KML",
                                        "  Export flight as Excel comma delimited file",
                                        "  Export current flight as a GPX track", "  Report...", "Options", "Logbook",
                                        "Limits",
                                        "  Limits...", "  Show exceedances"}));
        QCOMPARE(keys, QStringList({"Alt+I", "Alt+F", "Alt+D", "Alt+P", "Alt+E", "Alt+O", "Alt+L", "Alt+M"}));
        QMenu* import = window.menuBar()->actions().first()->menu();
        QTest::keyClick(&window, Qt::Key_I, Qt::AltModifier);
        QTRY_VERIFY(import->isVisible());
        import->close();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(run.prompter.asked.size(), 1);
        QCOMPARE(run.prompter.asked[0].title, QString("Select flight recording file for viewing"));
        QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);  // the report, of no flight
        QCOMPARE(run.prompter.messages, QStringList({"No valid data file selected yet"}));
        bool preview = false;
        QTimer::singleShot(100, [&preview] {
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            preview = dialog != nullptr;
            if (dialog) dialog->reject();
        });
        QTest::keyClick(&window, Qt::Key_P, Qt::ControlModifier);
        QVERIFY(preview);
        window.activateWindow();  // offscreen gives activation back to no window by itself
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!window.isVisible());
        QVERIFY(QFile::exists(Path("Krelby.INI")));
    }

    // The remembered flight is replayed only once the window is up, and then named.
    void rememberedFlightIsShownOnceTheWindowStarts() {
        const QString flight = Flight();
        {
            Run first(dir.path());
            first.session().CurrentFlightFile = flight.toStdString();
            first.session().settings.selection.Set(1, true);
            first.window().close();
        }
        Run run(dir.path());
        QVERIFY(run.session().settings.selection.Ticked(1));
        QCOMPARE(run.session().chart.SlotsInChart(), 0);
        QVERIFY(run.window().FlightLabel()->text().isEmpty());
        run.window().Start();
        QCOMPARE(run.window().FlightLabel()->text(), flight);
        QCOMPARE(run.session().chart.SlotsInChart(), 1);
    }

    // Size, place and the maximised state come back at the next start, from the per-user
    // settings; Krelby.INI keeps its keys.
    void windowGeometrySurvivesRestartOutsideKrelbyIni() {
        const QRect placed(130, 90, 700, 500);
        {
            Run run(dir.path());
            run.window().show();
            QVERIFY(QTest::qWaitForWindowExposed(&run.window()));
            run.window().setGeometry(placed);
            QTRY_COMPARE(run.window().geometry(), placed);
            run.window().close();
        }
        {
            Run run(dir.path());
            QCOMPARE(run.window().geometry(), placed);
            run.window().showMaximized();
            QTRY_VERIFY(run.window().isMaximized());
            run.window().close();
        }
        Run run(dir.path());
        QVERIFY(run.window().windowState() & Qt::WindowMaximized);
        run.window().showNormal();  // and the size it had before
        QTRY_COMPARE(run.window().geometry(), placed);
        QCOMPARE(Keys(Path("Krelby.INI")), 281);
        QVERIFY(QDir(Path("config")).exists());
    }

    // 3D in Krelby.INI; the strip view (Ctrl+T) in the user's own settings.
    void viewBoxesSurviveRestart() {
        {
            Run run(dir.path());
            run.window().View3D()->setChecked(true);
            QVERIFY(run.window().Chart()->Is3D());
            run.window().show();
            QVERIFY(QTest::qWaitForWindowActive(&run.window()));
            QTest::keyClick(&run.window(), Qt::Key_T, Qt::ControlModifier);
            QVERIFY(run.window().StripsBox()->isChecked());
            QVERIFY(run.window().Chart()->Strips());
            run.window().close();
        }
        Run run(dir.path());
        QVERIFY(run.window().View3D()->isChecked());
        QVERIFY(run.window().Chart()->Is3D());
        QVERIFY(run.window().StripsBox()->isChecked());
        QVERIFY(run.window().Chart()->Strips());
    }

    // The sample's first flight runs its CHTs over 180 °C: the Engine pane lists the runs in
    // the units shown, choosing one zooms the chart to it and 30 s either side; a flight
    // without any says so, and the menu's item hides the pane.
    void exceedancesPaneListsAndZoomsToEachRun() {
        Run run(dir.path());
        Settings& s = run.session().settings;
        for (int input = 4; input < 8; ++input) s.thermocouples[size_t(input)] = CHT;
        s.limits.Set(LimitKey::ChtMax, 180);
        s.selection.Set(25, true);  // CHT6_1
        run.window().show();
        run.prompter.answers.enqueue(KRELBY_SOURCE_DIR "/samples/ZelvoBB.DAT");
        run.window().ImportInternal();
        run.window().ShowFlight(Path("Flights_INT/5-3-14 094117.FLT"));
        run.window().Search()->Wait();
        const std::vector<Exceedance>& found = run.window().Found();
        QCOMPARE(found.size(), size_t(3));
        EnginePane* pane = run.window().Engine();
        QVERIFY(pane->isVisible());
        QTreeWidget* tree = pane->Exceedances()->Tree();
        QCOMPARE(tree->topLevelItem(0)->text(0), QString("CHT6_1 above 180 °C for 29 s, peak 186 °C, 09:43:10"));
        tree->setCurrentItem(tree->topLevelItem(0));
        QCustomPlot* plot = run.window().Chart()->Plot();
        QTRY_COMPARE_WITH_TIMEOUT(plot->xAxis->range().lower, DaysToKey(found[0].startTime) - 30, 2000);
        QCOMPARE(plot->xAxis->range().upper, DaysToKey(found[0].endTime) + 30);
        // The limit's dashed line is on CHT6_1's axis.
        QCOMPARE(static_cast<SlotGraph*>(plot->graph(0))->Limits(), std::vector<double>{180.0});
        run.window().ShowExceedancesAction()->trigger();
        QVERIFY(!pane->isVisible());
        run.window().ShowExceedancesAction()->trigger();
        run.window().ShowFlight(Path("Flights_INT/6-3-14 101047.FLT"));
        run.window().Search()->Wait();
        QVERIFY(run.window().Found().empty());
        QVERIFY(pane->isVisible());
        QCOMPARE(pane->Exceedances()->Note()->text(), QString("No exceedances of the limits."));
    }

    // A window made very small stops where one axis, its legend and 200 px of plot fit.
    void theWindowStopsShrinkingWhereThePlotStillFits() {
        const QString flight = Flight();
        Run run(dir.path());
        run.session().settings.selection.Set(1, true);
        run.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&run.window()));
        run.window().ShowFlight(flight);
        run.window().resize(300, 200);
        QApplication::processEvents();
        QCustomPlot* plot = run.window().Chart()->Plot();
        plot->replot();
        QVERIFY(run.window().width() >= run.window().minimumSizeHint().width());
        QVERIFY2(plot->axisRect()->width() >= 200, qPrintable(QString::number(plot->axisRect()->width())));
        QVERIFY(plot->axisRect()->height() >= 200);
        QVERIFY(plot->legend->outerRect().left() >= plot->axisRect()->right());
    }

    void settingsThatCannotBeWrittenAreReportedAndTheWindowStillCloses() {
        QDir().mkpath(Path("Krelby.INI"));  // a folder where the file should go
        Run run(dir.path());
        run.window().show();
        QVERIFY(run.window().close());
        // Reported at start (the defaults are used) and again when the save fails.
        QCOMPARE(run.prompter.errors,
                 (QStringList{"Is a directory: " + Path("Krelby.INI"), "Unable to write to " + Path("Krelby.INI")}));
    }

    void aLongFlightPathIsElidedAndNeverWidensTheWindow() {
        Run run(dir.path());
        run.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&run.window()));
        const QSize size = run.window().size();
        const QString path = "/" + QString(2000, 'x') + ".FLT";
        run.session().CurrentFlightFile = path.toStdString();
        run.window().FlightCommand();  // cancelled: shows the current flight
        QTest::qWait(50);
        QCOMPARE(run.window().size(), size);
        ElidedLabel* label = run.window().FlightLabel();
        QCOMPARE(label->text(), path);
        QCOMPARE(label->toolTip(), path);
        const QString shown = label->ShownText();
        QVERIFY2(shown.startsWith("/xx") && shown.endsWith("x.FLT") && shown.contains(QChar(0x2026)), qPrintable(shown));
        QVERIFY(label->fontMetrics().horizontalAdvance(shown) <= label->width());
    }

    void flightCommand_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("replayed");
        QTest::newRow("cancelled") << QString() << false;
        QTest::newRow("existing file") << QString("flight") << true;
        QTest::newRow("name typed that does not exist") << QString("missing.FLT") << false;
    }
    void flightCommand() {
        QFETCH(QString, answer);
        QFETCH(bool, replayed);
        const QString flight = Flight();
        Run run(dir.path());
        run.session().settings.selection.Set(1, true);
        run.session().CurrentFlightFile = "/earlier.FLT";
        run.prompter.answers.enqueue(answer == "flight" ? flight : answer.isEmpty() ? answer : Path(answer));
        run.window().FlightCommand();

        QCOMPARE(run.prompter.asked.size(), 1);
        const FileDialog& dialog = run.prompter.asked[0];
        QCOMPARE(dialog.title, QString("Select flight recording file for viewing"));
        QCOMPARE(dialog.filter, QString("Flight recording files (*.FLT)|*.FLT"));
        QCOMPARE(dialog.initialName, QString("*.FLT"));
        QCOMPARE(dialog.folder, QString("/"));  // the folder of the flight shown
        QCOMPARE(run.session().chart.SlotsInChart(), replayed ? 1 : 0);
        const QString current = replayed ? flight : QString("/earlier.FLT");
        QCOMPARE(QString::fromStdString(run.session().CurrentFlightFile), current);
        QCOMPARE(run.window().FlightLabel()->text(), current);  // refreshed in every case
        QVERIFY(run.prompter.errors.isEmpty());
    }

    // A flight file without a good Frame leaves no earlier flight's time axis behind and
    // says so in the status strip, until a flight with data is shown.
    void aFlightWithoutDataEmptiesTheChartAndSaysSo() {
        const QString flight = Flight();
        Junk();
        Run run(dir.path());
        run.session().settings.selection.Set(1, true);
        ChartWidget* chart = run.window().Chart();
        run.prompter.answers << flight << Path("junk.FLT") << flight;
        run.window().FlightCommand();
        const QCPRange shown = chart->Plot()->xAxis->range();
        QVERIFY(run.window().NoteLabel()->isHidden());

        run.window().FlightCommand();
        QVERIFY(chart->IsEmpty());
        QVERIFY(!chart->Plot()->xAxis->tickLabels());
        QVERIFY(chart->Plot()->xAxis->range() != shown);
        QVERIFY(!run.window().NoteLabel()->isHidden());
        QCOMPARE(run.window().NoteLabel()->text(), QString("No flight data in junk.FLT"));
        QVERIFY(run.prompter.errors.isEmpty());

        QCOMPARE(chart->EmptyHint(), QString("No flight data in junk.FLT"));

        run.window().FlightCommand();
        QVERIFY(!chart->IsEmpty());
        QVERIFY(chart->Plot()->xAxis->tickLabels());
        QCOMPARE(chart->Plot()->xAxis->range(), shown);
        QVERIFY(run.window().NoteLabel()->isHidden());

        // A flight with data but nothing ticked: the hint says how to chart it.
        run.session().settings.selection.Set(1, false);
        QTimer::singleShot(0, run.window().DataDialog(), &QDialog::accept);
        run.window().DataCommand();
        QVERIFY(chart->IsEmpty());
        QCOMPARE(chart->EmptyHint(), QString("Tick the data to chart (Data)"));
    }

    // The empty chart's text follows the state: no flight, a flight without data, ticked
    // items it lacks, nothing ticked.
    void theEmptyChartsTextFitsTheState() {
        const QString flight = Flight();
        Junk();
        {
            Run first(dir.path());
            QCOMPARE(first.window().Chart()->EmptyHint(),
                     QString("Import a recording (Import menu) or drop a recording or flight file here"));
            first.prompter.answers << flight;
            first.window().FlightCommand();
            first.window().close();
        }
        Run run(dir.path());
        ChartWidget* chart = run.window().Chart();
        const struct {
            int ticked;  // 0: none
            QString file, hint;
        } rows[] = {
            {1, Path("junk.FLT"), "No flight data in junk.FLT"},
            {10, flight, "None of the ticked items is recorded in this flight"},  // Humidity
            {0, flight, "Tick the data to chart (Data)"},
        };
        for (const auto& row : rows) {
            run.session().settings.selection = DataSelection();
            run.session().settings.selection.Set(row.ticked, true);
            run.prompter.answers << row.file;
            run.window().FlightCommand();
            QVERIFY(chart->IsEmpty());
            QCOMPARE(chart->EmptyHint(), row.hint);
        }
        QVERIFY(run.prompter.errors.isEmpty());
    }

    void dataCommandReplaysWithTicksMadeBeforeTheDialogWasClosed() {
        const QString flight = Flight();
        Run run(dir.path());
        run.session().CurrentFlightFile = flight.toStdString();
        DataSelectionDialog* dialog = run.window().DataDialog();
        QTimer::singleShot(0, dialog, [dialog] {
            dialog->Box(1)->setChecked(true);
            dialog->Box(3)->setChecked(true);
            dialog->close();  // the window's close button: the ticks stay
        });
        run.window().DataCommand();
        QCOMPARE(run.session().chart.SlotsInChart(), 2);
        QCOMPARE(run.session().chart.Slot(0).xs.size(), size_t(60));
        QCOMPARE(run.window().FlightLabel()->text(), QString());  // the Data command leaves it
    }

    // A series hidden with its legend box stays hidden while its item stays ticked: through
    // the Options and Data commands' replays and in other flights, also after one without it.
    void aSeriesHiddenInTheLegendStaysHiddenWhileItsItemStaysTicked() {
        const QString flight = Flight();
        const QString other = Path("Flights_INT/other.FLT");
        QFile::copy(flight, other);
        const QString noGps = Path("Flights_INT/no GPS.FLT");
        std::vector<Frame> flightOnly;
        for (int s = 0; s < 60; ++s) flightOnly.push_back(Airborne(1, s));
        WriteFrames(noGps, flightOnly);
        Run run(dir.path());
        run.session().settings.selection.Set(1, true);   // PALT
        run.session().settings.selection.Set(32, true);  // GPSALT
        run.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&run.window()));
        run.prompter.answers.enqueue(flight);
        run.window().FlightCommand();
        QCustomPlot* plot = run.window().Chart()->Plot();
        plot->replot();
        QTest::mouseClick(plot, Qt::LeftButton, {}, plot->legend->item(0)->rect().center());
        const auto shown = [plot] { return QList<bool>{plot->graph(0)->visible(), plot->graph(1)->visible()}; };
        QCOMPARE(shown(), QList<bool>({false, true}));

        QTimer::singleShot(0, run.window().Options(), &QDialog::reject);
        run.window().OptionsCommand();
        QCOMPARE(run.session().chart.SlotsInChart(), 2);
        QCOMPARE(shown(), QList<bool>({false, true}));
        DataSelectionDialog* data = run.window().DataDialog();
        QTimer::singleShot(0, data, &QDialog::accept);
        run.window().DataCommand();
        QCOMPARE(shown(), QList<bool>({false, true}));

        run.prompter.answers << other << noGps << flight;
        run.window().FlightCommand();
        QCOMPARE(shown(), QList<bool>({false, true}));
        run.window().FlightCommand();
        QCOMPARE(run.session().chart.SlotsInChart(), 1);
        QCOMPARE(run.session().chart.Slot(0).title, std::string("PALT"));
        run.window().FlightCommand();
        QCOMPARE(shown(), QList<bool>({false, true}));

        // Unticked and ticked again: drawn again.
        QTimer::singleShot(0, data, [data] { data->Box(1)->setChecked(false); data->accept(); });
        run.window().DataCommand();
        QTimer::singleShot(0, data, [data] { data->Box(1)->setChecked(true); data->accept(); });
        run.window().DataCommand();
        QCOMPARE(run.session().chart.Slot(0).title, std::string("PALT"));
        QCOMPARE(shown(), QList<bool>({true, true}));
        QTest::mouseClick(plot, Qt::LeftButton, {}, plot->legend->item(1)->rect().center());
        QCOMPARE(shown(), QList<bool>({true, false}));
    }

    void dataCommandForgetsAFlightFileThatIsGone() {
        Run run(dir.path());
        run.session().CurrentFlightFile = Path("deleted.FLT").toStdString();
        QTimer::singleShot(0, run.window().DataDialog(), &QDialog::accept);
        run.window().DataCommand();
        QCOMPARE(run.session().CurrentFlightFile, std::string());
        QVERIFY(run.prompter.errors.isEmpty());
    }

    void optionsCommandReplaysInTheUnitsChosen() {
        const QString flight = Flight();
        Run run(dir.path());
        run.session().settings.selection.Set(1, true);
        run.session().CurrentFlightFile = flight.toStdString();
        OptionsDialog* dialog = run.window().Options();
        QTimer::singleShot(0, dialog, [dialog] {
            dialog->findChild<QComboBox*>("ComboBox3")->setCurrentIndex(1);  // metres
            dialog->findChild<QPushButton*>("Button1")->click();
        });
        run.window().OptionsCommand();
        QCOMPARE(run.session().settings.units.Altitude, int16_t(1));
        QCOMPARE(run.session().chart.SlotsInChart(), 1);
        QVERIFY(qAbs(run.session().chart.Slot(0).ys.front() - 305) < 1);  // 1000 ft
    }

    void anErrorEndsTheCommandWithAMessageAndTheProgramGoesOn() {
        const QString flight = Flight();
        Run run(dir.path());
        run.session().settings.selection.Set(1, true);
        run.session().CurrentFlightFile = Path("deleted.FLT").toStdString();
        QTimer::singleShot(0, run.window().Options(), &QDialog::reject);
        run.window().OptionsCommand();  // replays a file that is gone
        QCOMPARE(run.prompter.errors.size(), 1);
        QVERIFY(!run.prompter.errors[0].isEmpty());

        run.prompter.answers.enqueue(flight);
        run.window().FlightCommand();
        QCOMPARE(run.prompter.errors.size(), 1);
        QCOMPARE(run.session().chart.SlotsInChart(), 1);
    }

    void jpegCommandWritesAProgressivePictureOfTheChartsSize() {
        Run run(dir.path());
        run.window().resize(700, 500);
        run.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&run.window()));
        run.prompter.answers.enqueue(Path("Exports/chart"));  // typed without extension
        run.window().JpegCommand();
        QVERIFY(run.prompter.errors.isEmpty());
        QCOMPARE(run.prompter.asked[0].title, QString("Enter name of JPEG file to create"));
        QCOMPARE(run.prompter.asked[0].folder, Path("Exports"));
        QFile file(Path("Exports/chart.JPG"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray jpeg = file.readAll();
        const qsizetype sof2 = jpeg.indexOf("\xFF\xC2");
        QVERIFY2(sof2 > 0, "progressive frame header");
        const auto at = [&](qsizetype i) { return int(uint8_t(jpeg[i])) << 8 | uint8_t(jpeg[i + 1]); };
        const QSize chart = run.window().Chart()->size();
        QCOMPARE(at(sof2 + 5), chart.height());
        QCOMPARE(at(sof2 + 7), chart.width());
        QCOMPARE(int(uint8_t(jpeg[sof2 + 9])), 3);  // colour components
    }

    void csvCommandReportsAndRefreshesTheLabel() {
        const QString flight = Flight();
        Run run(dir.path());
        run.window().CsvCommand();
        QCOMPARE(run.prompter.messages, QStringList{"No valid data file selected yet"});

        run.session().settings.selection.Set(1, true);
        run.session().CurrentFlightFile = flight.toStdString();
        run.window().CsvCommand();
        QCOMPARE(run.prompter.messages.last(),
                 QString("2024-03-14 10-01-00.CSV created in ") + Path("Exports/"));
        QCOMPARE(run.window().FlightLabel()->text(), flight);
        QFile csv(Path("Exports/2024-03-14 10-01-00.CSV"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QVERIFY(csv.readLine().startsWith("TimeStamp,"));
    }

    void kmlCommandAsksForAFileOnlyWithAFlight() {
        const QString flight = Flight();
        Run run(dir.path());
        run.window().KmlCommand();
        QVERIFY(run.prompter.asked.isEmpty());

        run.session().CurrentFlightFile = flight.toStdString();
        run.session().settings.kml.LineOpacity = run.session().settings.kml.PolyOpacity = 2;
        run.prompter.answers.enqueue(Path("track"));
        run.window().KmlCommand();
        QCOMPARE(run.session().settings.kml.LineOpacity, uint8_t{0});  // the opacity rule is kept in the settings
        QCOMPARE(run.prompter.asked.size(), 1);
        QCOMPARE(run.prompter.asked[0].title, QString("Enter name of Google file to create"));
        QCOMPARE(run.prompter.asked[0].filter, QString("Goggle Earth file (*.KML)|*.KML"));
        QFile kml(Path("track.KML"));
        QVERIFY(kml.open(QIODevice::ReadOnly));
        const QByteArray text = kml.readAll();
        QCOMPARE(text.count("  150,-27,304.800919279573\r\n"), 1);
        QVERIFY(text.endsWith("</kml>\r\n"));
        QVERIFY(run.prompter.errors.isEmpty());
    }

    void importCommandsReportTheFlightsImported() {
        WriteRecording(Path("ZelvoBB.DAT"), OneMinuteFlight());
        Run run(dir.path());
        run.prompter.answers.enqueue(Path("ZelvoBB.DAT"));
        run.window().ImportInternal();
        QCOMPARE(run.prompter.asked[0].filter,
                 QString("Zelvo recording (Zelvobb.dat)|Zelvobb.dat|VQ5 recording (VQ5bb.dat)|VQ5bb.dat"
                         "|Zelvo or VQ5 recording|ZelvoBB.DAT;VQ5bb.dat|All files|*"));
        QCOMPARE(run.prompter.messages, QStringList{"Imported 1 flights."});
        QCOMPARE(QDir(Path("Flights_INT")).entryList({"*.FLT"}).size(), 1);

        run.prompter.answers.enqueue(Path("nothing.REC"));
        run.window().ImportSd();
        QCOMPARE(run.prompter.asked[1].initialName, QString("Zelvo*.REC"));
        QVERIFY(run.prompter.errors.isEmpty());  // a name typed that is not there: nothing at all

        // A file without one good Frame: the count stays, with a warning why.
        QFile text(Path("ZelvoBB.DAT"));
        text.open(QIODevice::WriteOnly);
        text.write("Not a recording at all\r\n");
        text.close();
        run.prompter.answers.enqueue(Path("ZelvoBB.DAT"));
        run.window().ImportInternal();
        QCOMPARE(run.prompter.messages, QStringList{"Imported 1 flights."});
        QCOMPARE(run.prompter.warnings,
                 QStringList{"Imported 0 flights.\nZelvoBB.DAT holds no recording data (no valid Frames)."});
        QCOMPARE(run.prompter.messages.size(), 1);
    }

    // An import command whose choice the block headers contradict asks once before it runs.
    void importAsksWhenTheBlockHeadersSayTheOtherKind_data() {
        QTest::addColumn<bool>("sdCommand");
        QTest::addColumn<int>("reply");
        QTest::addColumn<QString>("folder");  // where the flight goes; empty: nowhere
        QTest::newRow("internal command, yes") << false << int(Answer::Yes) << "Flights_SD";
        QTest::newRow("internal command, no") << false << int(Answer::No) << "Flights_INT";
        QTest::newRow("internal command, cancel") << false << int(Answer::Cancel) << "";
        QTest::newRow("SD command, yes") << true << int(Answer::Yes) << "Flights_INT";
        QTest::newRow("SD command, cancel") << true << int(Answer::Cancel) << "";
    }
    void importAsksWhenTheBlockHeadersSayTheOtherKind() {
        QFETCH(bool, sdCommand);
        QFETCH(int, reply);
        QFETCH(QString, folder);
        // The internal command gets an SD card recording, the SD command an internal one.
        WriteRecording(Path("rec.bin"), OneMinuteFlight());
        if (!sdCommand) {
            QFile card(Path("rec.bin"));
            card.open(QIODevice::Append);
            card.write(QByteArray(512, '\0'));
        }
        Run run(dir.path());
        run.prompter.answers.enqueue(Path("rec.bin"));
        run.prompter.replies.enqueue(Answer(reply));
        sdCommand ? run.window().ImportSd() : run.window().ImportInternal();
        QCOMPARE(run.prompter.questions,
                 QStringList{sdCommand ? "This looks like an internal recording. Import it as one?"
                                       : "This looks like an SD card recording. Import it as one?"});
        QCOMPARE(run.prompter.messages, folder.isEmpty() ? QStringList() : QStringList{"Imported 1 flights."});
        for (const char* f : {"Flights_INT", "Flights_SD"})
            QCOMPARE(QDir(Path(f)).entryList({"*.FLT"}).size(), folder == f ? 1 : 0);
    }

    // The progress dialog of an import or CSV export is gone before the result message box
    // appears, so nothing (not its own show timer either) can bring it up over the box.
    void progressDialogIsGoneBeforeTheResultMessage() {
        const std::vector<Frame> frames = OneMinuteFlight();
        WriteRecording(Path("ZelvoBB.DAT"), frames);
        QFile rec(Path("ZelvoBB.DAT"));
        rec.open(QIODevice::Append);
        QByteArray filler(512, '\xFF');  // blocks without Frames: progress is reported on the way
        filler[0] = 1;
        for (int i = 0; i < 5000; ++i) rec.write(filler);
        rec.close();
        const QString flight = Flight();
        ProgressScope::showAfterMs = 0;
        BoxPrompter prompter;
        ShowCounter counter(&prompter.progressShown);
        qApp->installEventFilter(&counter);
        {
            Application app((dir.path() + "/").toStdString(), &prompter);
            app.window().show();
            QVERIFY(QTest::qWaitForWindowExposed(&app.window()));
            prompter.answers.enqueue(Path("ZelvoBB.DAT"));
            app.window().ImportInternal();
            QVERIFY(!AnyProgressDialog(true));
            app.session().settings.selection.Set(1, true);
            app.session().CurrentFlightFile = flight.toStdString();
            app.window().CsvCommand();
            QVERIFY(!AnyProgressDialog(true));
        }
        qApp->removeEventFilter(&counter);
        ProgressScope::showAfterMs = 500;
        QCOMPARE(prompter.messages.size(), 2);
        QCOMPARE(prompter.messages[0], QString("Imported 1 flights."));
        QCOMPARE(prompter.seen.size(), 2);
        for (const BoxPrompter::Seen& s : prompter.seen) {
            QVERIFY(s.boxIsModal);
            QVERIFY(s.boxHasFocus);
            QVERIFY(!s.progressAlive);
        }
        QVERIFY(prompter.progressShown > 0);  // the import did show its progress
    }

    void droppedFilesAreShownOrImported() {
        const QString flight = Flight();
        WriteRecording(Path("card.bin"), OneMinuteFlight());
        QFile card(Path("card.bin"));
        card.open(QIODevice::Append);
        card.write(QByteArray(512, '\0'));  // a zero block ends an SD card recording
        card.close();
        Run run(dir.path());
        run.session().settings.selection.Set(1, true);
        run.window().OpenDropped(flight);
        QCOMPARE(run.window().FlightLabel()->text(), flight);
        QCOMPARE(run.session().chart.SlotsInChart(), 1);
        run.window().OpenDropped(Path("card.bin"));
        QCOMPARE(run.prompter.messages, QStringList{"Imported 1 flights."});
        QCOMPARE(QDir(Path("Flights_SD")).entryList({"*.FLT"}).size(), 1);
    }

    // Qt reads such a name with U+FFFD and leaves it out of its listings; the window still
    // finds the file, from the Flight dialog, from `krelby FILE` and from the logbook.
    void aFlightWhoseNameIsNotUtf8Opens() {
        const std::string folder = dir.path().toStdString() + "/x\xfe/";
        const std::string bytes = folder + "caf\xe9 \xff.FLT";
        const QString shown = QFile::decodeName(QByteArray::fromStdString(bytes));
        QVERIFY(shown.contains(QChar::ReplacementCharacter));
        QVERIFY(std::filesystem::create_directory(folder));
        QCOMPARE(PathBytes(QFile::decodeName(QByteArray::fromStdString(folder))), folder);
        std::vector<uint8_t> all;
        for (const Frame& f : OneMinuteFlight()) all.insert(all.end(), f.begin(), f.end());
        std::FILE* out = std::fopen(bytes.c_str(), "wb");
        QVERIFY(out);
        std::fwrite(all.data(), 1, all.size(), out);
        std::fclose(out);

        Run run(dir.path());
        run.session().settings.selection.Set(1, true);
        run.prompter.answers << shown;
        run.window().FlightCommand();
        QCOMPARE(run.session().CurrentFlightFile, bytes);
        QCOMPARE(run.session().chart.SlotsInChart(), 1);
        QCOMPARE(run.window().FlightLabel()->text(), shown);

        run.session().CurrentFlightFile.clear();
        run.window().OpenFileAt(bytes);
        QCOMPARE(run.session().CurrentFlightFile, bytes);
        run.session().CurrentFlightFile.clear();
        run.window().ShowFlight(shown);
        QCOMPARE(run.session().CurrentFlightFile, bytes);
        QVERIFY(run.prompter.errors.isEmpty());
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
