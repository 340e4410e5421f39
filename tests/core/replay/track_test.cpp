// The ground track: which positions a replay keeps, the flat projection, the position at a
// chart time, the point nearest the mouse, the part of a time span, the pixel thinning.
#include "replay/track.h"

#include <cmath>

#include "support/replay_fixture.h"

using namespace krelby;
using namespace krelby::testing;

namespace {

constexpr double kSecond = 1.0 / 86400.0;

// Points a second apart from t = 1000 days, at (latitude, longitude).
Track TrackOf(std::initializer_list<std::pair<double, double>> positions) {
    std::vector<TrackPoint> points;
    for (const auto& [lat, lon] : positions)
        points.push_back({1000 + points.size() * kSecond, lat, lon, int32_t(100 * points.size())});
    return Track(std::move(points));
}

double Length(const Track& t, size_t a, size_t b) { return std::hypot(t.X(b) - t.X(a), t.Y(b) - t.Y(a)); }

}  // namespace

TEST(Track, OneNauticalMileEastAndNorthAreDrawnEquallyLongAtSixtyNorth) {
    // Mean latitude 60°: a nautical mile is 1/60° of latitude and 1/30° of longitude there.
    const double nm = 1.0 / kNmPerDegree;
    const Track t = TrackOf({{60, 10}, {60, 10 + 2 * nm}, {60 - nm / 2, 10}, {60 + nm / 2, 10}});
    EXPECT_NEAR(t.CosMeanLatitude(), 0.5, 1e-12);
    EXPECT_NEAR(Length(t, 0, 1), nm, 1e-12);
    EXPECT_NEAR(Length(t, 2, 3), nm, 1e-12);
}

TEST_F(ReplayTest, TrackKeepsTimedPositionsAndCrossesTheAntimeridianWithoutALineAroundTheWorld) {
    constexpr int32_t kDeg = kPositionUnitsPerDegree;
    TrackSink sink;
    Replay({GpsAt(10 * kDeg, 179 * kDeg, 0).Sealed(),  // before any time: not on the chart
            FlightAt(0, 0).PAltitude(1500).Sealed(),
            GpsAt(0, 0, 0).Sealed(),                    // no position
            GpsAt(91 * kDeg, 0, 0).Sealed(),            // off the globe
            GpsAt(10 * kDeg, 179 * kDeg + kDeg / 2, 0).Sealed(),
            FlightAt(0, 1).PAltitude(1600).Sealed(),
            GpsAt(10 * kDeg, -179 * kDeg - kDeg / 2, 0).Sealed(),
            GpsAt(10 * kDeg, -179 * kDeg, 0).Sealed()},
           {&sink});
    const Track& t = sink.Result();
    ASSERT_EQ(t.Size(), 3u);
    const double lons[] = {179.5, 180.5, 181};
    const double times[] = {TimeAt(0, 0), TimeAt(0, 1), TimeAt(0, 1)};
    const int32_t palts[] = {1500, 1600, 1600};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(t.Point(i).longitude, lons[i]) << i;
        EXPECT_DOUBLE_EQ(t.Point(i).time, times[i]) << i;
        EXPECT_EQ(t.Point(i).paltFeet, palts[i]) << i;
    }
    EXPECT_LT(t.Bounds().Width(), 1.5);
    EXPECT_NEAR(t.HeadingAt(0), 90, 1e-9);  // east, across 180°

    // A flight without positions gives an empty track; so does one that cannot be read.
    Replay({FlightAt(0, 0).Sealed(), GpsAt(0, 0, 0).Sealed()}, {&sink});
    EXPECT_TRUE(sink.Result().Empty());
    EXPECT_FALSE(sink.Result().IndexAt(TimeAt(0, 0)));
    EXPECT_FALSE(sink.Result().Nearest(0, 0, 1e9));
    EXPECT_TRUE(sink.Result().Bounds().empty);
    EXPECT_TRUE(sink.Result().SpanOf(0, 1e9).Empty());
}

TEST_F(ReplayTest, TrackBreaksWhereTheFixWasLostOrTheGoodPositionsLieOverTenSecondsApart) {
    constexpr int32_t kDeg = kPositionUnitsPerDegree;
    TrackSink sink;
    const auto at = [](int second, int32_t lon) {
        return std::vector<Frame>{FlightAt(0, second).Sealed(), GpsAt(50 * kDeg, lon, 0).Sealed()};
    };
    std::vector<Frame> frames = {FlightAt(0, 0).Sealed(), GpsAt(0, 0, 0).Sealed()};  // no fix yet: no break
    for (const auto& part : {at(0, 0), at(1, 100), at(11, 200), at(22, 300), at(23, 400)})
        frames.insert(frames.end(), part.begin(), part.end());
    frames.push_back(GpsAt(0, 0, 0).Sealed());  // the fix lost within the second
    for (const auto& part : {at(24, 500), at(25, 600)}) frames.insert(frames.end(), part.begin(), part.end());
    Replay(frames, {&sink});
    const Track& t = sink.Result();
    ASSERT_EQ(t.Size(), 7u);
    //                  0s     1s     11s    22s   23s    24s   25s
    const bool breaks[] = {false, false, false, true, false, true, false};
    for (size_t i = 0; i < t.Size(); ++i) EXPECT_EQ(t.BreaksBefore(i), breaks[i]) << i;
    // Thinning keeps both sides of a break, even within one pixel.
    std::vector<uint32_t> kept;
    t.ReduceToPixels({0, t.Size()}, PixelMap{0, 100, 1e-6}, kept);
    EXPECT_EQ(kept, (std::vector<uint32_t>{0, 2, 3, 4, 5, 6}));
}

TEST(Track, TimesFindTheLastPositionAtOrBeforeAndTheSpanWithin) {
    // Four positions at 0, 1, 1 and 3 seconds, given out of order.
    Track t({{1000 + 3 * kSecond, 0, 0.003, 0},
             {1000, 0, 0, 0},
             {1000 + kSecond, 0, 0.001, 0},
             {1000 + kSecond, 0, 0.002, 0}});
    ASSERT_EQ(t.Point(3).longitude, 0.003);
    EXPECT_EQ(t.Point(1).longitude, 0.001);  // equal times keep their order
    struct Case {
        double seconds;
        std::optional<size_t> index;
    };
    for (const Case& c : {Case{-0.5, std::nullopt}, Case{0, 0}, Case{0.5, 0}, Case{1, 2}, Case{2.9, 2},
                          Case{3, 3}, Case{99, 3}})
        EXPECT_EQ(t.IndexAt(1000 + c.seconds * kSecond), c.index) << c.seconds;

    struct SpanCase {
        double from, to;
        size_t begin, end;
    };
    for (const SpanCase& c : {SpanCase{-9, 99, 0, 4}, SpanCase{0.5, 2.5, 1, 3}, SpanCase{1, 3, 1, 4},
                              SpanCase{1.2, 1.8, 3, 3}, SpanCase{4, 9, 4, 4}}) {
        const TrackSpan s = t.SpanOf(1000 + c.from * kSecond, 1000 + c.to * kSecond);
        EXPECT_EQ(s.begin, c.begin) << c.from;
        EXPECT_EQ(s.end, c.end) << c.from;
    }
    const TrackBox box = t.Bounds(t.SpanOf(1000 + 0.5 * kSecond, 1000 + 2.5 * kSecond));
    EXPECT_DOUBLE_EQ(box.minX, 0.001);
    EXPECT_DOUBLE_EQ(box.maxX, 0.002);
}

TEST(Track, HoverPicksTheNearestPointWithinReach) {
    const Track t = TrackOf({{0, 0}, {0, 1}, {0, 2}, {0, 1}});  // back over the second point
    struct Case {
        double x, y, reach;
        std::optional<size_t> index;
    };
    for (const Case& c : {Case{0.1, 0.1, 0.5, 0}, Case{1.9, -0.2, 0.5, 2}, Case{1.0, 0.0, 0.5, 1},
                          Case{0.5, 0.6, 0.5, std::nullopt}, Case{5, 0, 0.5, std::nullopt}})
        EXPECT_EQ(t.Nearest(c.x, c.y, c.reach), c.index) << c.x << "," << c.y;
}

TEST(Track, HeadingFollowsTheTrackAndStandingStillKeepsNorth) {
    const Track t = TrackOf({{0, 0}, {0, 0}, {0, 0.01}, {0.01, 0.01}});
    struct Case {
        size_t index;
        double heading;
    };
    for (const Case& c : {Case{0, 90}, Case{1, 90}, Case{2, 0}, Case{3, 0}})
        EXPECT_NEAR(t.HeadingAt(c.index), c.heading, 1e-9) << c.index;
    EXPECT_EQ(TrackOf({{5, 5}, {5, 5}}).HeadingAt(1), 0);
}

TEST(Track, PixelThinningKeepsEachRunsEndsAndNoMore) {
    // 10,000 points along 100 pixels, then one far off: runs of 100 points per pixel.
    std::vector<TrackPoint> points;
    for (int i = 0; i < 10000; ++i) points.push_back({1000 + i * kSecond, 0.0005, i / 100.0 + 0.005, 0});
    points.push_back({1000 + 10000 * kSecond, 0.0005, 500, 0});
    const Track t(std::move(points));
    std::vector<uint32_t> kept;
    t.ReduceToPixels({0, t.Size()}, PixelMap{0, 1, 1}, kept);
    ASSERT_EQ(kept.size(), 201u);
    EXPECT_EQ(kept.front(), 0u);
    EXPECT_EQ(kept[1], 99u);
    EXPECT_EQ(kept[2], 100u);
    EXPECT_EQ(kept.back(), 10000u);
    // At a scale where every point has its own pixel, all stay; a span keeps its own ends.
    kept.clear();
    t.ReduceToPixels({10, 20}, PixelMap{0, 1, 1000}, kept);
    EXPECT_EQ(kept.size(), 10u);
    kept.clear();
    t.ReduceToPixels({150, 160}, PixelMap{0, 1, 1}, kept);
    EXPECT_EQ(kept, (std::vector<uint32_t>{150, 159}));
}
