// The figures of a stepwise series over a span: each value holds until the next sample.
#include "replay/span_stats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace krelby;

namespace {

// Samples at t = 0, 10, 20, 40 s holding 100, 200, 50, 300.
const std::vector<double> kXs = {0, 10, 20, 40};
const std::vector<double> kYs = {100, 200, 50, 300};

struct Case {
    const char* name;
    double from, to;
    double start, end, min, max, mean;  // NaN: none
};

bool Same(double a, double b) { return (std::isnan(a) && std::isnan(b)) || std::abs(a - b) < 1e-9; }

}  // namespace

TEST(SpanStats, FiguresOfAKnownSpanAreTimeWeighted) {
    const double none = std::nan("");
    const Case cases[] = {
        // 5 s of 100, 10 s of 200, 10 s of 50: (500 + 2000 + 500) / 25.
        {"inside, across samples", 5, 30, 100, 50, 50, 200, 120},
        {"given backwards", 30, 5, 100, 50, 50, 200, 120},
        {"within one step", 12, 18, 200, 200, 200, 200, 200},
        // The last value holds on: 10 s of 50 and 20 s of 300.
        {"beyond the last sample", 30, 60, 50, 300, 50, 300, (500 + 6000) / 30.0},
        // From the first sample on only: 10 s of 100, 5 s of 200.
        {"before the first sample", -20, 15, none, 200, 100, 200, (1000 + 1000) / 15.0},
        {"a moment", 20, 20, 50, 50, 50, 50, 50},
        {"on a sample's time", 10, 20, 200, 50, 50, 200, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SpanStats s = StatsOverSpan(kXs, kYs, c.from, c.to);
        ASSERT_TRUE(s.any);
        EXPECT_TRUE(Same(s.start, c.start)) << s.start;
        EXPECT_TRUE(Same(s.end, c.end)) << s.end;
        EXPECT_TRUE(Same(s.min, c.min)) << s.min;
        EXPECT_TRUE(Same(s.max, c.max)) << s.max;
        EXPECT_TRUE(Same(s.mean, c.mean)) << s.mean;
    }
    EXPECT_FALSE(StatsOverSpan(kXs, kYs, -30, -10).any);  // all before the first sample
    EXPECT_FALSE(StatsOverSpan({}, {}, 0, 10).any);
}
