// The synthetic recording generator: determinism, sound Frames, block layouts, wrap, faults.
#include <gtest/gtest.h>

#include <random>


#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "format/bytes.h"
#include "base/error.h"
#include "format/frame_scanner.h"
#include "format/messages.h"
#include "gen/generator.h"
#include "support/temp_folder.h"

using namespace krelby;
using krelby::gen::RecordingOptions;
using krelby::gen::RecordingStats;

namespace {

struct Found {
    FrameType type;
    std::vector<uint8_t> bytes;
};

struct Collect : FrameHandler {
    std::vector<Found> frames;
    void OnFrame(FrameType t, const uint8_t* f, size_t n) override { frames.push_back({t, {f, f + n}}); }
};

std::vector<Found> Scan(const std::vector<uint8_t>& stream) {
    ChecksumOptions opt;
    FrameScanner scanner(opt);
    Collect c;
    scanner.Feed(stream.data(), stream.size(), c);
    return c.frames;
}

// Seconds since 2000 of a FlightMessage, from its own fields.
int64_t Seconds(const std::vector<uint8_t>& f) {
    const FlightMessage m(f.data());
    const MessageTime t = MessageDateTime(m);
    EXPECT_EQ(t.status, DateStatus::Ok);
    return std::llround(t.value * 86400.0);
}

std::vector<int64_t> FlightTimes(const std::vector<Found>& frames) {
    std::vector<int64_t> out;
    for (const auto& f : frames)
        if (f.type == FrameType::Flight) out.push_back(Seconds(f.bytes));
    return out;
}

RecordingOptions Small(uint32_t seed = 7) {
    RecordingOptions o;
    o.seed = seed;
    o.flights = 3;
    o.secondsPerFlight = 120;
    return o;
}

}  // namespace

TEST(Generator, SameOptionsSameBytesOtherSeedOtherBytes) {
    struct Case { const char* name; bool wrap, sd, faults; };
    for (const Case& c : {Case{"plain", false, false, false}, Case{"wrap", true, false, true},
                          Case{"sd", false, true, true}}) {
        RecordingOptions o = Small();
        o.wrap = c.wrap;
        o.sdCard = c.sd;
        if (c.faults) o.faults = {0.02, 0.02, 0.01, 0.01};
        const auto a = gen::Recording(o);
        EXPECT_EQ(a, gen::Recording(o)) << c.name;
        o.seed = 8;
        EXPECT_NE(a, gen::Recording(o)) << c.name;
    }
}

TEST(Generator, EveryFrameWrittenIsFoundSoundAndPlausible) {
    RecordingOptions o = Small();
    o.engineMonitors = 3;
    RecordingStats stats;
    const auto frames = Scan(gen::FrameStream(o, &stats));
    std::array<uint64_t, 7> counts{};
    for (const auto& f : frames) ++counts[FrameTypeIndex(f.type)];
    EXPECT_EQ(counts, stats.frames);
    EXPECT_EQ(stats.frames, stats.intact);
    EXPECT_EQ(counts[FrameTypeIndex(FrameType::Flight)], 3u * 120u);
    for (FrameType t : {FrameType::Gps, FrameType::Attitude, FrameType::Inputs, FrameType::Engine,
                        FrameType::Fuel, FrameType::Navigation})
        EXPECT_GT(counts[FrameTypeIndex(t)], 0u) << static_cast<int>(t);

    double maxRpm = 0, maxCht = 0, latMin = 90, latMax = -90;
    for (const auto& f : frames) {
        const uint8_t* b = f.bytes.data();
        switch (f.type) {
            case FrameType::Engine: {
                ASSERT_EQ(b[2], 56);
                const EngineMessage e(b);
                EXPECT_GE(e.MonitorNumber(), 1);
                EXPECT_LE(e.MonitorNumber(), 3);
                maxRpm = std::max<double>(maxRpm, e.Rpm());
                for (int n = 5; n <= 8; ++n) maxCht = std::max<double>(maxCht, e.TC(n));
                break;
            }
            case FrameType::Fuel:
                EXPECT_EQ(b[2], 8 * 12 - 4);
                EXPECT_EQ(FuelMessage(b).FuelLevelCount(), 12);
                break;
            case FrameType::Inputs: EXPECT_EQ(b[2], 44); break;
            case FrameType::Gps:
                latMin = std::min(latMin, GpsMessage(b).Latitude() / 180000.0);
                latMax = std::max(latMax, GpsMessage(b).Latitude() / 180000.0);
                break;
            default: break;
        }
    }
    EXPECT_GT(maxRpm, 2300);
    EXPECT_LT(maxRpm, 2800);
    EXPECT_GT(maxCht, 140);
    EXPECT_LT(maxCht, 230);
    EXPECT_GT(latMax - latMin, 0.01);  // the aircraft goes somewhere

    // One second per FlightMessage; flights hours apart.
    const auto times = FlightTimes(frames);
    int jumps = 0;
    for (size_t i = 1; i < times.size(); ++i) {
        const int64_t d = times[i] - times[i - 1];
        if (d > 60) ++jumps;
        else EXPECT_EQ(d, 1) << i;
    }
    EXPECT_EQ(jumps, 2);
}

TEST(Generator, InternalBlocksCarryRunningNumbersAnd508StreamBytes) {
    const RecordingOptions o = Small();
    const auto file = gen::Recording(o);
    const auto stream = gen::FrameStream(o);
    ASSERT_GT(file.size(), 2048u);
    EXPECT_NE(file.size() % 512, 0u) << "the last block is short";
    std::vector<uint8_t> payload;
    for (size_t at = 0, n = 1; at < file.size(); at += 512, ++n) {
        EXPECT_EQ(u32le(file.data(), at), n);
        payload.insert(payload.end(), file.begin() + at + 4, file.begin() + std::min(file.size(), at + 512));
    }
    EXPECT_EQ(payload, stream);
    // Frames straddle block boundaries, and the scanner still finds all of them.
    EXPECT_EQ(Scan(payload).size(), Scan(stream).size());
}

TEST(Generator, SdCardEndsWithAZeroBlockThenStaleGarbage) {
    RecordingOptions o = Small();
    o.sdCard = true;
    RecordingStats stats;
    const auto file = gen::Recording(o, &stats);
    ASSERT_EQ(file.size() % 512, 0u);
    size_t zero = 0;
    while (zero < file.size() && u32le(file.data(), zero) != 0) zero += 512;
    ASSERT_LT(zero, file.size());
    EXPECT_GE((file.size() - zero) / 512, 3u) << "a zero block and some garbage blocks";
    for (size_t at = zero + 512; at < file.size(); at += 512) EXPECT_NE(u32le(file.data(), at), 0u);

    // The recording proper holds the three flights; the garbage holds stale FlightMessages
    // that an import must never reach.
    const auto before = FlightTimes(Scan(gen::FrameStream(o)));
    EXPECT_EQ(before.size(), 360u);
    const std::vector<uint8_t> after(file.begin() + zero, file.end());
    const auto stale = FlightTimes(Scan(after));
    ASSERT_FALSE(stale.empty());
    EXPECT_LT(stale.front(), before.front() - 86400);
}

TEST(Generator, WrappedFileStartsWithTheNewestFlightsContinuation) {
    struct Case { uint32_t seed; int flights; double faults; };
    for (const Case& c : {Case{1, 3, 0}, Case{2, 1, 0}, Case{3, 4, 0.01}, Case{11, 2, 0.02}}) {
        RecordingOptions o = Small(c.seed);
        o.flights = c.flights;
        o.wrap = true;
        o.faults = {c.faults, c.faults, c.faults / 2, c.faults};
        RecordingStats stats;
        const auto file = gen::Recording(o, &stats);
        ASSERT_EQ(file.size() % 512, 0u);
        EXPECT_GT(u32le(file.data(), 0), 1u) << "block 0 was written after the end of the file";

        const auto stream = gen::FrameStream(o);
        const auto times = FlightTimes(Scan(stream));
        ASSERT_GE(times.size(), 2u);
        const int64_t gap = times.front() - times.back();
        EXPECT_GE(gap, 6) << c.seed;
        EXPECT_LE(gap, 59) << c.seed;
        EXPECT_EQ(gap, stats.wrapGapSeconds) << c.seed;

        // Read on from the end into the start, as the import's second pass does: the Frame cut
        // by the end of the file completes, and the clock runs on without a flight break.
        ChecksumOptions opt;
        FrameScanner scanner(opt);
        Collect c1;
        scanner.Feed(stream.data(), stream.size(), c1);
        const size_t before = c1.frames.size();
        scanner.Feed(stream.data(), 508, c1);
        const auto joined = FlightTimes(std::vector<Found>(c1.frames.begin() + before, c1.frames.end()));
        if (c.faults == 0) {
            EXPECT_GT(c1.frames.size(), before) << "the straddling Frame completes";
            ASSERT_FALSE(joined.empty());
            EXPECT_EQ(joined.front(), times.front());
        }
    }
}

TEST(Generator, FaultsComeAtRoughlyTheRequestedRates) {
    RecordingOptions o = Small(5);
    o.secondsPerFlight = 600;
    o.faults = {0.05, 0.03, 0.01, 0.04};
    RecordingStats stats;
    const auto found = Scan(gen::FrameStream(o, &stats));
    uint64_t frames = 0, intact = 0, variable = 0;
    for (int t = 0; t < 7; ++t) frames += stats.frames[t], intact += stats.intact[t];
    variable = stats.frames[FrameTypeIndex(FrameType::Inputs)] + stats.frames[FrameTypeIndex(FrameType::Engine)] +
               stats.frames[FrameTypeIndex(FrameType::Fuel)];
    auto near = [](double got, double want) { return std::abs(got - want) < 0.25 * want; };
    EXPECT_TRUE(near(stats.junkRuns, 0.05 * frames)) << stats.junkRuns;
    EXPECT_TRUE(near(stats.badCrc, 0.03 * frames)) << stats.badCrc;
    EXPECT_TRUE(near(stats.truncated, 0.01 * frames)) << stats.truncated;
    EXPECT_TRUE(near(stats.oversized, 0.04 * variable)) << stats.oversized;
    // The scanner finds what the generator says a scanner finds, give or take a false sync
    // in the bytes after a cut Frame.
    EXPECT_NEAR(static_cast<double>(found.size()), static_cast<double>(intact), 0.003 * intact);
    EXPECT_LT(intact, frames * 0.95);
}

TEST(Generator, TargetSizeAddsFlightsAndWritesTheSameBytesToAFile) {
    const krelby::testing::TempFolder dir;
    for (bool wrap : {false, true}) {
        RecordingOptions o = Small();
        o.flights = 1;
        o.wrap = wrap;
        o.targetBytes = 1 << 20;
        RecordingStats stats;
        const auto bytes = gen::Recording(o, &stats);
        EXPECT_GE(bytes.size(), o.targetBytes) << wrap;
        EXPECT_LT(bytes.size(), o.targetBytes + 3 * 120 * 600) << wrap;
        EXPECT_GT(stats.flights, 5);
        EXPECT_EQ(stats.fileBytes, bytes.size());
        gen::WriteRecording(dir / "rec.dat", o);
        EXPECT_EQ(krelby::testing::ReadBytes(dir / "rec.dat"), bytes) << wrap;
    }
}

TEST(Generator, RejectsImpossibleOptionsWithAMessage) {
    const krelby::testing::TempFolder dir;
    auto bad = [](auto change) {
        RecordingOptions o = Small();
        change(o);
        return o;
    };
    const std::vector<RecordingOptions> cases = {
        bad([](RecordingOptions& o) { o.engineMonitors = 5; }),
        bad([](RecordingOptions& o) { o.secondsPerFlight = 0; }),
        bad([](RecordingOptions& o) { o.startMonth = 2, o.startDay = 30; }),
        bad([](RecordingOptions& o) { o.faults.badCrc = 1.5; }),
        bad([](RecordingOptions& o) { o.wrap = true, o.secondsPerFlight = 1, o.flights = 1; }),
    };
    for (const auto& o : cases) EXPECT_THROW(gen::Recording(o), krelby::Error);
    EXPECT_THROW(gen::WriteRecording("/nonexistent-folder/x.dat", Small()), krelby::Error);

    // A recording that fails half way is not left behind to pass for a whole one.
    EXPECT_THROW(gen::WriteRecording(dir / "fail.dat", cases.back()), krelby::Error);
    EXPECT_FALSE(std::filesystem::exists(dir / "fail.dat"));
}
