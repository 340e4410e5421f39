// The track pane: what it draws, the marker and the mouse, and its ties to the chart and
// the window (Ctrl+K, remembered per user).
#include <QtTest>

#include <QCheckBox>
#include <QDockWidget>
#include <QLabel>
#include <qcustomplot.h>

#include <array>
#include <cmath>

#include "app_test_support.h"
#include "chart/chart_plot.h"
#include "chart/chart_widget.h"
#include "app/options_dialog.h"
#include "chart/track_view.h"
#include "app/engine_pane.h"
#include "support/jpeg_decode.h"
#include "support/track_fixture.h"

using namespace krelby;
using namespace krelby::testing;

namespace {

constexpr double kSecond = kTrackSecond;

bool Near(QPointF a, QPointF b) { return QLineF(a, b).length() < 1e-6; }

int Differing(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

}  // namespace

class TrackTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void init() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path() + "/config"); }

    void drawsTheTrackOrSaysThereAreNoPositions() {
        TrackView view;
        const QSize size(300, 300);
        const QImage nothing = view.Grab(size);
        const Track none;
        view.SetTrack(&none);
        const QImage empty = view.Grab(size);
        const Track t = Square();
        view.SetTrack(&t);
        const QImage drawn = view.Grab(size);
        QVERIFY(Differing(nothing, empty) > 100);  // "No positions in this flight"
        QVERIFY(Differing(empty, drawn) > 500);
        // The chart showing the first half: the rest fades, so the picture changes.
        view.SetTimeSpan(1000, 1000 + 4.5 * kSecond);
        QCOMPARE(view.VisibleSpan().begin, size_t(0));
        QCOMPARE(view.VisibleSpan().end, size_t(5));
        const QImage faded = view.Grab(size);
        QVERIFY(Differing(drawn, faded) > 50);
        // The same track object holding another flight (the same way, descending) is drawn anew.
        Track other = Square();
        view.SetTrack(&other);
        QCOMPARE(Differing(drawn, view.Grab(size)), 0);
        std::vector<TrackPoint> descending;
        for (size_t i = 0; i < other.Size(); ++i) descending.push_back(other.Point(i));
        for (TrackPoint& p : descending) p.paltFeet = 2900 - p.paltFeet;
        other = Track(descending);
        view.SetTrack(&other);
        QVERIFY(Differing(drawn, view.Grab(size)) > 50);
    }

    void pictureAndPageHoldThePaneBesideTheChart() {
        ChartModel model;
        ChartWidget chart(model);
        chart.resize(500, 300);
        TrackView view;
        const Track t = Square();
        view.SetTrack(&t);
        view.resize(200, 300);
        const QRgb paper = view.Grab(QSize(10, 10)).pixel(5, 5);
        const auto paperIn = [paper](const QImage& image, const QRect& r) {
            int n = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x) n += image.pixel(x, y) == paper;
            return n;
        };
        const QImage picture = GrabBeside(chart, chart.size(), view, view.size());
        QCOMPARE(picture.size(), QSize(700, 300));
        QCOMPARE(paperIn(picture, QRect(0, 0, 500, 300)), 0);
        QVERIFY(paperIn(picture, QRect(500, 0, 200, 300)) > 200 * 300 / 2);
        // On the page, within the chart's margins: the pane takes the right two sevenths.
        QImage page(1400, 1000, QImage::Format_RGB32);
        page.fill(Qt::white);
        PrintPageBeside(chart, view, page);
        QCOMPARE(paperIn(page, QRect(0, 0, 1400, 270)), 0);
        QCOMPARE(paperIn(page, QRect(210, 270, 700, 460)), 0);
        QVERIFY(paperIn(page, QRect(910, 270, 280, 460)) > 280 * 460 / 2);
    }

    void markerFollowsTheChartAndTheMouse() {
        TrackView view;
        const Track t = Square();
        view.SetTrack(&t);
        view.resize(300, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        struct Case {
            double seconds;
            std::optional<size_t> marker;
        };
        for (const Case& c : {Case{-1, std::nullopt}, Case{0, 0}, Case{3.5, 3}, Case{60, 9}}) {
            view.SetMarkerTime(1000 + c.seconds * kSecond);
            QCOMPARE(view.Marker(), c.marker);
        }
        QSignalSpy hovered(&view, &TrackView::TimeHovered), clicked(&view, &TrackView::TimeClicked),
            zoom(&view, &TrackView::TimeDoubleClicked);
        Send(&view, QEvent::MouseMove, PixelOf(view, 7) + QPointF(3, -2));
        QCOMPARE(hovered.size(), 1);
        QCOMPARE(hovered.last().at(0).toDouble(), t.Point(7).time);
        QCOMPARE(view.Marker(), std::optional<size_t>(7));
        view.SetMarkerTime(1000);  // the mouse on the track keeps the marker
        QCOMPARE(view.Marker(), std::optional<size_t>(7));
        Send(&view, QEvent::MouseButtonPress, PixelOf(view, 2), Qt::LeftButton);
        Send(&view, QEvent::MouseButtonRelease, PixelOf(view, 2), Qt::LeftButton);
        Send(&view, QEvent::MouseButtonDblClick, PixelOf(view, 4), Qt::LeftButton);
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(clicked.last().at(0).toDouble(), t.Point(2).time);
        QCOMPARE(zoom.size(), 1);
        QCOMPARE(zoom.last().at(0).toDouble(), t.Point(4).time);
        Send(&view, QEvent::MouseMove, QPoint(5, 5));  // off the track
        QVERIFY(std::isnan(hovered.last().at(0).toDouble()));
    }

    void wheelZoomsAroundTheMouseDragPansAndHomeFits() {
        TrackView view;
        const Track t = Square();
        view.SetTrack(&t);
        view.resize(300, 300);
        const PixelMap fitted = view.Map(view.size());
        const QPointF at = PixelOf(view, 3);
        view.ZoomAround(at, 4);
        QVERIFY(Near(PixelOf(view, 3), at));
        QVERIFY(std::abs(view.Map(view.size()).scale / fitted.scale - 4) < 1e-9);
        Send(&view, QEvent::MouseButtonPress, at, Qt::LeftButton);
        QMouseEvent drag(QEvent::MouseMove, at + QPointF(40, 10), view.mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(&view, &drag);
        Send(&view, QEvent::MouseButtonRelease, at + QPointF(40, 10), Qt::LeftButton);
        QVERIFY(Near(PixelOf(view, 3), at + QPointF(40, 10)));
        QTest::keyClick(&view, Qt::Key_Home);
        QCOMPARE(view.Map(view.size()).scale, fitted.scale);
        QVERIFY(Near(PixelOf(view, 0), QPointF(fitted.PixelX(t.X(0)), fitted.PixelY(t.Y(0)))));
    }

    // The line breaks at a lost fix and where good positions lie over 10 s apart: nothing
    // is drawn across the gap from the end of one part to the start of the next.
    void aGapInThePositionsBreaksTheLine_data() {
        QTest::addColumn<double>("gapSeconds");
        QTest::addColumn<bool>("lostFix");
        QTest::addColumn<bool>("bridged");
        QTest::newRow("11 s apart") << 11.0 << false << false;
        QTest::newRow("the fix lost") << 1.0 << true << false;
        QTest::newRow("10 s apart") << 10.0 << false << true;
    }
    void aGapInThePositionsBreaksTheLine() {
        QFETCH(double, gapSeconds);
        QFETCH(bool, lostFix);
        QFETCH(bool, bridged);
        // East along the south edge, then, after the gap, east along the north edge: a
        // bridge would cross the middle of the pane.
        std::vector<TrackPoint> points;
        for (int i = 0; i < 10; ++i) {
            const bool north = i >= 5;
            const double time = 1000 + (i + (north ? gapSeconds - 1 : 0)) * kSecond;
            points.push_back({time, north ? 50.04 : 50.0, 8.0 + (i % 5) * 0.01, 1000, lostFix && i == 5});
        }
        const Track t(std::move(points));
        TrackView view;
        view.SetTrack(&t);
        view.resize(300, 300);
        const QImage image = view.Grab(view.size());
        const QPointF middle = (PixelOf(view, 4) + PixelOf(view, 5)) / 2;
        const QRgb paper = image.pixel(5, 150);
        int ink = 0;
        for (int dy = -3; dy <= 3; ++dy)
            for (int dx = -3; dx <= 3; ++dx) ink += image.pixel(middle.toPoint() + QPoint(dx, dy)) != paper;
        QCOMPARE(ink > 0, bridged);
        // The altitude profile breaks there too: nothing under it in the middle of the gap.
        const int x = int(view.ProfileX((t.Point(4).time + t.Point(5).time) / 2));
        QCOMPARE(image.pixel(x, view.ProfilePlot().bottom() - 2) != paper, bridged);
    }

    // The mouse picks the nearest point within 8 px of it, and none farther.
    void hoverFindsTheNearestPointWithinEightPixels() {
        TrackView view;
        const Track t = Square();
        view.SetTrack(&t);
        view.resize(300, 300);
        const QPointF two = PixelOf(view, 2), three = PixelOf(view, 3);
        struct Case {
            QPointF at;
            std::optional<size_t> point;
        };
        for (const Case& c : {Case{two + QPointF(0, 7.9), 2}, Case{two + QPointF(0, 8.2), std::nullopt},
                              Case{two + (three - two) * 0.2 + QPointF(0, 1), 2},
                              Case{two + (three - two) * 0.8 + QPointF(0, 1), 3}})
            QCOMPARE(view.PointNear(c.at), c.point);
    }

    // The pane keeps its zoom through the chart's zooms and a new replay of the flight
    // shown (new units); it fits the track again only for another flight.
    void thePaneKeepsItsZoomUntilAnotherFlightIsShown() {
        const QString first = dir.path() + "/Flights_INT/a.FLT", second = dir.path() + "/Flights_INT/b.FLT";
        QDir().mkpath(dir.path() + "/Flights_INT");
        WriteFrames(first, OneMinuteFlight());
        WriteFrames(second, OneMinuteFlight());
        Run run(dir.path());
        MainWindow& window = run.window();
        run.session().settings.selection.Set(1, true);
        window.show();
        window.ViewTrack()->setChecked(true);
        window.ShowFlight(first);
        TrackView* pane = window.TrackPane();
        QApplication::processEvents();
        const auto map = [pane] {
            const PixelMap m = pane->Map(pane->size());
            return std::array<double, 3>{m.originX, m.originY, m.scale};
        };
        const auto fitted = map();
        pane->ZoomAround(QPointF(pane->width() / 3.0, pane->height() / 2.0), 3);
        const auto zoomed = map();
        QVERIFY(zoomed != fitted);
        ChartWidget* chart = window.Chart();
        const double start = pane->Shown()->Point(0).time;
        chart->ZoomToTime(start + 10 * kSecond, start + 20 * kSecond, 2, false);
        QCustomPlot* plot = chart->Plot();
        const QPoint at = plot->axisRect()->rect().center();
        QWheelEvent wheel(at, plot->mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(plot, &wheel);
        chart->ResetZoom(false);
        QCOMPARE(map(), zoomed);
        QTimer::singleShot(0, window.Options(), &QDialog::reject);
        window.OptionsCommand();
        QCOMPARE(map(), zoomed);
        window.ShowFlight(second);
        QCOMPARE(map(), fitted);
    }

    // At the first start's size (780x612) with the pane on, the chart's plot keeps 300 px
    // in sight, in the single chart and in the strips: the pane narrows, or where that is
    // not enough the window grows.
    void withThePaneTheChartsPlotKeepsThreeHundredPixels_data() {
        QTest::addColumn<QList<int>>("items");
        QTest::addColumn<bool>("strips");
        QTest::newRow("altitude") << QList<int>{1} << false;
        QTest::newRow("four axes") << QList<int>{1, 3, 6, 11} << false;  // the window grows
        QTest::newRow("five axes in strips") << QList<int>{1, 3, 6, 11, 12} << true;
    }
    void withThePaneTheChartsPlotKeepsThreeHundredPixels() {
        QFETCH(QList<int>, items);
        QFETCH(bool, strips);
        QTemporaryDir own;  // the strips and the pane stay this test's
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, own.path() + "/config");
        const QString flight = own.path() + "/Flights_INT/a.FLT";
        QDir().mkpath(own.path() + "/Flights_INT");
        std::vector<Frame> frames;
        for (const Frame& f : OneMinuteFlight()) {
            frames.push_back(f);
            frames.push_back(EngineOf(1).Rpm(2400).OilPressure(uint16_t(40000 + frames.size())).Sealed());
        }
        WriteFrames(flight, frames);
        Run run(own.path());
        MainWindow& window = run.window();
        for (int item : items) run.session().settings.selection.Set(item, true);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.size(), QSize(780, 612));
        window.StripsBox()->setChecked(strips);
        window.ViewTrack()->setChecked(true);
        window.ShowFlight(flight);
        QCustomPlot* plot = window.Chart()->Plot();
        // All of it in sight: the chart does not scroll it away.
        const auto inSight = [plot] {
            plot->replot();
            const QRect area = plot->axisRect()->rect();
            return area.width() >= 300 && plot->visibleRegion().boundingRect().contains(area);
        };
        QTRY_VERIFY_WITH_TIMEOUT(inSight(), 3000);
        QVERIFY(window.TrackDock()->isVisible());
        QVERIFY(window.TrackPane()->width() >= window.TrackPane()->minimumWidth());
    }

    // The JPEG export with the pane shown is as tall as the chart: the pane runs beside the
    // Exceedances pane too on screen, but the picture has no empty band under the chart.
    void theJpegBesideThePaneIsAsTallAsTheChart() {
        Run run(dir.path());
        Settings& s = run.session().settings;
        for (int input = 4; input < 8; ++input) s.thermocouples[size_t(input)] = CHT;
        s.limits.Set(LimitKey::ChtMax, 180);
        for (int item : {1, 3, 25}) s.selection.Set(item, true);
        MainWindow& window = run.window();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        run.prompter.answers.enqueue(KRELBY_SOURCE_DIR "/samples/ZelvoBB.DAT");
        window.ImportInternal();
        window.ViewTrack()->setChecked(true);
        window.StripsBox()->setChecked(true);
        window.ShowFlight(dir.path() + "/Flights_INT/5-3-14 094117.FLT");
        QTRY_VERIFY(window.Engine()->isVisible());
        QApplication::processEvents();
        const QSize chart = window.Chart()->size(), pane = window.TrackPane()->size();
        QVERIFY(pane.height() > chart.height());
        run.prompter.answers.enqueue(dir.path() + "/view.JPG");
        window.JpegCommand();
        QFile file(dir.path() + "/view.JPG");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const DecodedJpeg jpeg = DecodeJpeg(reinterpret_cast<const uint8_t*>(bytes.data()), size_t(bytes.size()));
        QCOMPARE(QSize(jpeg.width, jpeg.height), QSize(chart.width() + pane.width(), chart.height()));
    }

    void windowTiesThePaneToTheChartAndRemembersIt() {
        const QString flight = dir.path() + "/Flights_INT/a.FLT";
        QDir().mkpath(dir.path() + "/Flights_INT");
        WriteFrames(flight, OneMinuteFlight());
        {
            Run run(dir.path());
            MainWindow& window = run.window();
            run.session().settings.selection.Set(1, true);
            window.show();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            QVERIFY(!window.ViewTrack()->isChecked());
            QTest::keyClick(&window, Qt::Key_K, Qt::ControlModifier);
            QVERIFY(window.ViewTrack()->isChecked());
            QVERIFY(window.TrackDock()->isVisible());
            window.ShowFlight(flight);
            TrackView* pane = window.TrackPane();
            QCOMPARE(pane->Shown()->Size(), size_t(60));

            ChartWidget* chart = window.Chart();
            const double start = pane->Shown()->Point(0).time;
            chart->ShowTimeSpan(start + 9.5 * kSecond, start + 20.5 * kSecond);
            QCOMPARE(pane->VisibleSpan().begin, size_t(10));
            QCOMPARE(pane->VisibleSpan().end, size_t(21));
            // A click on the track centres the chart's time there.
            emit pane->TimeClicked(start + 40 * kSecond);
            const auto [from, to] = chart->TimeSpan();
            QVERIFY(std::abs((from + to) / 2 - (start + 40 * kSecond)) < 0.01 * kSecond);
            // The mouse over the chart moves the marker to that time.
            QCustomPlot* plot = chart->Plot();
            const QPointF over(plot->xAxis->coordToPixel(DaysToKey(start + 40.3 * kSecond)),
                               plot->axisRect()->rect().center().y());
            Send(plot, QEvent::MouseMove, over);
            QCOMPARE(pane->Marker(), std::optional<size_t>(40));
            // The mouse over the profile puts the chart's cursor and readout at that time.
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(plot, &leave);
            QVERIFY(!chart->Readout()->isVisible());
            Send(pane, QEvent::MouseMove, QPointF(pane->ProfileX(start + 41.5 * kSecond), pane->ProfilePlot().center().y()));
            QVERIFY(chart->Readout()->isVisible());
            QCOMPARE(pane->Marker(), std::optional<size_t>(41));
            window.close();
        }
        Run again(dir.path());
        QVERIFY(again.window().ViewTrack()->isChecked());
    }
};

QTEST_MAIN(TrackTest)
#include "track_test.moc"
