// Web Mercator as the slippy maps draw the world: a square of 256 x 2^zoom pixels, x east
// from 180° W, y south from 85.05° N, cut into 256-pixel tiles numbered z/x/y. Zooms may be
// fractional (a view between two tile levels); longitudes may lie beyond ±180° (a track
// unwrapped across the antimeridian), and so may x beyond the world: tiles wrap in x.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace krelby {

constexpr int kTilePixels = 256;
constexpr int kMaxTileZoom = 22;
// The latitude where the square world ends: atan(sinh(pi)).
constexpr double kMercatorMaxLatitude = 85.05112877980659;
// The sphere Web Mercator projects (WGS 84's semi-major axis).
constexpr double kMercatorRadiusMetres = 6378137.0;

struct WorldPoint {
    double x = 0, y = 0;
};

// The world's width (and height) in pixels at `zoom`.
double WorldPixels(double zoom);
// A position in world pixels at `zoom`; latitudes beyond the world's edge are held at it.
WorldPoint ToWorld(double latitude, double longitude, double zoom);
// Back to degrees, the longitude as unwrapped as x.
double LatitudeAt(double worldY, double zoom);
double LongitudeAt(double worldX, double zoom);

// Ground metres one world pixel spans at `latitude` and `zoom`: what a scale bar divides by.
double MetresPerPixel(double latitude, double zoom);

struct TileId {
    int z = 0, x = 0, y = 0;
    bool operator==(const TileId&) const = default;
    auto operator<=>(const TileId&) const = default;
    // One number for the tile, unique for every tile up to kMaxTileZoom.
    uint64_t Key() const { return (uint64_t(z) << 48) | (uint64_t(uint32_t(x)) << 24) | uint64_t(uint32_t(y)); }
    // The tile `levels` zooms out that holds this one (itself for 0).
    TileId Parent(int levels) const { return {z - levels, x >> levels, y >> levels}; }
};

// The tile at column `column` of zoom `z`, the column wrapped into the world.
TileId WrapTile(int z, int64_t column, int y);

// A tile as a view places it: which tile, and its column unwrapped, so that a view across
// 180° draws the world's first tiles right of its last.
struct PlacedTile {
    TileId id;
    int64_t column = 0;
};

// The area a view shows, in world pixels at its zoom.
struct WorldRect {
    double left = 0, top = 0, right = 0, bottom = 0;
};

// The tiles of level `tileZoom` that cover `rect` (world pixels at `zoom`), row by row from
// the top left; rows beyond the world's top and bottom are none. At most `maxTiles` (the
// ones nearest the top left), so that a wild view cannot ask for the world.
std::vector<PlacedTile> TilesCovering(const WorldRect& rect, double zoom, int tileZoom, size_t maxTiles = 4096);

// What a picture shows of the map: world pixel (left, top) at `zoom` lies at the picture's
// top left corner, and one picture pixel is one world pixel.
struct MapView {
    double zoom = 0;
    double left = 0, top = 0;
    WorldRect Area(double width, double height) const { return {left, top, left + width, top + height}; }
};

// The tile level to draw a view at `zoom` with: the nearest level (so tiles are scaled by
// 0.71 to 1.41), counting `pixelRatio` device pixels a picture pixel, within 0..maxZoom.
int TileZoomFor(double zoom, int maxZoom, double pixelRatio = 1);

// A box of positions, the longitudes unwrapped (west <= east, either may lie beyond ±180°).
struct GeoBounds {
    double south = 0, west = 0, north = 0, east = 0;
};

// The view of a width x height picture centred on a position.
MapView CentredView(double latitude, double longitude, double zoom, double width, double height);
// The largest zoom, up to `maxZoom` and at least 0, at which `bounds` fits within a
// width x height picture less `margin` pixels on each side.
double FitZoom(const GeoBounds& bounds, double width, double height, double margin, double maxZoom);
// That zoom, centred on the middle of the bounds.
MapView FitView(const GeoBounds& bounds, double width, double height, double margin, double maxZoom);

// A longitude moved by whole turns to lie within 180° of `previous`: a track crossing the
// antimeridian goes on to 181° rather than jumping to -179°.
double UnwrapLongitude(double previous, double longitude);

}  // namespace krelby
