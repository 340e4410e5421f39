// The Logbook window: fills from a worker, newest first, sorts, filters, totals, shows a
// flight on double-click, exports the listing, and follows an import.
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include "app/elided_label.h"
#include "app/logbook_window.h"
#include "app_test_support.h"
#include "logbook/logbook.h"

using namespace krelby;
using namespace krelby::testing;

namespace {

// One minute of flight starting at 10:mm:00 on 14 March 2024.
std::vector<Frame> FlightAtMinute(int minute) {
    std::vector<Frame> frames;
    for (int s = 0; s < 60; ++s) {
        frames.push_back(FlightAt(minute, s, 1000 + 10 * s));
        frames.push_back(GpsAt(-4860000, 27000000 + 100 * s, 1000));
    }
    return frames;
}

}  // namespace

class LogbookTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.path() + "/" + name; }
    QString Cell(QTableView* table, int row, int column) { return table->model()->index(row, column).data().toString(); }

private slots:
    void fillsSortsFiltersAndShowsAFlight() {
        QDir().mkpath(Path("Flights_INT"));
        WriteFrames(Path("Flights_INT/a.FLT"), FlightAtMinute(1));
        WriteFrames(Path("Flights_INT/b.FLT"), FlightAtMinute(20));
        WriteFrames(Path("Flights_INT/c.FLT"), {GpsAt(0, 0, 0)});  // no start
        Run run(dir.path());
        run.session().settings.units.Altitude = 1;  // metres
        run.session().settings.selection.Set(1, true);
        run.window().LogbookCommand();
        LogbookWindow* logbook = run.window().Logbook();
        QVERIFY(logbook->isVisible());
        QTRY_VERIFY(!logbook->Busy() && logbook->Table()->model()->rowCount() == 3);

        QTableView* table = logbook->Table();
        QCOMPARE(Cell(table, 0, 0), QString("Flights_INT/b.FLT"));  // newest first, no start last
        QCOMPARE(Cell(table, 1, 0), QString("Flights_INT/a.FLT"));
        QCOMPARE(Cell(table, 2, 0), QString("Flights_INT/c.FLT"));
        QCOMPARE(Cell(table, 0, 1), QString("2024-03-14 10:20:00"));
        QCOMPARE(table->model()->headerData(8, Qt::Horizontal).toString(), QString("Max pressure altitude (m)"));
        QCOMPARE(Cell(table, 0, 8), QString("485"));  // 1590 ft
        QCOMPARE(logbook->Totals()->text(), QString("3 flights, 0:01:58 in all, 0:01:58 airborne, 3.5 nm"));

        table->sortByColumn(0, Qt::AscendingOrder);
        QCOMPARE(Cell(table, 0, 0), QString("Flights_INT/a.FLT"));
        logbook->Filter()->setText("10:20");
        QCOMPARE(table->model()->rowCount(), 1);
        QVERIFY(logbook->Totals()->text().startsWith("1 flights"));

        // Enter (as a double-click): the flight shown as the Flight command shows it.
        table->setCurrentIndex(table->model()->index(0, 0));
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(QString::fromStdString(run.session().CurrentFlightFile), Path("Flights_INT/b.FLT"));
        QCOMPARE(run.session().chart.SlotsInChart(), 1);
        QCOMPARE(run.window().FlightLabel()->text(), Path("Flights_INT/b.FLT"));

        // The export: the same CSV as the command line's listing.
        run.prompter.answers.enqueue(Path("log"));
        logbook->ExportCsv();
        QFile csv(Path("log.CSV"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll().toStdString(),
                 LogbookCsv(ListFlights(run.session().ProgramFolder, run.session().settings.thermocouples)));
    }

    void anImportRefreshesAnOpenLogbookAndSelectsTheNewFlights() {
        Run run(dir.path());
        run.window().LogbookCommand();
        LogbookWindow* logbook = run.window().Logbook();
        QTRY_VERIFY(!logbook->Busy());
        const int before = logbook->Table()->model()->rowCount();
        std::vector<Frame> recording = FlightAtMinute(40);
        WriteRecording(Path("ZelvoBB.DAT"), recording);
        run.prompter.answers.enqueue(Path("ZelvoBB.DAT"));
        run.window().ImportInternal();
        QTRY_VERIFY(!logbook->Busy() && logbook->Table()->model()->rowCount() == before + 1);
        const QModelIndexList selected = logbook->Table()->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QVERIFY(selected[0].data().toString().startsWith("Flights_INT/14-3-24 1040"));
    }
};

QTEST_MAIN(LogbookTest)
#include "logbook_test.moc"
