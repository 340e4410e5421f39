#include "replay/track.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/recorded_units.h"
#include "format/messages.h"

namespace krelby {

MapView MercatorViewOf(const PixelMap& map) {
    return {std::log2(map.scale), map.originX * map.scale, -map.originY * map.scale};
}

Track::Track(std::vector<TrackPoint> points, TrackProjection projection)
    : points_(std::move(points)), projection_(projection) {
    std::stable_sort(points_.begin(), points_.end(),
                     [](const TrackPoint& a, const TrackPoint& b) { return a.time < b.time; });
    if (points_.empty()) return;
    double sum = 0;
    minPalt_ = maxPalt_ = points_.front().paltFeet;
    for (const TrackPoint& p : points_) {
        sum += p.latitude;
        minPalt_ = std::min(minPalt_, p.paltFeet);
        maxPalt_ = std::max(maxPalt_, p.paltFeet);
    }
    const double meanLatitude = sum / static_cast<double>(points_.size());
    cosMeanLatitude_ = std::cos(meanLatitude * std::numbers::pi / 180.0);
    xs_.reserve(points_.size());
    ys_.reserve(points_.size());
    times_.reserve(points_.size());
    breaks_.reserve(points_.size());
    for (const TrackPoint& p : points_) {
        // Times are whole seconds of the display's clock: 10 s apart is no gap, 11 s is.
        const bool gap = !times_.empty() && (p.time - times_.back()) * 86400.0 > kTrackGapSeconds + 1e-3;
        breaks_.push_back(!times_.empty() && (gap || p.afterLostFix));
        const auto [x, y] = Project(p.latitude, p.longitude);
        xs_.push_back(x);
        ys_.push_back(y);
        times_.push_back(p.time);
    }
    bounds_ = Bounds({0, Size()});  // fitted at every redraw
}

Track Track::Reprojected(TrackProjection projection) const { return Track(points_, projection); }

double Track::NmPerUnit(double y) const {
    if (projection_ == TrackProjection::Flat) return kNmPerDegree;
    return MetresPerPixel(LatitudeAt(-y, 0), 0) / kMetresPerNauticalMile;
}

std::pair<double, double> Track::Project(double latitude, double longitude) const {
    if (projection_ == TrackProjection::Flat) return {longitude * cosMeanLatitude_, latitude};
    const WorldPoint w = ToWorld(latitude, longitude, 0);
    return {w.x, -w.y};
}

GeoPoint Track::PositionAt(double x, double y) const {
    if (projection_ == TrackProjection::Flat) return {y, x / cosMeanLatitude_};
    return {LatitudeAt(-y, 0), LongitudeAt(x, 0)};
}

TrackBox Track::Bounds(TrackSpan span) const {
    TrackBox box;
    for (size_t i = span.begin; i < std::min(span.end, Size()); ++i) {
        if (box.empty) {
            box = {xs_[i], ys_[i], xs_[i], ys_[i], false};
            continue;
        }
        box.minX = std::min(box.minX, xs_[i]);
        box.maxX = std::max(box.maxX, xs_[i]);
        box.minY = std::min(box.minY, ys_[i]);
        box.maxY = std::max(box.maxY, ys_[i]);
    }
    return box;
}

std::optional<size_t> Track::IndexAt(double time) const {
    const auto after = std::upper_bound(times_.begin(), times_.end(), time);
    if (after == times_.begin()) return std::nullopt;
    return static_cast<size_t>(after - times_.begin()) - 1;
}

TrackSpan Track::SpanOf(double from, double to) const {
    const auto b = std::lower_bound(times_.begin(), times_.end(), from);
    const auto e = std::upper_bound(b, times_.end(), to);
    return {static_cast<size_t>(b - times_.begin()), static_cast<size_t>(e - times_.begin())};
}

std::optional<size_t> Track::Nearest(double x, double y, double maxDistance) const {
    std::optional<size_t> best;
    double bestSquare = maxDistance * maxDistance;
    for (size_t i = 0; i < Size(); ++i) {
        const double dx = xs_[i] - x, dy = ys_[i] - y;
        const double square = dx * dx + dy * dy;
        if (square < bestSquare || (!best && square == bestSquare)) {
            bestSquare = square;
            best = i;
        }
    }
    return best;
}

double Track::HeadingAt(size_t i) const {
    const auto heading = [this](size_t from, size_t to) {
        const double degrees = std::atan2(xs_[to] - xs_[from], ys_[to] - ys_[from]) * 180.0 / std::numbers::pi;
        return degrees < 0 ? degrees + 360.0 : degrees;
    };
    const auto elsewhere = [this, i](size_t k) { return xs_[k] != xs_[i] || ys_[k] != ys_[i]; };
    for (size_t k = i + 1; k < Size(); ++k)
        if (elsewhere(k)) return heading(i, k);
    for (size_t k = i; k-- > 0;)
        if (elsewhere(k)) return heading(k, i);
    return 0;
}

void Track::ReduceToPixels(TrackSpan span, const PixelMap& map, std::vector<uint32_t>& out) const {
    const size_t end = std::min(span.end, Size());
    if (span.begin >= end) return;
    const auto cell = [&](size_t i) {
        return std::pair<double, double>(std::floor(map.PixelX(xs_[i])), std::floor(map.PixelY(ys_[i])));
    };
    size_t runStart = span.begin;
    std::pair<double, double> runCell = cell(runStart);
    out.push_back(static_cast<uint32_t>(runStart));
    for (size_t i = span.begin + 1; i < end; ++i) {
        const std::pair<double, double> c = cell(i);
        if (c == runCell && !breaks_[i]) continue;
        if (i - 1 != runStart) out.push_back(static_cast<uint32_t>(i - 1));
        out.push_back(static_cast<uint32_t>(i));
        runStart = i;
        runCell = c;
    }
    if (end - 1 != runStart) out.push_back(static_cast<uint32_t>(end - 1));
}

void TrackSink::Clear() {
    points_.clear();
    track_ = Track();
    pendingFlight_ = nullptr;
    time_.reset();
    palt_ = 0;
    lostFix_ = false;
}

void TrackSink::OnBegin() { Clear(); }

void TrackSink::OnMessage(FrameType type, const uint8_t* frame, size_t) {
    if (type == FrameType::Flight) pendingFlight_ = frame;
}

// Only FlightMessages with a date the calendar accepts reach here, right after their Frame.
void TrackSink::OnFlightTime(double time) {
    time_ = time;
    if (pendingFlight_) palt_ = FlightMessage(pendingFlight_).PAltitude();
    pendingFlight_ = nullptr;
}

void TrackSink::OnGps(const GpsMessage& m) {
    // Before the first FlightMessage a position has no time on the chart.
    if (!time_) return;
    if (!CarriesPosition(m)) {
        lostFix_ = !points_.empty();
        return;
    }
    TrackPoint p{*time_, PositionDegrees(m.Latitude()), PositionDegrees(m.Longitude()), palt_, lostFix_};
    lostFix_ = false;
    // Across 180° the longitude goes on (181°, not -179°), so the line does not cross the world.
    if (!points_.empty()) p.longitude = UnwrapLongitude(points_.back().longitude, p.longitude);
    points_.push_back(p);
}

void TrackSink::OnEnd(const ReplayEnd&) {
    track_ = Track(std::move(points_));
    points_.clear();
}

}  // namespace krelby
