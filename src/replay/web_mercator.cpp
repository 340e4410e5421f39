#include "replay/web_mercator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace krelby {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kRadian = kPi / 180.0;

// y of a latitude in a world one pixel wide: 0 at the top edge, 1 at the bottom.
double UnitY(double latitude) {
    const double phi = std::clamp(latitude, -kMercatorMaxLatitude, kMercatorMaxLatitude) * kRadian;
    return (1.0 - std::asinh(std::tan(phi)) / kPi) / 2.0;
}

}  // namespace

double WorldPixels(double zoom) { return kTilePixels * std::exp2(zoom); }

WorldPoint ToWorld(double latitude, double longitude, double zoom) {
    const double size = WorldPixels(zoom);
    return {(longitude + 180.0) / 360.0 * size, UnitY(latitude) * size};
}

double LatitudeAt(double worldY, double zoom) {
    const double n = kPi * (1.0 - 2.0 * worldY / WorldPixels(zoom));
    return std::atan(std::sinh(n)) / kRadian;
}

double LongitudeAt(double worldX, double zoom) { return worldX / WorldPixels(zoom) * 360.0 - 180.0; }

double MetresPerPixel(double latitude, double zoom) {
    return 2.0 * kPi * kMercatorRadiusMetres * std::cos(latitude * kRadian) / WorldPixels(zoom);
}

TileId WrapTile(int z, int64_t column, int y) {
    const int64_t n = int64_t(1) << z;
    int64_t x = column % n;
    if (x < 0) x += n;
    return {z, int(x), y};
}

std::vector<PlacedTile> TilesCovering(const WorldRect& rect, double zoom, int tileZoom, size_t maxTiles) {
    std::vector<PlacedTile> tiles;
    if (!(rect.right > rect.left) || !(rect.bottom > rect.top) || tileZoom < 0 || tileZoom > kMaxTileZoom)
        return tiles;
    const double size = kTilePixels * std::exp2(zoom - tileZoom);  // a tile's width in view pixels
    const int64_t rows = int64_t(1) << tileZoom;
    // Beyond a few worlds either side a view is nonsense: keep the numbers finite.
    const double limit = double(rows) * 4;
    const auto cell = [&](double v) { return std::clamp(v / size, -limit, limit); };
    const int64_t col0 = int64_t(std::floor(cell(rect.left)));
    const int64_t col1 = int64_t(std::ceil(cell(rect.right))) - 1;
    const int64_t row0 = std::max<int64_t>(0, int64_t(std::floor(cell(rect.top))));
    const int64_t row1 = std::min<int64_t>(rows - 1, int64_t(std::ceil(cell(rect.bottom))) - 1);
    for (int64_t row = row0; row <= row1; ++row)
        for (int64_t col = col0; col <= col1; ++col) {
            if (tiles.size() >= maxTiles) return tiles;
            tiles.push_back({WrapTile(tileZoom, col, int(row)), col});
        }
    return tiles;
}

int TileZoomFor(double zoom, int maxZoom, double pixelRatio) {
    const double top = std::clamp(maxZoom, 0, kMaxTileZoom);
    const double level = zoom + std::log2(pixelRatio > 0 ? pixelRatio : 1.0);
    if (std::isnan(level)) return 0;
    return int(std::lround(std::clamp(level, 0.0, top)));
}

MapView CentredView(double latitude, double longitude, double zoom, double width, double height) {
    const WorldPoint c = ToWorld(latitude, longitude, zoom);
    return {zoom, c.x - width / 2, c.y - height / 2};
}

double FitZoom(const GeoBounds& b, double width, double height, double margin, double maxZoom) {
    const double w = std::max(1.0, width - 2 * margin), h = std::max(1.0, height - 2 * margin);
    const double dx = std::abs(b.east - b.west) / 360.0 * kTilePixels;
    const double dy = std::abs(UnitY(b.south) - UnitY(b.north)) * kTilePixels;
    double zoom = maxZoom;
    if (dx > 0) zoom = std::min(zoom, std::log2(w / dx));
    if (dy > 0) zoom = std::min(zoom, std::log2(h / dy));
    return std::clamp(zoom, 0.0, std::max(0.0, maxZoom));
}

MapView FitView(const GeoBounds& b, double width, double height, double margin, double maxZoom) {
    const double zoom = FitZoom(b, width, height, margin, maxZoom);
    const double size = WorldPixels(zoom);
    // The middle of the box as drawn, which is not its middle latitude.
    const double cx = ((b.west + b.east) / 2 + 180.0) / 360.0 * size;
    const double cy = (UnitY(b.south) + UnitY(b.north)) / 2 * size;
    return {zoom, cx - width / 2, cy - height / 2};
}

double UnwrapLongitude(double previous, double longitude) {
    return longitude + 360.0 * std::round((previous - longitude) / 360.0);
}

}  // namespace krelby
