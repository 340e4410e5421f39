// The viewer's tools in the main window: the zoom history, the span's figures, the playback,
// F1's sheet of shortcuts and gestures, and the files its dialogs start from.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QLabel>
#include <QSettings>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include <qcustomplot.h>

#include "app/elided_label.h"
#include "app/shortcut_sheet.h"
#include "app_test_support.h"
#include "chart/chart_plot.h"
#include "chart/chart_widget.h"
#include "chart/span_table.h"
#include "chart/track_view.h"
#include "chart/zoom_history.h"

using namespace krelby;
using namespace krelby::testing;

namespace {

constexpr double kSecond = 1.0 / 86400.0;

bool Near(double a, double b, double within = 1e-3 * kSecond) { return std::abs(a - b) < within; }

}  // namespace

class ViewerToolsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.path() + "/" + name; }
    // A minute of flight from 10:`minute`:00 in `folder`, PALT 1000 ft and 10 ft more a second.
    QString Flight(int minute, const QString& folder = "Flights_INT") {
        QDir().mkpath(Path(folder));
        const QString path = Path(folder + QString("/2024-03-14 10-%1-00.FLT").arg(minute, 2, 10, QLatin1Char('0')));
        WriteFrames(path, OneMinuteFlight(minute));
        return path;
    }
    // The window on screen with PALT charted from `flight`, the chart holding the keys.
    static void Show(Run& run, const QString& flight) {
        run.session().settings.selection.Set(1, true);
        run.window().resize(900, 600);
        run.window().show();
        QVERIFY(QTest::qWaitForWindowActive(&run.window()));
        run.window().ShowFlight(flight);
        run.window().Chart()->Plot()->setFocus();
        QVERIFY(!run.window().Chart()->IsEmpty());
    }

private slots:
    void init() {
        QVERIFY(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Path("config"));
    }
    void cleanup() { dir.remove(); dir = QTemporaryDir(); }

    // Each zoom and pan is a step (a drag one only); Backspace and Alt+Left go back, Alt+Right
    // forward; a new step drops those ahead; each flight has its own steps.
    void zoomHistoryStepsBackAndForthPerFlight() {
        const QString a = Flight(1), b = Flight(5);
        Run run(dir.path());
        Show(run, a);
        MainWindow& window = run.window();
        ChartWidget* chart = window.Chart();
        QCustomPlot* plot = chart->Plot();
        ZoomHistory* history = window.History();
        QCOMPARE(history->Steps().size(), size_t(1));  // the whole flight
        QTest::keyClick(plot, Qt::Key_Plus);
        const ChartView half = chart->View();
        QTest::keyClick(plot, Qt::Key_Right);
        const ChartView panned = chart->View();
        const QPoint at = plot->axisRect()->rect().center();
        QTest::mousePress(plot, Qt::MiddleButton, {}, at);
        for (int dx : {20, 40, 60}) {
            QMouseEvent move(QEvent::MouseMove, at + QPoint(dx, 0), plot->mapToGlobal(at + QPoint(dx, 0)), Qt::NoButton,
                             Qt::MiddleButton, {});
            QApplication::sendEvent(plot, &move);
        }
        QTest::mouseRelease(plot, Qt::MiddleButton, {}, at + QPoint(60, 0));
        QCOMPARE(history->Steps().size(), size_t(4));  // the drag is one step

        QTest::keyClick(&window, Qt::Key_Backspace);
        QVERIFY(Near(chart->View().from, panned.from));
        QTest::keyClick(&window, Qt::Key_Left, Qt::AltModifier);
        QVERIFY(Near(chart->View().from, half.from));
        QTest::keyClick(&window, Qt::Key_Right, Qt::AltModifier);
        QVERIFY(Near(chart->View().from, panned.from));
        QTest::keyClick(&window, Qt::Key_Backspace);
        QTest::keyClick(&window, Qt::Key_Backspace);
        QVERIFY(!chart->View().zoomed);
        QVERIFY(!history->CanGoBack());
        QTest::keyClick(plot, Qt::Key_Minus);  // no change of the whole flight: no step
        QCOMPARE(history->Steps().size(), size_t(4));
        QTest::keyClick(plot, Qt::Key_Plus);
        QCOMPARE(history->Steps().size(), size_t(2));  // the steps ahead are gone
        const ChartView zoomedA = chart->View();

        window.ShowFlight(b);
        QVERIFY(!history->CanGoBack());
        window.ShowFlight(a);  // drawn whole again, its steps before that kept
        QVERIFY(!chart->View().zoomed);
        QTest::keyClick(&window, Qt::Key_Backspace);
        QVERIFY(Near(chart->View().from, zoomedA.from));
        QVERIFY(Near(chart->View().to, zoomedA.to));
    }

    // A span from 10:01:10.5 to 10:01:12: PALT 1100 for 0.5 s, 1110 for 1 s, 1120 at its end;
    // the mean counts each value for the time it held (1106.7, where a mean of the samples
    // would be 1110). Shift+drag marks one too; Ctrl+C copies it, Esc clears it; the print
    // has it under the chart.
    void spanTableListsTheFiguresOfAKnownSpan() {
        Run run(dir.path());
        Show(run, Flight(1));
        MainWindow& window = run.window();
        ChartWidget* chart = window.Chart();
        const double start = chart->View().from;  // 10:01:00
        QImage without(1100, 780, QImage::Format_RGB32);
        without.fill(Qt::white);
        chart->PrintPage(without);

        chart->SetSpan(start + 12 * kSecond, start + 10.5 * kSecond);
        const SpanTable table = chart->SpanFigures();
        QCOMPARE(table.heading, QString("Span 14/3/24 10:01:10 to 10:01:12, 0:00:02"));
        QCOMPARE(table.columns,
                 QStringList({"Series", "Unit", "Start", "End", "Difference", "Minimum", "Maximum", "Mean"}));
        QCOMPARE(table.rows.size(), size_t(1));
        QCOMPARE(table.rows[0].cells, QStringList({"PALT", "ft", "1100", "1120", "20", "1100", "1120", "1107"}));
        QVERIFY(window.SpanDock()->isVisible());
        QCOMPARE(window.SpanPane()->item(0, 7)->text(), QString("1107"));
        QTest::keyClick(&window, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), table.heading + "\nSeries\tUnit\tStart\tEnd\tDifference\tMinimum\t"
                                                                     "Maximum\tMean\nPALT\tft\t1100\t1120\t20\t1100\t1120\t1107\n");
        // The figures print in the margin under the chart.
        QImage with(without.size(), QImage::Format_RGB32);
        with.fill(Qt::white);
        chart->PrintPage(with);
        const QRect margin(0, int(with.height() * 0.74), with.width(), int(with.height() * 0.26));
        QVERIFY(with.copy(margin) != without.copy(margin));

        QCustomPlot* plot = chart->Plot();
        const QCPAxis* time = plot->xAxis;
        const int y = plot->axisRect()->rect().center().y();
        const QPoint from(int(time->coordToPixel(DaysToKey(start + 20 * kSecond))), y);
        const QPoint to(int(time->coordToPixel(DaysToKey(start + 40 * kSecond))), y);
        QTest::mousePress(plot, Qt::LeftButton, Qt::ShiftModifier, from);
        QMouseEvent move(QEvent::MouseMove, to, plot->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(plot, &move);
        QTest::mouseRelease(plot, Qt::LeftButton, Qt::ShiftModifier, to);
        const double pixel = time->range().size() / plot->axisRect()->width() / 86400.0;
        QVERIFY(Near(chart->Span().first, start + 20 * kSecond, 2 * pixel));
        QVERIFY(Near(chart->Span().second, start + 40 * kSecond, 2 * pixel));
        QVERIFY(!chart->IsZoomed());  // no rectangle

        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!chart->HasSpan());
        QVERIFY(!window.SpanDock()->isVisible());
    }

    // Space starts at the left of the time shown; each frame moves the cursor on by the speed
    // times the frame's time, the readout and the track's aircraft with it; a page turns where
    // it leaves the time shown (no step of the history); it stops at the flight's last time.
    void playbackMovesTheCursorBySpeedTimesEachFrame() {
        Run run(dir.path());
        Show(run, Flight(1));
        MainWindow& window = run.window();
        ChartWidget* chart = window.Chart();
        const double last = chart->View().to;  // 10:01:59
        QTest::keyClick(chart->Plot(), Qt::Key_Plus);
        QTest::keyClick(chart->Plot(), Qt::Key_Plus);  // 15 s shown
        const auto [from, to] = chart->TimeSpan();
        const size_t steps = window.History()->Steps().size();

        QTest::keyClick(&window, Qt::Key_Space);
        QVERIFY(window.Playing());
        QCOMPARE(window.PlaybackSpeed(), 16);
        QVERIFY(Near(chart->PlayCursor(), from));
        window.PlaybackFrame(0.05);
        QVERIFY(Near(chart->PlayCursor(), from + 0.8 * kSecond));
        QTest::keyClick(&window, Qt::Key_BracketRight);
        QCOMPARE(window.PlaybackSpeed(), 64);
        window.PlaybackFrame(0.05);
        const double at = from + 4 * kSecond;
        QVERIFY(Near(chart->PlayCursor(), at));
        QVERIFY(chart->Readout()->isVisible());
        QVERIFY(chart->Readout()->text().startsWith("14/3/24 10:01:"));
        const Track& track = *window.TrackPane()->Shown();
        QVERIFY(window.TrackPane()->Marker().has_value());
        const size_t marker = *window.TrackPane()->Marker();
        QVERIFY(track.Point(marker).time <= at && (marker + 1 == track.Size() || track.Point(marker + 1).time > at));

        window.PlaybackFrame(0.2);  // 12.8 s on: past the time shown
        const auto [turnedFrom, turnedTo] = chart->TimeSpan();
        QVERIFY(turnedFrom > from && chart->PlayCursor() > turnedFrom && chart->PlayCursor() < turnedTo);
        QVERIFY(Near(turnedTo - turnedFrom, to - from));
        QCOMPARE(window.History()->Steps().size(), steps);

        QTest::keyClick(&window, Qt::Key_Space);
        QVERIFY(!window.Playing());
        const double paused = chart->PlayCursor();
        window.PlaybackFrame(0.2);
        QCOMPARE(chart->PlayCursor(), paused);
        QTest::keyClick(&window, Qt::Key_Space);  // on from where it paused
        for (int i = 0; i < 20 && window.Playing(); ++i) window.PlaybackFrame(0.25);
        QVERIFY(!window.Playing());
        QCOMPARE(chart->PlayCursor(), last);
    }

    // F1 shows every action with a shortcut, its tooltip naming it, and the gestures of each
    // pane, grouped by where they act.
    void shortcutSheetListsEveryActionAndGesture() {
        Run run(dir.path());
        MainWindow& window = run.window();
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_F1);
        QVERIFY(window.Sheet()->isVisible());
        const std::vector<SheetRow> rows = ShortcutRows(&window);
        const auto listed = [&rows](const QString& keys, const QString& where = {}) {
            return std::any_of(rows.begin(), rows.end(), [&](const SheetRow& r) {
                return r.keys == keys && (where.isEmpty() || r.where == where);
            });
        };
        int actions = 0;
        for (const QAction* a : window.findChildren<QAction*>()) {
            if (a->shortcuts().isEmpty()) continue;
            ++actions;
            const QString keys = KeysText(a->shortcuts());
            QVERIFY2(a->toolTip().endsWith(" (" + keys + ")"), qPrintable(a->objectName() + ": " + a->toolTip()));
            QVERIFY2(listed(keys), qPrintable(keys));
        }
        QVERIFY(actions >= 14);
        for (const auto& [keys, where] : std::vector<std::pair<QString, QString>>{
                 {"Ctrl+O", "Window"}, {"Backspace, Alt+Left", "Chart"}, {"Shift+drag, or a click then Shift+click", "Chart"},
                 {"Space", "Playback"}, {"]", "Playback"}, {"Double-click", "Track"}, {"Enter or double-click", "Logbook"},
                 {"Drag to the right", "Strips"}})
            QVERIFY2(listed(keys, where), qPrintable(keys));
        int shown = 0;
        for (int g = 0; g < window.Sheet()->Tree()->topLevelItemCount(); ++g)
            shown += window.Sheet()->Tree()->topLevelItem(g)->childCount();
        QCOMPARE(size_t(shown), rows.size());
        QTest::keyClick(window.Sheet(), Qt::Key_F1);
        QVERIFY(!window.Sheet()->isVisible());
    }

    // The Flight dialog opens where the flight shown lies (else in Flights_INT) with the
    // flights shown last beside it; the export dialogs propose the flight's name in Exports,
    // and the status strip names the file written.
    void dialogsStartAtTheFlightAndProposeItsName() {
        const QString a = Flight(1), b = Flight(5, "Elsewhere");
        Run run(dir.path());
        MainWindow& window = run.window();
        window.FlightCommand();
        QCOMPARE(run.prompter.asked.last().folder, Path("Flights_INT"));
        QVERIFY(run.prompter.asked.last().recent.isEmpty());
        Show(run, a);
        window.ShowFlight(b);
        window.FlightCommand();
        QCOMPARE(run.prompter.asked.last().folder, Path("Elsewhere/"));
        QCOMPARE(run.prompter.asked.last().recent, QStringList({b, a}));

        for (const auto& [command, extension] : std::vector<std::pair<void (MainWindow::*)(), QString>>{
                 {&MainWindow::KmlCommand, "KML"}, {&MainWindow::GpxCommand, "gpx"}, {&MainWindow::JpegCommand, "JPG"},
                 {&MainWindow::ReportCommand, "pdf"}}) {
            run.prompter.answers.enqueue(Path("Exports/out." + extension));
            (window.*command)();
            QVERIFY(run.prompter.errors.isEmpty());
            QCOMPARE(run.prompter.asked.last().folder, Path("Exports"));
            QCOMPARE(run.prompter.asked.last().initialName, "2024-03-14 10-05-00." + extension);
            QCOMPARE(window.NoteLabel()->text(), "out." + extension + " created in " + Path("Exports/"));
        }
        QVERIFY(run.prompter.messages.isEmpty());  // no message box: the picture and KML show none
        // The report's names the file, with a button to open it.
        QCOMPARE(run.prompter.offers, QStringList({"The report " + QDir::toNativeSeparators(Path("Exports/out.pdf")) +
                                                   " is written, 2 pages."}));
        QFile pdf(Path("Exports/out.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
        pdf.close();
        // Its dialog offers the charts of the items charted instead of the engine's.
        QCOMPARE(run.prompter.asked.last().choice, QString("Chart the items charted in the window (else the engine's items)"));
        run.prompter.answers.enqueue(Path("Exports/charted.pdf"));
        run.prompter.choices.enqueue(true);
        window.ReportCommand();
        QVERIFY(run.prompter.errors.isEmpty());
        QVERIFY(run.prompter.choices.isEmpty());
        QVERIFY(QFile::exists(Path("Exports/charted.pdf")));
    }
};

QTEST_MAIN(ViewerToolsTest)
#include "viewer_tools_test.moc"
