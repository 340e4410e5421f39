// Web Mercator: positions to world pixels and back, the tiles a view needs (across 180° and
// the world's edges), the tile level, fitting a box, the scale at a latitude, and a track
// drawn in that projection.
#include "replay/web_mercator.h"

#include <gtest/gtest.h>

#include <cmath>

#include "replay/track.h"

using namespace krelby;

namespace {

std::vector<std::pair<int64_t, TileId>> Columns(const std::vector<PlacedTile>& tiles) {
    std::vector<std::pair<int64_t, TileId>> out;
    for (const PlacedTile& t : tiles) out.push_back({t.column, t.id});
    return out;
}

}  // namespace

TEST(WebMercator, PositionsLieInTheirKnownTilesAndComeBack) {
    struct Case {
        double lat, lon;
        int z, tileX, tileY;
    };
    // Tiles every slippy map agrees on (London, Zurich, Sydney), and the world's corners.
    const Case cases[] = {{51.5074, -0.1278, 12, 2046, 1362}, {47.3769, 8.5417, 10, 536, 358},
                          {-33.8688, 151.2093, 8, 235, 153},  {0, 0, 1, 1, 1},
                          {85.0, -179.99, 3, 0, 0},           {-85.0, 179.99, 3, 7, 7}};
    for (const Case& c : cases) {
        const WorldPoint w = ToWorld(c.lat, c.lon, c.z);
        EXPECT_EQ(int(w.x) / kTilePixels, c.tileX) << c.lat << "," << c.lon;
        EXPECT_EQ(int(w.y) / kTilePixels, c.tileY) << c.lat << "," << c.lon;
        for (double zoom : {double(c.z), c.z + 0.37}) {
            const WorldPoint v = ToWorld(c.lat, c.lon, zoom);
            EXPECT_NEAR(LatitudeAt(v.y, zoom), c.lat, 1e-9);
            EXPECT_NEAR(LongitudeAt(v.x, zoom), c.lon, 1e-9);
        }
    }
    EXPECT_DOUBLE_EQ(ToWorld(0, 0, 0).x, 128);
    EXPECT_NEAR(ToWorld(0, 0, 0).y, 128, 1e-9);
    // Beyond the square world's edge a latitude is held at it; beyond 180° x goes on.
    EXPECT_NEAR(ToWorld(89.9, 0, 0).y, 0, 1e-9);
    EXPECT_NEAR(ToWorld(-90, 0, 2).y, WorldPixels(2), 1e-9);
    EXPECT_DOUBLE_EQ(ToWorld(0, 181, 0).x, 256 + 256.0 / 360);
    EXPECT_DOUBLE_EQ(LongitudeAt(256 + 256.0 / 360, 0), 181);
}

TEST(WebMercator, TilesCoveringAViewWrapAcross180AndStopAtTheWorldsEdges) {
    // A 640 x 256 view at zoom 2 with its left edge at world x 640: columns 2, 3 and, past
    // 180°, column 4 which is tile 0 again; the last column ends on a tile edge (no extra).
    auto tiles = TilesCovering({640, 300, 640 + 640, 300 + 256}, 2, 2);
    const std::vector<std::pair<int64_t, TileId>> expected = {
        {2, {2, 2, 1}}, {3, {2, 3, 1}}, {4, {2, 0, 1}}, {2, {2, 2, 2}}, {3, {2, 3, 2}}, {4, {2, 0, 2}}};
    EXPECT_EQ(Columns(tiles), expected);
    // West of -180°: column -1 is the world's last.
    tiles = TilesCovering({-10, 0, 10, 10}, 1, 1);
    EXPECT_EQ(Columns(tiles), (std::vector<std::pair<int64_t, TileId>>{{-1, {1, 1, 0}}, {0, {1, 0, 0}}}));
    // Above and below the world: no rows there.
    tiles = TilesCovering({0, -500, 256, 1500}, 2, 2);
    ASSERT_EQ(tiles.size(), 4u);
    EXPECT_EQ(tiles.front().id, (TileId{2, 0, 0}));
    EXPECT_EQ(tiles.back().id, (TileId{2, 0, 3}));
    // A view at zoom 3.5 drawn with level-4 tiles: each tile 256 x 2^-0.5 view pixels.
    const double size = 256 / std::sqrt(2.0);
    tiles = TilesCovering({size * 5.5, size * 2.01, size * 6.9, size * 3.01}, 3.5, 4);
    EXPECT_EQ(Columns(tiles), (std::vector<std::pair<int64_t, TileId>>{
                                  {5, {4, 5, 2}}, {6, {4, 6, 2}}, {5, {4, 5, 3}}, {6, {4, 6, 3}}}));
    // Nothing for an empty view or a level no source has; a wild view is cut short.
    EXPECT_TRUE(TilesCovering({10, 10, 10, 20}, 3, 3).empty());
    EXPECT_TRUE(TilesCovering({0, 0, 10, 10}, 3, kMaxTileZoom + 1).empty());
    EXPECT_EQ(TilesCovering({0, 0, 1e9, 1e9}, 10, 10, 100).size(), 100u);
}

TEST(WebMercator, TileLevelIsTheNearestWithinTheSourcesZooms) {
    struct Case {
        double zoom;
        int maxZoom;
        double ratio;
        int level;
    };
    const Case cases[] = {{9.49, 19, 1, 9}, {9.51, 19, 1, 10}, {-2, 19, 1, 0},   {21, 19, 1, 19},
                          {9, 19, 2, 10},   {9, 19, 0, 9},     {NAN, 19, 1, 0},  {30, 40, 1, kMaxTileZoom}};
    for (const Case& c : cases) EXPECT_EQ(TileZoomFor(c.zoom, c.maxZoom, c.ratio), c.level) << c.zoom;
}

TEST(WebMercator, FitViewShowsTheWholeBoxCentredWithinTheMargin) {
    struct Case {
        GeoBounds box;
        double width, height;
    };
    const Case cases[] = {{{50.0, 8.0, 50.5, 8.2}, 400, 300},      // tall box: the height fills
                          {{-10.0, 100.0, -9.9, 110.0}, 400, 300},  // wide box: the width fills
                          {{10.0, 179.5, 10.5, 181.0}, 300, 300}};  // across 180°
    const double margin = 20;
    for (const Case& c : cases) {
        const MapView v = FitView(c.box, c.width, c.height, margin, 18);
        const WorldPoint nw = ToWorld(c.box.north, c.box.west, v.zoom);
        const WorldPoint se = ToWorld(c.box.south, c.box.east, v.zoom);
        const double left = nw.x - v.left, right = se.x - v.left, top = nw.y - v.top, bottom = se.y - v.top;
        EXPECT_NEAR(left, c.width - right, 1e-6);  // centred
        EXPECT_NEAR(top, c.height - bottom, 1e-6);
        EXPECT_GE(left, margin - 1e-6);
        EXPECT_GE(top, margin - 1e-6);
        EXPECT_NEAR(std::min(left, top), margin, 1e-6);  // and no smaller than it need be
    }
    // A single point: the nearest zoom allowed; the whole world: zoom 0, never below.
    EXPECT_EQ(FitZoom({50, 8, 50, 8}, 400, 300, 20, 17), 17);
    EXPECT_EQ(FitZoom({-85, -180, 85, 180}, 100, 100, 0, 17), 0);
    const MapView c = CentredView(50, 8, 12.5, 400, 300);
    EXPECT_NEAR(LatitudeAt(c.top + 150, 12.5), 50, 1e-9);
    EXPECT_NEAR(LongitudeAt(c.left + 200, 12.5), 8, 1e-9);
}

TEST(WebMercator, ScaleAtALatitudeAndLongitudesUnwrapped) {
    EXPECT_NEAR(MetresPerPixel(0, 0), 156543.034, 1e-3);
    EXPECT_NEAR(MetresPerPixel(60, 1), 156543.034 / 4, 1e-3);
    EXPECT_DOUBLE_EQ(UnwrapLongitude(179.5, -179.5), 180.5);
    EXPECT_DOUBLE_EQ(UnwrapLongitude(-179.5, 179.5), -180.5);
    EXPECT_DOUBLE_EQ(UnwrapLongitude(541, -178), 542);
    EXPECT_DOUBLE_EQ(UnwrapLongitude(10, 20), 20);
}

TEST(Track, InWebMercatorTheTrackLiesOnTheMapAndItsScaleBarStaysTrue) {
    constexpr double kSecond = 1.0 / 86400.0;
    const Track flat({{1000, 60, 179.9, 0}, {1000 + kSecond, 60, 180.1, 0}, {1000 + 2 * kSecond, 60.1, 180.1, 0}});
    const Track t = flat.Reprojected(TrackProjection::WebMercator);
    ASSERT_EQ(t.Projection(), TrackProjection::WebMercator);
    // East across 180° without a jump, then north: Mercator keeps the directions.
    EXPECT_NEAR(t.HeadingAt(0), 90, 1e-9);
    EXPECT_NEAR(t.HeadingAt(1), 0, 1e-9);
    EXPECT_LT(t.Bounds().Width(), 1);
    // A pane's PixelMap at scale 2^z puts each point where the tiles of zoom z have it.
    const PixelMap map{t.X(0) - 0.1, t.Y(0) + 0.1, 1024};
    const MapView view = MercatorViewOf(map);
    EXPECT_NEAR(view.zoom, 10, 1e-12);
    const WorldPoint w = ToWorld(60, 180.1, 10);
    EXPECT_NEAR(map.PixelX(t.X(1)), w.x - view.left, 1e-6);
    EXPECT_NEAR(map.PixelY(t.Y(1)), w.y - view.top, 1e-6);
    // At 60° a projected unit spans half what it does at the equator; flat units are 60 nm.
    EXPECT_NEAR(t.NmPerUnit(t.Y(0)), MetresPerPixel(0, 0) / 2 / 1852, 1e-6);
    EXPECT_EQ(flat.NmPerUnit(60), kNmPerDegree);
}
