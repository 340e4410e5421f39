// The ground track of a flight: its GPS positions with their times and pressure altitudes,
// in a flat local projection, and what a track pane asks of them (the position at a chart
// time, the point nearest the mouse, the part of a time span, a polyline thinned to pixels).
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "replay/sink.h"
#include "replay/web_mercator.h"

namespace krelby {

struct TrackPoint {
    double time = 0;       // date-time of the FlightMessage before the position
    double latitude = 0;   // degrees
    double longitude = 0;  // degrees, unwrapped: a flight across 180° goes on past it
    int32_t paltFeet = 0;  // pressure altitude of that FlightMessage
    // Positions the display recorded as none (no fix) lie between this point and the one
    // before: the line breaks there.
    bool afterLostFix = false;
};

// Seconds between two good positions beyond which the line breaks rather than bridge them.
constexpr double kTrackGapSeconds = 10;

// Degrees of latitude: the unit of the projection, both ways.
constexpr double kNmPerDegree = 60.0;

struct TrackBox {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool empty = true;
    double Width() const { return maxX - minX; }
    double Height() const { return maxY - minY; }
};

// Points [begin, end) in time order.
struct TrackSpan {
    size_t begin = 0, end = 0;
    bool Empty() const { return begin >= end; }
};

// Projected coordinate to pixel: px = (x - originX) * scale, py = (originY - y) * scale
// (north up, equal scale on both axes).
struct PixelMap {
    double originX = 0, originY = 0, scale = 1;
    double PixelX(double x) const { return (x - originX) * scale; }
    double PixelY(double y) const { return (originY - y) * scale; }
    double X(double px) const { return originX + px / scale; }
    double Y(double py) const { return originY - py / scale; }
};

// How positions become the plane a pane draws. Flat: x = longitude x cos(mean latitude),
// y = latitude, in degrees of latitude. WebMercator: world pixels at zoom 0 with y north up
// (x = world x, y = -world y), the plane a map's tiles share; equal scale in every direction
// at each point, the scale growing towards the poles.
enum class TrackProjection { Flat, WebMercator };

// A pane's map view of a WebMercator PixelMap, for drawing the tiles under the track.
MapView MercatorViewOf(const PixelMap& map);

struct GeoPoint {
    double latitude = 0, longitude = 0;  // degrees; the longitude as unwrapped as x
};

class Track {
public:
    Track() = default;
    // Orders the points by time (a clock stepping back keeps its order among equals) and
    // projects them.
    explicit Track(std::vector<TrackPoint> points, TrackProjection projection = TrackProjection::Flat);
    // The same points in another projection.
    Track Reprojected(TrackProjection projection) const;
    TrackProjection Projection() const { return projection_; }
    // Nautical miles one projected unit spans at projected height y: the scale bar's.
    double NmPerUnit(double y) const;
    // A position in this track's plane, and the position at a point of it: what lies under
    // the mouse, and the place a view keeps when the projection changes.
    std::pair<double, double> Project(double latitude, double longitude) const;
    GeoPoint PositionAt(double x, double y) const;

    bool Empty() const { return points_.empty(); }
    size_t Size() const { return points_.size(); }
    const TrackPoint& Point(size_t i) const { return points_[i]; }
    double X(size_t i) const { return xs_[i]; }
    double Y(size_t i) const { return ys_[i]; }
    double CosMeanLatitude() const { return cosMeanLatitude_; }
    // Whether the line breaks between point i - 1 and point i: a lost fix between them, or
    // more than kTrackGapSeconds. Never before the first point.
    bool BreaksBefore(size_t i) const { return i > 0 && i < Size() && breaks_[i]; }
    int32_t MinPaltFeet() const { return minPalt_; }
    int32_t MaxPaltFeet() const { return maxPalt_; }

    // The projected bounds of the points in `span` (all points without one).
    TrackBox Bounds() const { return bounds_; }
    TrackBox Bounds(TrackSpan span) const;
    // The last position at or before `time`; none before the first.
    std::optional<size_t> IndexAt(double time) const;
    // The points whose time lies within [from, to].
    TrackSpan SpanOf(double from, double to) const;
    // The point nearest a projected point, if one lies within `maxDistance`; of equal
    // distances the earliest.
    std::optional<size_t> Nearest(double x, double y, double maxDistance) const;
    // Direction of the track at point i, degrees clockwise from north on the projection:
    // towards the next point elsewhere, or from the previous one at the end; 0 when the
    // aircraft never moved.
    double HeadingAt(size_t i) const;
    // The indices of `span` that a polyline needs at one pixel's precision: of each run of
    // consecutive points in the same pixel, its first and last; both points either side of
    // a break. Appended to `out`.
    void ReduceToPixels(TrackSpan span, const PixelMap& map, std::vector<uint32_t>& out) const;

private:
    std::vector<TrackPoint> points_;
    std::vector<double> xs_, ys_, times_;
    std::vector<char> breaks_;
    TrackBox bounds_;
    TrackProjection projection_ = TrackProjection::Flat;
    double cosMeanLatitude_ = 1;
    int32_t minPalt_ = 0, maxPalt_ = 0;
};

// Gathers a flight's track during a replay: every GpsMessage that carries a position, once
// a FlightMessage has given the time (the same positions the logbook measures), noting where
// the fix was lost in between.
class TrackSink : public ReplaySink {
public:
    void OnBegin() override;
    bool ReadsMessages() const override { return true; }
    bool TakesItems() const override { return false; }
    unsigned MessageTypes() const override { return FrameTypeBit(FrameType::Flight); }
    void OnMessage(FrameType type, const uint8_t* frame, size_t size) override;
    void OnFlightTime(double time) override;
    void OnGps(const GpsMessage& message) override;
    void OnEnd(const ReplayEnd& end) override;
    // Empties it, as for a flight that could not be read.
    void Clear();
    const Track& Result() const { return track_; }

private:
    std::vector<TrackPoint> points_;
    Track track_;
    const uint8_t* pendingFlight_ = nullptr;  // the FlightMessage whose time comes next
    std::optional<double> time_;
    int32_t palt_ = 0;
    bool lostFix_ = false;  // a GpsMessage without a position since the last point
};

}  // namespace krelby
