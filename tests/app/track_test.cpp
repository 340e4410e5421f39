// The track pane: what it draws, the marker and the mouse, and its ties to the chart and
// the window (Ctrl+K, remembered per user).
#include <QtTest>

#include <QCheckBox>
#include <QDockWidget>
#include <qcustomplot.h>

#include <cmath>

#include "app_test_support.h"
#include "chart/chart_plot.h"
#include "chart/chart_widget.h"
#include "chart/track_view.h"

using namespace krelby;
using namespace krelby::testing;

namespace {

constexpr double kSecond = 1.0 / 86400.0;

// Ten points a second apart going east then north, climbing.
Track Square() {
    std::vector<TrackPoint> points;
    for (int i = 0; i < 10; ++i)
        points.push_back({1000 + i * kSecond, i < 5 ? 50.0 : 50.0 + (i - 4) * 0.01, i < 5 ? 8.0 + i * 0.01 : 8.04,
                          1000 + 100 * i});
    return Track(std::move(points));
}

QPointF PixelOf(const TrackView& view, size_t i) {
    const PixelMap m = view.Map(view.size());
    const Track& t = *view.Shown();
    return QPointF(m.PixelX(t.X(i)), m.PixelY(t.Y(i)));
}
bool Near(QPointF a, QPointF b) { return QLineF(a, b).length() < 1e-6; }

void Send(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButton button = Qt::NoButton) {
    QMouseEvent e(type, at, w->mapToGlobal(at), button, type == QEvent::MouseMove ? Qt::NoButton : button, {});
    QApplication::sendEvent(w, &e);
}

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
        Send(&view, QEvent::MouseMove, QPoint(5, 295));  // off the track
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
            window.close();
        }
        Run again(dir.path());
        QVERIFY(again.window().ViewTrack()->isChecked());
    }
};

QTEST_MAIN(TrackTest)
#include "track_test.moc"
