// Under the track: the readout of the position and altitude at a point, in the position
// format and altitude unit chosen, and the altitude profile tied to the chart's time (the
// time under the mouse goes out, the chart's span is shaded, its hover time marked).
#include <QtTest>

#include <cmath>

#include "chart/track_view.h"
#include "support/track_fixture.h"

using namespace krelby;
using namespace krelby::testing;

class TrackProfileTest : public QObject {
    Q_OBJECT

private slots:
    void theReadoutGivesThePointsPositionAndAltitude_data() {
        QTest::addColumn<int>("geoPos");
        QTest::addColumn<int>("altitude");
        QTest::addColumn<QString>("text");
        QTest::newRow("degrees and minutes") << 0 << 0 << "N 50°00.000' E 008°01.800'   PALT 1300 ft";
        QTest::newRow("decimal degrees, metres") << 1 << 1 << "N 50.00000° E 8.03000°   PALT 396 m";
        QTest::newRow("degrees, minutes, seconds") << 2 << 0 << "N 50°00'00.0\" E 8°01'48.0\"   PALT 1300 ft";
        QTest::newRow("unknown format") << 7 << 0 << "N 50°00.000' E 008°01.800'   PALT 1300 ft";
    }
    void theReadoutGivesThePointsPositionAndAltitude() {
        QFETCH(int, geoPos);
        QFETCH(int, altitude);
        QFETCH(QString, text);
        UnitSettings units;
        units.GeoPos = int16_t(geoPos);
        units.Altitude = int16_t(altitude);
        TrackView view;
        const Track t = Square();
        view.SetTrack(&t);
        view.SetUnits(&units);
        view.resize(300, 400);
        QVERIFY(view.ReadoutText().isEmpty());
        Send(&view, QEvent::MouseMove, PixelOf(view, 3) + QPointF(2, 1));
        QCOMPARE(view.ReadoutText(), text);
        // Off the track the place under the mouse (a little south of the point), without an
        // altitude; the same longitude.
        Send(&view, QEvent::MouseMove, PixelOf(view, 3) + QPointF(0, 30));
        QVERIFY2(view.ReadoutText().startsWith("N 49"), qPrintable(view.ReadoutText()));
        QCOMPARE(view.ReadoutText().section(' ', 2, 3), text.section(' ', 2, 3));
        QVERIFY(!view.ReadoutText().contains("PALT"));
    }

    void theProfileIsTiedToTheChartsTime() {
        TrackView view;
        const Track t = Square();
        view.SetTrack(&t);
        view.resize(300, 400);
        const QRect plot = view.ProfilePlot();
        QVERIFY(plot.width() > 200 && plot.height() > 40);
        const auto at = [&](double seconds) { return 1000 + seconds * kTrackSecond; };
        QCOMPARE(view.ProfileX(at(0)), double(plot.left()));
        QSignalSpy hovered(&view, &TrackView::TimeHovered);
        Send(&view, QEvent::MouseMove, QPointF(view.ProfileX(at(3.5)), plot.center().y()));
        QCOMPARE(hovered.size(), 1);
        QVERIFY(std::abs(hovered.last().at(0).toDouble() - at(3.5)) < 1e-9);
        QCOMPARE(view.Marker(), std::optional<size_t>(3));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&view, &leave);
        QVERIFY(std::isnan(hovered.last().at(0).toDouble()));
        // The chart showing 2 to 5 s, its mouse at 6.2 s: the span shaded, the time marked,
        // above the curve where nothing else is drawn.
        const QImage plain = view.Grab(view.size());
        view.SetTimeSpan(at(2), at(5));
        view.SetMarkerTime(at(6.2));
        const QImage tied = view.Grab(view.size());
        const int top = plot.top() + 3;
        const int inSpan = int(view.ProfileX(at(3.5))), outside = int(view.ProfileX(at(8))),
                  marked = int(std::floor(view.ProfileX(at(6.2))));
        QVERIFY(tied.pixel(inSpan, top) != plain.pixel(inSpan, top));
        QCOMPARE(tied.pixel(outside, top), plain.pixel(outside, top));
        QVERIFY(tied.pixelColor(marked, top).red() > tied.pixelColor(marked, top).green() + 60);
        QCOMPARE(plain.pixel(marked, top), plain.pixel(outside, top));
    }
};

QTEST_MAIN(TrackProfileTest)
#include "track_profile_test.moc"
