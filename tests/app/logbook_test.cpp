// The Logbook window: fills from a worker, newest first, sorts, filters, totals, shows a
// flight on double-click, exports the listing, and follows an import.
#include <QHeaderView>
#include <QLabel>
#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QListWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <qcustomplot.h>
#include <clocale>
#include <cmath>
#include <memory>

#include "app/elided_label.h"
#include "app/logbook_window.h"
#include "app/trends_view.h"
#include "app_test_support.h"
#include "logbook/columns.h"
#include "logbook/logbook.h"
#include "logbook/summary.h"

using namespace krelby;
using namespace krelby::testing;

namespace {

// One minute of flight starting at 10:mm:00 on 14 March 2024.
int Column(std::string_view name) {
    const auto& columns = LogbookColumns();
    for (size_t c = 0; c < columns.size(); ++c)
        if (columns[c].name == name) return LogbookModel::kFirstFigure + int(c);
    return -1;
}

std::vector<Frame> FlightAtMinute(int minute) {
    std::vector<Frame> frames;
    for (int s = 0; s < 60; ++s) {
        frames.push_back(Airborne(minute, s, 1000 + 10 * s));
        frames.push_back(GpsAt(-4860000, 27000000 + 100 * s, 1000).Sealed());
    }
    return frames;
}

}  // namespace

class LogbookTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    QString Path(const QString& name) const { return dir->path() + "/" + name; }
    QString Cell(QTableView* table, int row, int column) { return table->model()->index(row, column).data().toString(); }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Path("config"));
    }

    void fillsSortsFiltersAndShowsAFlight() {
        QDir().mkpath(Path("Flights_INT"));
        WriteFrames(Path("Flights_INT/a.FLT"), FlightAtMinute(1));
        WriteFrames(Path("Flights_INT/b.FLT"), FlightAtMinute(20));
        WriteFrames(Path("Flights_INT/c.FLT"), {GpsAt(0, 0, 0).Sealed()});  // no start
        Run run(dir->path());
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
        QCOMPARE(Cell(table, 0, 2), QString("2024-03-14 10:20:00"));
        QCOMPARE(table->model()->headerData(9, Qt::Horizontal).toString(), QString("Max pressure altitude (m)"));
        QCOMPARE(Cell(table, 0, 9), QString("485"));  // 1590 ft
        QCOMPARE(logbook->Totals()->text(), QString("3 flights, 0:01:58 in all, 0:01:58 airborne, 4.0 mi"));  // miles with mph

        table->sortByColumn(0, Qt::AscendingOrder);
        QCOMPARE(Cell(table, 0, 0), QString("Flights_INT/a.FLT"));
        logbook->Filter()->setText("10:20");
        QCOMPARE(table->model()->rowCount(), 1);
        QVERIFY(logbook->Totals()->text().startsWith("1 flights"));
        run.session().regional.dateSeparator = '.';  // dates as the chart writes them
        logbook->Filter()->setText("14.3.24 10:20");
        QCOMPARE(table->model()->rowCount(), 1);
        logbook->Filter()->setText("14/3/24");
        QCOMPARE(table->model()->rowCount(), 0);
        logbook->Filter()->setText("10:20");

        // Enter (as a double-click): the flight shown as the Flight command shows it.
        table->setCurrentIndex(table->model()->index(0, 0));
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(QString::fromStdString(run.session().CurrentFlightFile), Path("Flights_INT/b.FLT"));
        QCOMPARE(run.session().chart.SlotsInChart(), 1);
        QCOMPARE(run.window().FlightLabel()->text(), Path("Flights_INT/b.FLT"));

        // The export: the rows shown in the order shown, as the command line writes them,
        // with "." decimals under a comma-decimal locale too.
        logbook->Filter()->setText("");
        table->sortByColumn(2, Qt::DescendingOrder);
        std::vector<LogbookEntry> shown = ListFlights(run.session().ProgramFolder, run.session().settings.thermocouples);
        std::swap(shown[0], shown[1]);  // b, a, then c without a start
        const std::string expected = LogbookCsv(shown);
        QVERIFY(expected.find("a.FLT,1,2024-03-14T10:01:00,") > expected.find("b.FLT,1,2024-03-14T10:20:00,"));
        for (const char* locale : {"C", "de_DE.UTF-8"}) {
            if (!std::setlocale(LC_ALL, locale)) continue;  // a system without it
            run.prompter.answers.enqueue(Path("log"));
            logbook->ExportCsv();
            QFile csv(Path("log.CSV"));
            QVERIFY(csv.open(QIODevice::ReadOnly));
            QCOMPARE(csv.readAll().toStdString(), expected);
            QCOMPARE(run.prompter.messages.last(), "3 flights written to " + Path("log.CSV"));
        }
        std::setlocale(LC_ALL, "C");
        logbook->Filter()->setText("10:20");
        run.prompter.answers.enqueue(Path("one.CSV"));
        logbook->ExportCsv();
        QCOMPARE(run.prompter.messages.last(), "1 flights written to " + Path("one.CSV"));
    }

    // Distances follow the speed unit in the title, the figures, the totals and the trends:
    // statute miles with mph, kilometres with km/h, nautical miles with knots. A flight
    // without positions has none (not 0.0) and adds nothing.
    void distancesFollowTheSpeedUnit_data() {
        QTest::addColumn<int>("speed");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<double>("factor");  // per nautical mile
        QTest::newRow("mph") << 0 << "mi" << 1.852 / 1.609344;
        QTest::newRow("km/h") << 1 << "km" << 1.852;
        QTest::newRow("kt") << 2 << "nm" << 1.0;
    }
    void distancesFollowTheSpeedUnit() {
        QFETCH(int, speed);
        QFETCH(QString, unit);
        QFETCH(double, factor);
        QDir().mkpath(Path("Flights_INT"));
        // Due north, a tenth of a degree: 6.0 nm on the logbook's sphere.
        std::vector<Frame> north;
        for (int s = 0; s < 60; ++s) {
            north.push_back(Airborne(1, s));
            north.push_back(GpsAt(50 * kPositionUnitsPerDegree + s * 305, 8 * kPositionUnitsPerDegree, 1000).Sealed());
        }
        WriteFrames(Path("Flights_INT/a.FLT"), north);
        std::vector<Frame> blind;  // no GpsMessage at all
        for (int s = 0; s < 60; ++s) blind.push_back(Airborne(30, s));
        WriteFrames(Path("Flights_INT/b.FLT"), blind);
        Run run(dir->path());
        run.session().settings.units.Speed = int16_t(speed);
        run.window().LogbookCommand();
        LogbookWindow* logbook = run.window().Logbook();
        QTRY_VERIFY(!logbook->Busy() && logbook->Table()->model()->rowCount() == 2);
        QTableView* table = logbook->Table();
        const int column = Column("distance_nm");
        QCOMPARE(table->model()->headerData(column, Qt::Horizontal).toString(), "Distance (" + unit + ")");
        const double nm = 2 * kEarthRadiusNm * std::asin(std::sin(59 * 305.0 / kPositionUnitsPerDegree * M_PI / 360));
        const QString figure = QString::number(nm * factor, 'f', 1);
        QCOMPARE(Cell(table, 0, 0), QString("Flights_INT/b.FLT"));
        QCOMPARE(Cell(table, 0, column), QString());
        QCOMPARE(Cell(table, 1, column), figure);
        QVERIFY2(logbook->Totals()->text().endsWith(", " + figure + " " + unit), qPrintable(logbook->Totals()->text()));
        TrendsView* trends = logbook->Trends();
        logbook->Tabs()->setCurrentWidget(trends);
        trends->Tick(column, true);
        trends->Rebuild();
        QCOMPARE(trends->Points().size(), size_t(1));
        QCOMPARE(trends->Points()[0].size(), size_t(1));  // the flight without positions has no point
        QCOMPARE(QString::number(trends->Points()[0][0].value, 'f', 1), figure);
    }

    // The internal and the SD recording of the same flights: each flight once, with both files.
    void copiesMakeOneRowAndFilesWithoutDataNone() {
        Run run(dir->path());
        run.prompter.answers.enqueue(KRELBY_SOURCE_DIR "/samples/ZelvoBB.DAT");
        run.window().ImportInternal();
        run.prompter.answers.enqueue(KRELBY_SOURCE_DIR "/samples/Zelvo.REC");
        run.window().ImportSd();
        QFile(Path("Flights_SD/empty.FLT")).open(QIODevice::WriteOnly);
        QFile foreign(Path("Logbook.sqlite"));  // not ours: left alone, and the window says so
        QVERIFY(foreign.open(QIODevice::WriteOnly) && foreign.write("not a database") == 14);
        foreign.close();
        run.window().LogbookCommand();
        LogbookWindow* logbook = run.window().Logbook();
        QTRY_VERIFY(!logbook->Busy());
        QTRY_COMPARE(logbook->Status()->text(), Path("Logbook.sqlite") + " is not the logbook's database; the flights are listed without it");
        QVERIFY(foreign.open(QIODevice::ReadOnly) && foreign.readAll() == "not a database");
        QTableView* table = logbook->Table();
        QCOMPARE(table->model()->rowCount(), 4);
        QVERIFY2(logbook->Totals()->text().startsWith("3 flights"), qPrintable(logbook->Totals()->text()));
        QCOMPARE(table->model()->headerData(1, Qt::Horizontal).toString(), QString("Copies"));
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(Cell(table, row, 1), QString("2"));
            const QStringList files = table->model()->index(row, 1).data(Qt::ToolTipRole).toString().split('\n');
            QCOMPARE(files.size(), 2);
            QCOMPARE(files[0], Cell(table, row, 0));
            QVERIFY(files[0].startsWith("Flights_INT/") && files[1].startsWith("Flights_SD/"));
        }
        for (auto [column, order] : {std::pair(0, Qt::AscendingOrder), std::pair(2, Qt::DescendingOrder)}) {
            table->sortByColumn(column, order);  // last whichever way it is sorted
            QCOMPARE(Cell(table, 3, 0), QString("Flights_SD/empty.FLT"));
            QCOMPARE(Cell(table, 3, 2), QString("no flight data"));
            QCOMPARE(Cell(table, 3, 1), QString());
            QVERIFY(table->model()->index(3, 0).data(Qt::ForegroundRole).isValid());  // greyed
        }
        // Enter shows the first of the copies.
        table->setCurrentIndex(table->model()->index(0, 0));
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(QString::fromStdString(run.session().CurrentFlightFile), Path(Cell(table, 0, 0)));
    }

    // A spread is a difference: 30 °C is 54 °F, not 86 °F. With every input still of the
    // default kind, a line says the engine figures follow the kinds.
    void spreadsConvertAsDifferencesAndTheKindsHint() {
        QDir().mkpath(Path("Flights_INT"));
        auto engine = [](int16_t a, int16_t b) {
            return EngineOf(1).TC(1, a).TC(2, b).Sealed();
        };
        WriteFrames(Path("Flights_INT/a.FLT"), {Airborne(1, 0), engine(700, 730), Airborne(1, 1)});
        Run run(dir->path());
        run.session().settings.units.Temp = 1;
        run.window().LogbookCommand();
        LogbookWindow* logbook = run.window().Logbook();
        QTRY_VERIFY(!logbook->Busy() && logbook->Table()->model()->rowCount() == 1);
        QAbstractItemModel* model = logbook->Table()->model();
        auto column = [&](const QString& heading) {
            for (int c = 0; c < model->columnCount(); ++c)
                if (model->headerData(c, Qt::Horizontal).toString() == heading) return c;
            return -1;
        };
        QCOMPARE(Cell(logbook->Table(), 0, column("Max EGT spread 1 (°F)")), QString("54"));
        QCOMPARE(Cell(logbook->Table(), 0, column("Max EGT 1 (°F)")), QString("1346"));
        QVERIFY(logbook->KindsHint()->isVisibleTo(logbook));
        QCOMPARE(logbook->KindsHint()->text(), QString("Engine figures follow the thermocouple kinds: set them in Options."));
        run.session().settings.thermocouples[1] = CHT;
        logbook->Refresh();
        QTRY_VERIFY(!logbook->Busy() && model->rowCount() == 1);
        QVERIFY(!logbook->KindsHint()->isVisibleTo(logbook));
    }

    // Wholly on the screen, the file column in sight, closed with Esc or Ctrl+W, its size
    // and place kept; a flight chosen brings the main window to the front.
    void theWindowFitsTheScreenClosesWithEscapeAndKeepsItsPlace() {
        QDir().mkpath(Path("Flights_INT"));
        WriteFrames(Path("Flights_INT/a.FLT"), FlightAtMinute(1));
        const QRect kept(40, 50, 500, 300);
        {
            Run run(dir->path());
            run.window().show();
            for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
                run.window().LogbookCommand();
                LogbookWindow* logbook = run.window().Logbook();
                QVERIFY(QTest::qWaitForWindowActive(logbook));
                QTRY_VERIFY(!logbook->Busy() && logbook->Table()->model()->rowCount() == 1);
                const QRect screen = logbook->screen()->availableGeometry();
                QVERIFY(screen.contains(logbook->frameGeometry()));
                QVERIFY(logbook->frameGeometry().width() <= screen.width() * 9 / 10 + 1);
                QVERIFY(logbook->FileColumn()->isVisible());
                QCOMPARE(logbook->FileColumn()->columnWidth(0), logbook->Table()->columnWidth(0));
                QTest::keySequence(logbook->Filter(), keys);
                QTRY_VERIFY(!logbook->isVisible());
            }
            LogbookWindow* logbook = run.window().Logbook();
            run.window().LogbookCommand();
            QVERIFY(QTest::qWaitForWindowActive(logbook));
            QTRY_VERIFY(!logbook->Busy() && logbook->Table()->model()->rowCount() == 1);
            logbook->Table()->setCurrentIndex(logbook->Table()->model()->index(0, 0));
            QTest::keyClick(logbook->Table(), Qt::Key_Return);
            QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&run.window()));
            logbook->setGeometry(kept);
            logbook->close();
        }
        Run run(dir->path());
        run.window().LogbookCommand();
        QCOMPARE(run.window().Logbook()->geometry(), kept);
    }

    // One point per flight (the two copies of February's once) at its start, in the units
    // shown; the filter narrows points and date axis alike; pointing names a flight, and a
    // double-click shows it.
    void trendsChartTheFlightsShown() {
        QDir().mkpath(Path("Flights_INT"));
        QDir().mkpath(Path("Flights_SD"));
        auto flight = [](int day, int month, int32_t altitude) {
            std::vector<Frame> frames;
            for (int s = 0; s < 10; ++s) frames.push_back(FlightAt(1, s).Date(day, month, 24).PAltitude(altitude).Sealed());
            return frames;
        };
        WriteFrames(Path("Flights_INT/x-jan.FLT"), flight(5, 1, 1000));
        WriteFrames(Path("Flights_INT/x-feb.FLT"), flight(5, 2, 2000));
        WriteFrames(Path("Flights_SD/x-feb.FLT"), flight(5, 2, 2000));
        WriteFrames(Path("Flights_INT/y-mar.FLT"), flight(20, 3, 3000));
        const double jan = 1704448860, mar = 1710928860;  // the first and last starts, 10:01:00
        Run run(dir->path());
        run.session().settings.units.Altitude = 1;  // metres
        run.window().LogbookCommand();
        LogbookWindow* logbook = run.window().Logbook();
        QTRY_VERIFY(!logbook->Busy() && logbook->Table()->model()->rowCount() == 3);
        logbook->Tabs()->setCurrentWidget(logbook->Trends());
        TrendsView* trends = logbook->Trends();

        // Every figure but the times is offered, without naming any: a new column is charted too.
        const auto& columns = LogbookColumns();
        QCOMPARE(trends->Figures()->count(),
                 std::count_if(columns.begin(), columns.end(), [](auto& c) { return c.quantity != Quantity::Time; }));
        QList<QListWidgetItem*> altitude = trends->Figures()->findItems("Max pressure altitude (m)", Qt::MatchExactly);
        QCOMPARE(altitude.size(), 1);
        altitude[0]->setCheckState(Qt::Checked);

        struct Case {
            QString filter;
            std::vector<std::pair<QString, double>> points;  // file and value, by start
        };
        const Case cases[] = {
            {"", {{"Flights_INT/x-jan.FLT", 304.8}, {"Flights_INT/x-feb.FLT", 609.6}, {"Flights_INT/y-mar.FLT", 914.4}}},
            {"x-", {{"Flights_INT/x-jan.FLT", 304.8}, {"Flights_INT/x-feb.FLT", 609.6}}},
        };
        QCustomPlot* plot = trends->Plot();
        for (const Case& c : cases) {
            logbook->Filter()->setText(c.filter);
            QTRY_VERIFY(trends->Points().size() == 1 && trends->Points()[0].size() == c.points.size());
            const auto& points = trends->Points()[0];
            for (size_t i = 0; i < points.size(); ++i) {
                QCOMPARE(points[i].row.data().toString(), c.points[i].first);
                QVERIFY(qAbs(points[i].value - c.points[i].second) < 0.01);  // metres, as the table shows them
            }
            const QCPRange x = plot->xAxis->range();
            QVERIFY(x.contains(jan) && x.contains(points.back().start) && x.contains(mar) == c.filter.isEmpty());
        }

        const auto at = [&](const TrendsView::Point& p) {
            return QPoint(int(plot->xAxis->coordToPixel(p.start)), int(plot->yAxis->coordToPixel(p.value)));
        };
        QTest::mouseMove(plot, at(trends->Points()[0][1]));
        QTRY_VERIFY2(trends->Readout()->text().startsWith("Flights_INT/x-feb.FLT, 5/2/24 10:01:00: Max pressure altitude (m) 610"),
                     qPrintable(trends->Readout()->text()));
        QTest::mouseDClick(plot, Qt::LeftButton, {}, at(trends->Points()[0][0]));
        QCOMPARE(QString::fromStdString(run.session().CurrentFlightFile), Path("Flights_INT/x-jan.FLT"));
    }

    void anImportRefreshesAnOpenLogbookAndSelectsTheNewFlights() {
        Run run(dir->path());
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
