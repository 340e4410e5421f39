// The map's tile sources and per-user keys, the HTTP freshness kept beside a tile, and the
// disk cache's bound.
#include <QtTest>

#include <QSettings>

#include "chart/http_freshness.h"
#include "chart/map_tiles.h"
#include "chart/tile_cache.h"
#include "support/tile_server.h"

using namespace krelby;
using namespace krelby::testing;

class MapTilesTest : public QObject {
    Q_OBJECT

private slots:
    void sourcesAreChosenPerUserAndUnknownValuesReadAsDefaults() {
        QTemporaryDir dir;
        QSettings s(dir.path() + "/user.ini", QSettings::IniFormat);
        MapSettings map = ReadMapSettings(s);
        QCOMPARE(map, MapSettings());
        QVERIFY(map.Source().None());  // off until the pilot turns it on
        map.shown = true;
        QCOMPARE(map.Source().urlTemplate, QString("https://tile.openstreetmap.org/{z}/{x}/{y}.png"));
        QCOMPARE(map.Source().attribution, QString("© OpenStreetMap contributors"));
        map.choice = MapChoice::User;
        map.userTemplate = "ftp://tiles.example/{z}/{x}/{y}.png";
        QVERIFY(map.Source().None());  // a template that cannot serve draws no map
        map.userTemplate = "https://tiles.example:8443/a/{z}/{x}/{y}.png?key=1";
        QCOMPARE(map.Source().attribution, QString("Map tiles: tiles.example"));
        map.userAttribution = " © Example ";
        map.cacheMegabytes = 50;
        QCOMPARE(map.Source().attribution, QString("© Example"));
        QCOMPARE(map.Source().Url({3, 5, 2}).toString(), QString("https://tiles.example:8443/a/3/5/2.png?key=1"));
        WriteMapSettings(s, map);
        QCOMPARE(ReadMapSettings(s), map);
        QCOMPARE(s.value("Map/Source").toString(), QString("User"));
        // Values another version or a hand wrote: the defaults.
        s.setValue("Map/Source", "Satellite");
        s.setValue("Map/CacheMegabytes", "lots");
        QCOMPARE(ReadMapSettings(s).choice, MapChoice::Default);
        QCOMPARE(ReadMapSettings(s).cacheMegabytes, 200);
        s.setValue("Map/CacheMegabytes", 0);
        QCOMPARE(ReadMapSettings(s).cacheMegabytes, 200);
        s.setValue("Map/Source", "None");
        QCOMPARE(ReadMapSettings(s).choice, MapChoice::None);
        QVERIFY(ReadMapSettings(s).Source().None());
    }

    void templatesAreCheckedAndEachHasAFolderOfItsOwn() {
        const struct {
            const char* urlTemplate;
            bool ok;
        } cases[] = {{"https://tile.openstreetmap.org/{z}/{x}/{y}.png", true},
                     {"http://127.0.0.1:8080/{z}/{y}/{x}", true},
                     {"https://a.example/{z}/{x}.png", false},
                     {"file:///tmp/{z}/{x}/{y}.png", false},
                     {"not a url {z}{x}{y}", false}};
        for (const auto& c : cases)
            QVERIFY2(TemplateProblem(c.urlTemplate).isEmpty() == c.ok, c.urlTemplate);
        const QString osm = DefaultTileSource().CacheName();
        QVERIFY2(QRegularExpression("^tile\\.openstreetmap\\.org-[0-9a-f]{8}$").match(osm).hasMatch(), qPrintable(osm));
        const TileSource a{"http://127.0.0.1:8080/{z}/{x}/{y}.png", "", 19};
        const TileSource b{"http://127.0.0.1:8081/{z}/{x}/{y}.png", "", 19};
        QVERIFY(a.CacheName() != b.CacheName());
        QVERIFY2(QRegularExpression("^[A-Za-z0-9._-]+$").match(a.CacheName()).hasMatch(), qPrintable(a.CacheName()));
        QTemporaryDir dir;
        qputenv("XDG_CACHE_HOME", dir.path().toUtf8());
        QCOMPARE(DefaultTileCacheFolder(), dir.path() + "/Krelby/tiles");
        qunsetenv("XDG_CACHE_HOME");
    }

    void freshnessFollowsTheResponsesCachingHeaders() {
        const QDateTime now(QDate(2024, 3, 14), QTime(10, 0), Qt::UTC);
        const struct {
            CacheHeaders h;
            qint64 seconds;
            bool storable;
        } cases[] = {
            {{"max-age=600", "", "", "", "", ""}, 600, true},
            {{"public, max-age=600", "", "", "100", "", ""}, 500, true},  // less its Age
            {{"max-age=10", "Fri, 15 Mar 2024 10:00:00 GMT", "", "", "", ""}, 10, true},
            // Expires counts from the server's Date, so that a clock set wrong changes nothing.
            {{"", "Thu, 14 Mar 2024 11:00:00 GMT", "Thu, 14 Mar 2024 10:30:00 GMT", "", "", ""}, 1800, true},
            {{"", "0", "", "", "", ""}, 0, true},
            {{"no-cache, max-age=600", "", "", "", "", ""}, 0, true},
            {{"", "", "", "", "", "Wed, 13 Mar 2024 10:00:00 GMT"}, 8640, true},  // a tenth of its age
            {{"", "", "", "", "", "Tue, 14 Mar 2023 10:00:00 GMT"}, 7 * 86400, true},
            {{"", "", "", "", "", ""}, 86400, true},
            {{"no-store", "", "", "", "", ""}, 86400, false},
        };
        for (const auto& c : cases) {
            const Freshness f = FreshnessOf(c.h, now);
            QCOMPARE(now.secsTo(f.meta.expires), c.seconds);
            QCOMPARE(f.storable, c.storable);
        }
        const QDateTime date(QDate(1994, 11, 6), QTime(8, 49, 37), Qt::UTC);
        for (const char* text : {"Sun, 06 Nov 1994 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:37 GMT", "Sun Nov  6 08:49:37 1994"})
            QCOMPARE(ParseHttpDate(text), date);
        for (const char* text : {"", "yesterday", "Sun, 31 Feb 1994 08:49:37 GMT", "Sun, 06 Nov 1994 25:00:00 GMT"})
            QVERIFY2(!ParseHttpDate(text).isValid(), text);
        const TileMeta meta{now, "\"v=1: a\"", "Wed, 13 Mar 2024 10:00:00 GMT"};
        QCOMPARE(ParseMetaText(MetaText(meta)), meta);
        QVERIFY(!ParseMetaText("garbage\n\x01\x02").expires.isValid());
    }

    // Tiles stored a minute apart a day ago; a read counts as a use.
    void theCacheKeepsWithinItsBoundDroppingTheLeastRecentlyUsed() {
        QTemporaryDir dir;
        const QByteArray png = TilePng(Qt::red);
        const TileMeta meta{QDateTime::currentDateTimeUtc().addDays(1), "\"e\"", ""};
        const qint64 perTile = png.size() + MetaText(meta).size();
        TileCache cache(dir.path(), perTile * 10 + perTile / 2);
        const QDateTime dayAgo = QDateTime::currentDateTimeUtc().addDays(-1);
        const auto store = [&](int i) {
            QVERIFY(cache.Store("src", {5, i, 1}, png, meta));
            QFile f(cache.PathOf("src", {5, i, 1}));
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.setFileTime(dayAgo.addSecs(60 * i), QFileDevice::FileModificationTime);
        };
        for (int i = 0; i < 10; ++i) store(i);
        QVERIFY(cache.Load("src", {5, 0, 1}).has_value());  // tile 0 used now
        for (int i = 10; i < 20; ++i) store(i);
        const auto kept = [&](int i) { return QFile::exists(cache.PathOf("src", {5, i, 1})); };
        QVERIFY(kept(0));
        QVERIFY(kept(19));
        QVERIFY(!kept(1));
        QVERIFY(!QFile::exists(cache.PathOf("src", {5, 1, 1}).chopped(4) + ".meta"));
        qint64 onDisk = 0;
        QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) onDisk += QFileInfo(it.next()).size();
        QCOMPARE(cache.Size(), onDisk);
        QVERIFY(onDisk <= cache.Limit());
        QVERIFY(onDisk >= perTile * 8);  // not emptied either
        cache.SetLimit(perTile * 3);
        QVERIFY(cache.Size() <= perTile * 3);
        QVERIFY(kept(0));
        // A new cache over the same folder counts what is there.
        QCOMPARE(TileCache(dir.path(), cache.Limit()).Size(), cache.Size());
    }

    void aDamagedTileIsRemovedAndACacheThatCannotBeWrittenSaysWhy() {
        QTemporaryDir dir;
        TileCache cache(dir.path(), 1 << 20);
        QVERIFY(cache.Store("src", {1, 0, 0}, "not a picture", {}));
        QVERIFY(!cache.Load("src", {1, 0, 0}));
        QVERIFY(!QFile::exists(cache.PathOf("src", {1, 0, 0})));
        QCOMPARE(cache.Size(), 0);
        TileCache full("/dev/full/tiles", 1 << 20);
        QVERIFY(!full.Store("src", {1, 0, 0}, TilePng(Qt::red), {}));
        QVERIFY(!full.Problem().isEmpty());
    }
};

QTEST_MAIN(MapTilesTest)
#include "map_tiles_test.moc"
