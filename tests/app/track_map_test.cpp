// The map under the track in the window, over a tile server the test runs on 127.0.0.1: the
// tiles lie under the track where the track's positions are, across 180° too, in the pane
// and in its JPEG; a second window shows them from the cache with the server stopped, and
// says "Map offline" for a view the cache lacks.
#include <QtTest>

#include <QCheckBox>

#include <array>
#include <cmath>

#include "app_test_support.h"
#include "chart/chart_widget.h"
#include "chart/tile_fetcher.h"
#include "chart/track_view.h"
#include "support/jpeg_decode.h"
#include "support/tile_server.h"

using namespace krelby;
using namespace krelby::testing;

namespace {

// A minute east along 16.5° S from 179.95° E across the antimeridian to 179.95° W.
std::vector<Frame> AcrossTheAntimeridian() {
    std::vector<Frame> frames;
    for (int s = 0; s < 60; ++s) {
        double longitude = 179.95 + s * 0.1 / 59;
        if (longitude > 180) longitude -= 360;
        frames.push_back(Airborne(1, s, 1000 + 10 * s));
        frames.push_back(GpsAt(int32_t(-16.5 * 180000), int32_t(std::lround(longitude * 180000)), 1000).Sealed());
    }
    return frames;
}

// The tile that lies under pixel `at` of a pane drawn into an area of `area`.
TileId TileUnder(const TrackView& pane, QSize area, QPointF at) {
    const PixelMap m = pane.Map(area);
    const int z = TileZoomFor(std::log2(m.scale), 19);
    const double scale = std::exp2(z) / kTilePixels;
    return WrapTile(z, int64_t(std::floor(m.X(at.x()) * scale)), int(std::floor(-m.Y(at.y()) * scale)));
}

// 14 px south of point i of the track, clear of its line and halo.
QPointF SouthOf(const TrackView& pane, QSize area, size_t i) {
    const PixelMap m = pane.Map(area);
    const Track& t = *pane.Shown();
    return QPointF(m.PixelX(t.X(i)), m.PixelY(t.Y(i)) + 14);
}

int DarkPixels(const QImage& image, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += image.pixelColor(x, y).lightness() < 100;
    return n;
}

}  // namespace

class TrackMapTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void init() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path() + "/config");
        qputenv("XDG_CACHE_HOME", (dir.path() + "/cache").toUtf8());
    }

    void tilesLieUnderTheTrackInThePaneAndItsJpegAndComeFromTheCacheOffline() {
        const QString flight = dir.path() + "/Flights_INT/a.FLT";
        QDir().mkpath(dir.path() + "/Flights_INT");
        WriteFrames(flight, AcrossTheAntimeridian());
        TileServer server;
        server.headers = {"Cache-Control: max-age=3600"};
        size_t asked = 0;
        {
            Run run(dir.path());
            run.session().settings.selection.Set(1, true);
            MainWindow& window = run.window();
            window.show();
            window.ViewTrack()->setChecked(true);
            window.ShowFlight(flight);
            TrackView* pane = window.TrackPane();
            // Turned on, the map keeps the place and the ground scale the pane shows.
            const QPointF middle = SouthOf(*pane, pane->size(), 30) - QPointF(0, 14);
            pane->ZoomAround(middle, 1.3);
            const auto view = [pane, middle] {
                const PixelMap m = pane->Map(pane->size());
                const GeoPoint g = pane->Shown()->PositionAt(m.X(middle.x()), m.Y(middle.y()));
                return std::array<double, 3>{g.latitude, g.longitude, pane->Shown()->NmPerUnit(m.Y(middle.y())) / m.scale};
            };
            const auto flat = view();
            MapSettings map;
            map.shown = true;
            map.choice = MapChoice::User;
            map.userTemplate = server.Template();
            window.SetMap(map);
            QVERIFY(pane->MapShown());
            QCOMPARE(pane->Shown()->Projection(), TrackProjection::WebMercator);
            for (size_t k = 0; k < 3; ++k) QVERIFY(std::abs(view()[k] - flat[k]) < 1e-3 * std::abs(flat[k]));
            pane->Grab(pane->size());
            QTRY_VERIFY(!window.Tiles()->Busy());
            // West of 180° the world's last column of tiles, east of it its first.
            const QImage image = pane->Grab(pane->size());
            const TileId west = TileUnder(*pane, pane->size(), SouthOf(*pane, pane->size(), 10));
            const TileId east = TileUnder(*pane, pane->size(), SouthOf(*pane, pane->size(), 50));
            QCOMPARE(west.x, (1 << west.z) - 1);
            QCOMPARE(east.x, 0);
            for (size_t i : {10, 50})
                QCOMPARE(image.pixelColor(SouthOf(*pane, pane->size(), i).toPoint()),
                         TileColour(TileUnder(*pane, pane->size(), SouthOf(*pane, pane->size(), i))));
            // The JPEG: the pane right of the chart, as tall as it.
            run.prompter.answers.enqueue(dir.path() + "/view.JPG");
            window.JpegCommand();
            QFile file(dir.path() + "/view.JPG");
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            const DecodedJpeg jpeg = DecodeJpeg(reinterpret_cast<const uint8_t*>(bytes.data()), size_t(bytes.size()));
            const QSize area(pane->width(), window.Chart()->height());
            for (size_t i : {10, 50}) {
                const QPointF at = SouthOf(*pane, area, i);
                const QColor want = TileColour(TileUnder(*pane, area, at));
                const size_t k = (size_t(at.y()) * size_t(jpeg.width) + size_t(window.Chart()->width() + at.x())) * 3;
                QVERIFY2(std::abs(jpeg.rgb[k] - want.red()) < 10 && std::abs(jpeg.rgb[k + 1] - want.green()) < 10 &&
                             std::abs(jpeg.rgb[k + 2] - want.blue()) < 10,
                         qPrintable(QString("point %1").arg(i)));
            }
            asked = server.requests.size();
            QVERIFY(asked > 0);
            window.close();
        }
        server.Stop();
        Run again(dir.path());  // the map on, as the pilot left it
        again.session().settings.selection.Set(1, true);
        MainWindow& window = again.window();
        window.show();
        window.ShowFlight(flight);
        TrackView* pane = window.TrackPane();
        const QPointF at = SouthOf(*pane, pane->size(), 10);
        QCOMPARE(pane->Grab(pane->size()).pixelColor(at.toPoint()), TileColour(TileUnder(*pane, pane->size(), at)));
        QVERIFY(!window.Tiles()->Busy());
        QCOMPARE(server.requests.size(), asked);
        // Nearer than the cache holds: the server cannot be reached, and the pane says so at
        // its top right, under the altitude scale.
        const QRect note(pane->width() - 70, 30, 68, 10);
        QCOMPARE(DarkPixels(pane->Grab(pane->size()), note), 0);
        pane->ZoomAround(at, 8);
        pane->Grab(pane->size());
        QTRY_VERIFY(window.Tiles()->Offline());
        QVERIFY(DarkPixels(pane->Grab(pane->size()), note) > 10);
    }
};

QTEST_MAIN(TrackMapTest)
#include "track_map_test.moc"
