// The map over a tile server the test runs on 127.0.0.1: the tiles asked for and where
// each is drawn, the cache on a second view with the server gone, revalidation, the ways a
// server fails, and the wait of pictures drawn once.
#include <QtTest>

#include <QPainter>

#include "chart/map_layer.h"
#include "chart/tile_fetcher.h"
#include "support/tile_server.h"

using namespace krelby;
using namespace krelby::testing;

namespace {

const QColor kBackground(244, 243, 236);
constexpr qint64 kCacheBytes = 200 << 20;

// A fetcher of the server's tiles kept in `folder`.
std::unique_ptr<TileFetcher> MapOf(const TileServer& server, const QString& folder) {
    auto f = std::make_unique<TileFetcher>(folder, kCacheBytes);
    f->SetSource({server.Template(), "Test tiles", 19});
    return f;
}

QImage Paint(TileFetcher& f, const MapView& view, QSize size = {512, 512}, MapPicture* picture = nullptr) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter p(&image);
    const MapPicture drawn = PaintMapTiles(p, QRectF(QPointF(0, 0), size), view, f);
    if (picture) *picture = drawn;
    return image;
}

// A 512-pixel view of zoom 2 from world pixel (128, 128), and its 3 x 3 tiles in order.
const MapView kView{2, 128, 128};

std::vector<QByteArray> NineTiles() {
    std::vector<QByteArray> paths;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) paths.push_back(QString("/2/%1/%2.png").arg(x).arg(y).toLatin1());
    std::sort(paths.begin(), paths.end());
    return paths;
}

bool ShowsTile(const QImage& image, QPoint at, TileId tile) { return image.pixelColor(at) == TileColour(tile); }

}  // namespace

class MapFetchTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    int folders = 0;
    QString Folder() { return dir.path() + QString("/cache%1").arg(++folders); }

private slots:
    void asksForTheViewsTilesTwoAtATimeAndDrawsEachInItsPlace() {
        TileServer server;
        server.delayMs = 30;  // so that requests overlap
        auto map = MapOf(server, Folder());
        MapPicture picture;
        QCOMPARE(Paint(*map, kView, {512, 512}, &picture).pixelColor(100, 100), kBackground);
        QCOMPARE(picture.missing, 9);
        QTRY_VERIFY(!map->Busy());
        auto paths = server.Paths();
        QCOMPARE(paths.front(), QByteArray("/2/1/1.png"));  // the middle first
        std::sort(paths.begin(), paths.end());
        QCOMPARE(paths, NineTiles());
        QCOMPARE(server.maxOpen, 2);
        for (const TileRequest& r : server.requests) QCOMPARE(r.userAgent, QByteArray("Krelby/" KRELBY_VERSION " (flight data viewer)"));
        // World pixel (x, y) lies at picture pixel (x - 128, y - 128).
        const QImage image = Paint(*map, kView, {512, 512}, &picture);
        QCOMPARE(picture.tiles, 9);
        QVERIFY(ShowsTile(image, {0, 0}, {2, 0, 0}));
        QVERIFY(ShowsTile(image, {127, 127}, {2, 0, 0}));
        QVERIFY(ShowsTile(image, {128, 128}, {2, 1, 1}));
        QVERIFY(ShowsTile(image, {511, 100}, {2, 2, 0}));
        QVERIFY(ShowsTile(image, {300, 511}, {2, 1, 2}));
        // Across 180°: right of the world's last column its first comes again.
        const MapView across{2, 1024 - 300, 0};
        Paint(*map, across, {512, 256});
        QTRY_VERIFY(!map->Busy());
        const QImage wrapped = Paint(*map, across, {512, 256});
        QVERIFY(ShowsTile(wrapped, {299, 10}, {2, 3, 0}));
        QVERIFY(ShowsTile(wrapped, {300, 10}, {2, 0, 0}));
        QVERIFY(ShowsTile(wrapped, {511, 10}, {2, 0, 0}));
        QVERIFY(map->MemoryBytes() >= 9 * 256 * 256 * 4);
    }

    void aSecondViewComesFromTheCacheWithTheServerStopped() {
        const QString folder = Folder();
        TileServer server;
        server.headers = {"Cache-Control: max-age=3600"};
        {
            auto map = MapOf(server, folder);
            Paint(*map, kView);
            QTRY_VERIFY(!map->Busy());
        }
        server.Stop();
        auto again = MapOf(server, folder);
        MapPicture picture;
        const QImage image = Paint(*again, kView, {512, 512}, &picture);
        QCOMPARE(picture.tiles, 9);
        QVERIFY(ShowsTile(image, {128, 128}, {2, 1, 1}));
        QVERIFY(!again->Busy());  // fresh: nothing asked
        QCOMPARE(server.requests.size(), size_t(9));
    }

    void staleTilesAreRevalidatedAndServedWhenTheServerIsGone() {
        const QString folder = Folder();
        TileServer server;
        server.etag = "\"v1\"";
        server.headers = {"Cache-Control: no-cache", "Last-Modified: Sun, 06 Nov 1994 08:49:37 GMT"};
        const MapView one{1, 0, 0};
        const QSize size(256, 256);
        {
            auto map = MapOf(server, folder);
            Paint(*map, one, size);
            QTRY_VERIFY(!map->Busy());
        }
        auto second = MapOf(server, folder);
        MapPicture picture;
        QVERIFY(ShowsTile(Paint(*second, one, size, &picture), {5, 5}, {1, 0, 0}));  // the stale one meanwhile
        QTRY_VERIFY(!second->Busy());
        QCOMPARE(server.requests.size(), size_t(2));
        QCOMPARE(server.requests.back().ifNoneMatch, QByteArray("\"v1\""));
        QCOMPARE(server.requests.back().ifModifiedSince, QByteArray("Sun, 06 Nov 1994 08:49:37 GMT"));
        QVERIFY(ShowsTile(Paint(*second, one, size), {5, 5}, {1, 0, 0}));
        QTest::qWait(50);
        QCOMPARE(server.requests.size(), size_t(2));  // confirmed: not asked at every repaint
        server.Stop();
        auto offline = MapOf(server, folder);
        Paint(*offline, one, size);
        QTRY_VERIFY(offline->Offline());
        QVERIFY(ShowsTile(Paint(*offline, one, size, &picture), {5, 5}, {1, 0, 0}));
        QVERIFY(picture.failing);
    }

    // Each failure leaves the map drawable, says so, is not asked again at once, and heals.
    void aRefusalASilentServerAndGarbageEachLeaveAUsableMap() {
        enum Kind { NotFound, Silent, Garbage, ServerError };
        for (Kind kind : {NotFound, Silent, Garbage, ServerError}) {
            TileServer server;
            server.respond = [kind](const TileRequest&) -> TileResponse {
                if (kind == NotFound) return {404, "gone", {}, false};
                if (kind == Silent) return {200, {}, {}, true};
                if (kind == ServerError) return {503, "busy", {}, false};
                return {200, QByteArray("\x89PNG\r\n\x1a\nthis is no picture", 26), {"Content-Type: image/png"}, false};
            };
            const QString folder = Folder();
            auto map = MapOf(server, folder);
            map->SetTimeout(200);
            map->SetRetryDelay(400);
            const MapView one{1, 0, 0};
            const QSize size(256, 256);
            Paint(*map, one, size);
            QTRY_VERIFY(map->Failed({1, 0, 0}) || map->Offline());
            QCOMPARE(map->Offline(), kind == Silent || kind == ServerError);
            MapPicture picture;
            const QImage image = Paint(*map, one, size, &picture);
            QVERIFY(picture.failing);
            QCOMPARE(image.pixelColor(5, 5), kBackground);
            QTest::qWait(150);
            Paint(*map, one, size);
            QCOMPARE(server.requests.size(), size_t(1));  // not hammered
            QVERIFY(!QFile::exists(map->Cache().PathOf(map->Source().CacheName(), {1, 0, 0})));
            server.respond = [](const TileRequest& r) {
                return TileResponse{200, TilePng(TileColour(r.tile)), {}, false};
            };
            QTRY_VERIFY_WITH_TIMEOUT((Paint(*map, one, size, &picture), picture.tiles == 1), 5000);
            QVERIFY(!picture.failing);
            QVERIFY(ShowsTile(Paint(*map, one, size), {5, 5}, {1, 0, 0}));
        }
    }

    void aMissingTileIsDrawnFromALowerLevelAndAnOfflineNoteShows() {
        TileServer server;
        auto map = MapOf(server, Folder());
        Paint(*map, {1, 0, 0});
        QTRY_VERIFY(!map->Busy());
        server.respond = [](const TileRequest&) { return TileResponse{404, "", {}, false}; };
        const MapView two{2, 0, 0};
        Paint(*map, two);
        QTRY_VERIFY(map->Failed({2, 0, 0}));
        QImage image(512, 512, QImage::Format_RGB32);
        image.fill(kBackground);
        QPainter p(&image);
        const MapPicture picture = PaintMapTiles(p, image.rect(), two, *map);
        QCOMPARE(picture.scaled, 4);  // tile 1/0/0 scaled up into the four of zoom 2
        QVERIFY(ShowsTile(image, {10, 300}, {1, 0, 0}));
        QVERIFY(picture.failing);
        PaintMapNotes(p, image.rect(), picture, *map);
        p.end();
        // The attribution at the bottom right, "Map offline" at the top right: light boxes.
        QVERIFY(image.pixelColor(508, 508).lightness() > TileColour({1, 0, 0}).lightness() + 40);
        QVERIFY(image.pixelColor(508, 3).lightness() > TileColour({1, 0, 0}).lightness() + 40);
        QVERIFY(ShowsTile(image, {10, 300}, {1, 0, 0}));
    }

    void aDamagedCachedTileIsFetchedAgain() {
        const QString folder = Folder();
        TileServer server;
        server.headers = {"Cache-Control: max-age=3600"};
        const MapView one{1, 0, 0};
        QString path;
        {
            auto map = MapOf(server, folder);
            Paint(*map, one, {256, 256});
            QTRY_VERIFY(!map->Busy());
            path = map->Cache().PathOf(map->Source().CacheName(), {1, 0, 0});
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("\x89PNG truncated");
        file.close();
        auto map = MapOf(server, folder);
        Paint(*map, one, {256, 256});
        QTRY_VERIFY(!map->Busy());
        QCOMPARE(server.requests.size(), size_t(2));
        QVERIFY(ShowsTile(Paint(*map, one, {256, 256}), {5, 5}, {1, 0, 0}));
        QVERIFY(QImage(path).pixelColor(5, 5) == TileColour({1, 0, 0}));
    }

    void noRequestWhileTheMapIsOff() {
        TileServer server;
        server.delayMs = 200;
        TileFetcher map(Folder(), kCacheBytes);
        MapPicture picture;
        const QImage image = Paint(map, kView, {512, 512}, &picture);
        QVERIFY(!picture.on);
        QCOMPARE(image.pixelColor(200, 200), kBackground);
        map.Want({{2, 0, 0}});
        QVERIFY(!map.Busy());
        map.SetSource({server.Template(), "", 19});
        Paint(map, kView);
        QTRY_COMPARE(server.requests.size(), size_t(2));
        map.SetSource({});  // turned off with two on the way: both dropped, no more sent
        QVERIFY(!map.Busy());
        QTest::qWait(400);
        QCOMPARE(server.requests.size(), size_t(2));
        QVERIFY(QDir(map.Cache().Root()).isEmpty());
    }

    void aPictureDrawnOnceWaitsForItsTilesButNotLongerThanItsDeadline() {
        TileServer server;
        server.delayMs = 20;
        auto map = MapOf(server, Folder());
        QImage image(512, 512, QImage::Format_RGB32);
        QPainter p(&image);
        MapPicture picture = PaintMapTilesWaiting(p, image.rect(), kView, *map, QDeadlineTimer(kOutputMapWaitMs));
        QCOMPARE(picture.tiles, 9);
        QVERIFY(ShowsTile(image, {128, 128}, {2, 1, 1}));

        TileServer silent;
        silent.respond = [](const TileRequest&) { return TileResponse{200, {}, {}, true}; };
        auto stuck = MapOf(silent, Folder());
        QElapsedTimer clock;
        clock.start();
        picture = PaintMapTilesWaiting(p, image.rect(), kView, *stuck, QDeadlineTimer(300));
        QVERIFY2(clock.elapsed() < 3000, "waited past its deadline");
        QCOMPARE(picture.missing, 9);
    }

    void aHaloKeepsALineLegibleOnADarkMap() {
        QImage image(40, 40, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter p(&image);
        DrawWithHalo(p, QPolygonF({QPointF(0, 20), QPointF(40, 20)}), QPen(Qt::red, 2));
        p.end();
        QCOMPARE(image.pixelColor(20, 20), QColor(Qt::red));
        QVERIFY(image.pixelColor(20, 18).lightness() > 150);
        QCOMPARE(image.pixelColor(20, 10), QColor(Qt::black));
    }
};

QTEST_MAIN(MapFetchTest)
#include "map_fetch_test.moc"
