#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <tuple>
#include <vector>
#include <zlib.h>

#include "format/bytes.h"
#include "format/crc32.h"
#include "format/frame_builder.h"
#include "format/frame_scanner.h"
#include "support/messages.h"
#include "format/messages.h"

using namespace krelby;

namespace {

struct Collect : FrameHandler {
    std::vector<std::vector<uint8_t>> frames;
    size_t stopAfter = SIZE_MAX;  // the stop test turns true once this many Frames are in
    void OnFrame(FrameType, const uint8_t* f, size_t n) override { frames.emplace_back(f, f + n); }
    bool StopScanning() const override { return frames.size() >= stopAfter; }
};

using krelby::testing::Cat;

std::vector<uint8_t> Flight() {
    return krelby::testing::FlightFrame().PAltitude(1234).Date(5, 3, 14).Sealed();
}

}  // namespace

TEST(Crc32, CheckValue) {
    const uint8_t text[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(Crc32(text, 9), 0xCBF43926u);
}

TEST(FrameScanner, FlightMessageLayout) {
    auto f = Flight();
    ASSERT_EQ(f.size(), 44u);
    EXPECT_EQ(f[0], 0x05); EXPECT_EQ(f[1], 0x02); EXPECT_EQ(f[2], 0x18); EXPECT_EQ(f[3], 0xE7); EXPECT_EQ(f[4], 0x01);
    ChecksumOptions opt;
    EXPECT_TRUE(ChecksumTest(f.data(), opt));
}

TEST(FrameScanner, FindsFramesInAnyPieces) {
    ChecksumOptions opt;
    auto stream = Cat({{0x00, 0x13}, Flight(), Flight(), {0x77, 0x05, 0x99}, Flight()});
    for (size_t piece : {1u, 2u, 7u, 43u, 1000u}) {
        FrameScanner s(opt);
        Collect c;
        for (size_t i = 0; i < stream.size(); i += piece)
            s.Feed(stream.data() + i, std::min(piece, stream.size() - i), c);
        EXPECT_EQ(c.frames.size(), 3u) << piece;
        for (const auto& f : c.frames) EXPECT_EQ(f, Flight());
    }
}

TEST(FrameScanner, ResynchronisationRules) {
    ChecksumOptions opt;
    struct Case { const char* name; std::vector<uint8_t> prefix; size_t expected; };
    const std::vector<Case> cases = {
        {"lone 05 before 05 02 hides the frame", {0x05}, 0},
        {"05 05 02: second 05 does not start", {}, 1},
        {"failed complement consumes the byte", {0x05, 0x02, 0x18, 0x00}, 1},
        {"wrong length for type 2", FrameBuilder(FrameType::Gps, 35).Sealed(), 1},
    };
    for (const auto& c : cases) {
        FrameScanner s(opt);
        Collect col;
        auto stream = Cat({c.prefix, Flight()});
        s.Feed(stream.data(), stream.size(), col);
        EXPECT_EQ(col.frames.size(), c.expected) << c.name;
    }
}

TEST(FrameScanner, ChecksumRules) {
    ChecksumOptions opt;
    // A Frame sealed by zlib over exactly the type byte and body (offsets 4 to L+15), apart
    // from the project's own sealer, passes; one sealed a byte short, or a byte long, fails.
    for (const auto& [from, to, passes] : {std::tuple{4, 0, true}, {4, -1, false}, {5, 0, false}, {3, 0, false}}) {
        auto f = FrameBuilder(FrameType::Gps).i32(8, 77).i32(51, 0x01020304).Sealed();
        const size_t end = f.size() - 4 + size_t(to);
        const uint32_t crc = uint32_t(crc32(0, f.data() + from, uInt(end - size_t(from))));
        for (int i = 0; i < 4; ++i) f[f.size() - 4 + size_t(i)] = uint8_t(crc >> (8 * i));
        FrameScanner s(opt);
        Collect c;
        s.Feed(f.data(), f.size(), c);
        EXPECT_EQ(c.frames.size(), passes ? 1u : 0u) << from << " to end" << to;
    }
    const auto literal = FrameBuilder(FrameType::Flight).i32(8, 1234).u8(35, 5).u8(36, 3).u8(37, 14).Sealed();
    EXPECT_EQ(u32le(literal.data(), 40), 0xAEA06780u);
    auto badFlight = FrameBuilder(FrameType::Flight).BadCrc();
    auto badFuel = FrameBuilder(FrameType::Fuel, 0).BadCrc();
    auto stream = Cat({badFlight, badFuel});
    {
        FrameScanner s(opt);
        Collect c;
        s.Feed(stream.data(), stream.size(), c);
        ASSERT_EQ(c.frames.size(), 1u);  // the fuel message is never tested
        EXPECT_EQ(c.frames[0].size(), 20u);
    }
    opt.IgnoreChecksums = true;
    FrameScanner s(opt);
    Collect c;
    s.Feed(stream.data(), stream.size(), c);
    EXPECT_EQ(c.frames.size(), 2u);
}

TEST(FrameScanner, OversizedLengthIsDroppedAtTypeByte) {
    ChecksumOptions opt;
    for (auto [type, L] : {std::pair{FrameType::Inputs, 45}, {FrameType::Engine, 57}, {FrameType::Fuel, 125}}) {
        std::vector<uint8_t> raw(FrameSize(static_cast<uint8_t>(L)) , 0xAA);
        raw[0] = 5; raw[1] = 2; raw[2] = static_cast<uint8_t>(L); raw[3] = static_cast<uint8_t>(L ^ 0xFF);
        raw[4] = static_cast<uint8_t>(type);
        auto stream = Cat({raw, Flight()});
        FrameScanner s(opt);
        Collect c;
        s.Feed(stream.data(), stream.size(), c);
        ASSERT_EQ(c.frames.size(), 1u);
        EXPECT_EQ(c.frames[0][4], 1);
        EXPECT_EQ(s.State(), 0);
    }
}

// Frames lying whole in a piece are tested where they lie; a piece of one byte takes every
// Frame through the byte-by-byte states. Both must find the same Frames, stop at the same
// byte and end in the same state, on streams dense in near-misses of every rule.
TEST(FrameScanner, WholePiecesAgreeWithSingleBytes) {
    const FrameType types[] = {FrameType::Flight, FrameType::Gps,    FrameType::Attitude, FrameType::Inputs,
                               FrameType::Engine, FrameType::Fuel, FrameType::Navigation};
    std::mt19937 rng(2024);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 400; ++round) {
        std::vector<uint8_t> stream;
        while (stream.size() < 600) {
            const FrameType t = types[pick(7)];
            const int largest = static_cast<int>(FrameCapacity(t)) - 20;
            const bool fixed = RequiredLength(t) >= 0;
            // Variable lengths run past the buffer's capacity, fixed ones miss by one.
            const int L = fixed ? RequiredLength(t) + (pick(8) == 0 ? pick(3) - 1 : 0) : pick(largest + 4);
            FrameBuilder build(t, static_cast<uint8_t>(L));
            for (int off = 5; off < L + 16; ++off) build.u8(static_cast<size_t>(off), static_cast<uint8_t>(rng()));
            std::vector<uint8_t> f = build.Sealed();
            switch (pick(6)) {
                case 0: f[static_cast<size_t>(pick(static_cast<int>(f.size())))] ^= static_cast<uint8_t>(1 + pick(255)); break;
                case 1: f.resize(static_cast<size_t>(pick(static_cast<int>(f.size())))); break;
                case 2: f = {0x05, 0x05, 0x02, 0x05, static_cast<uint8_t>(rng())}; break;
                default: break;
            }
            stream.insert(stream.end(), f.begin(), f.end());
        }
        for (bool ignore : {false, true}) {
            ChecksumOptions opt;
            opt.IgnoreChecksums = ignore;
            FrameScanner whole(opt), single(opt);
            Collect a, b;
            a.stopAfter = b.stopAfter = round % 3 == 0 ? static_cast<size_t>(pick(8)) : SIZE_MAX;
            const size_t usedWhole = whole.Feed(stream.data(), stream.size(), a);
            size_t usedSingle = 0;
            while (usedSingle < stream.size() && single.Feed(&stream[usedSingle], 1, b) == 1) ++usedSingle;
            ASSERT_EQ(a.frames, b.frames) << "round " << round;
            ASSERT_EQ(usedWhole, usedSingle) << "round " << round;
            ASSERT_EQ(whole.State(), single.State()) << "round " << round;
        }
    }
}

TEST(Crc32, MatchesZlibAtEveryFrameLength) {
    std::vector<uint8_t> data(300);
    for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 151 + 7);
    for (size_t n = 0; n < data.size(); ++n)  // from an odd address, as Frames lie in a stream
        EXPECT_EQ(Crc32(data.data() + 1, n), uint32_t(crc32(0, data.data() + 1, uInt(n)))) << n;
}
