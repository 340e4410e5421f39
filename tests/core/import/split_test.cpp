#include "support/import_fixture.h"

#include "import/flight_file_name.h"

using namespace krelby;
using namespace krelby::test;

TEST(FlightFileName, SeparatorsAndMidnight) {
    struct Case { int y, mo, d, h, mi, s; Regional r; const char* name; };
    const Case cases[] = {
        {2014, 3, 5, 9, 41, 7, {}, "5-3-14 094107.FLT"},
        {2014, 3, 5, 0, 0, 0, {}, "5-3-14.FLT"},
        {2014, 3, 5, 0, 0, 1, {}, "5-3-14 000001.FLT"},
        {2099, 12, 31, 23, 59, 59, {}, "31-12-99 235959.FLT"},
        {2014, 3, 5, 9, 41, 7, {'.', '.', ','}, "5.3.14 09.41.07.FLT"},  // other separators stay
        {2014, 3, 5, 9, 41, 7, {':', '/', '.'}, "5314 09-41-07.FLT"},    // ":" goes, "/" -> "-"
    };
    for (const auto& c : cases) {
        const double t = *EncodeDate(c.y, c.mo, c.d) + *EncodeTime(c.h, c.mi, c.s);
        EXPECT_EQ(FlightFileName(t, c.r), c.name);
    }
}

TEST_F(ImportTest, OneMinuteRuleBothWays) {
    for (int jump : {59, 61, -59, -61, 0}) {
        for (const auto& e : fs::directory_iterator(root + "Flights_INT")) fs::remove(e.path());
        const auto r = Import(Blocks(Cat({Fm(0, 1), Gps(1), Fm(jump, 2), Gps(2)})));
        const auto files = Flights();
        const bool split = jump > 60 || jump < -60;
        EXPECT_EQ(r.Message(), split ? "Imported 2 flights." : "Imported 1 flights.") << jump;
        if (split) {
            EXPECT_EQ(files.at("5-3-14 100000.FLT"), Cat({Fm(0, 1), Gps(1)})) << jump;
            EXPECT_EQ(files.at(jump > 0 ? "5-3-14 100101.FLT" : "5-3-14 095859.FLT"), Cat({Fm(jump, 2), Gps(2)}));
        } else {
            EXPECT_EQ(files.at("5-3-14 100000.FLT"), Cat({Fm(0, 1), Gps(1), Fm(jump, 2), Gps(2)})) << jump;
        }
    }
}

TEST_F(ImportTest, FramesStraddlingBlocksAreWrittenWholeWithoutHeaders) {
    Bytes stream, expected;
    for (int i = 0; i < 300; ++i) {
        const Bytes frames = Cat({Fm(i, i), Gps(i), Fuel(uint8_t(i % 125), i)});
        stream = Cat({stream, Bytes(size_t(i % 4), 0x77), Bytes{0x05, 0x00}, frames});  // stray bytes
        expected = Cat({expected, frames});
    }
    for (auto kind : {RecordingKind::Internal, RecordingKind::SdCard}) {
        EXPECT_EQ(Import(Blocks(stream), kind).FlightCount, 1);
        const auto files = Flights(kind == RecordingKind::SdCard ? "Flights_SD" : "Flights_INT");
        ASSERT_EQ(files.size(), 1u);
        EXPECT_EQ(files.begin()->second, expected);
    }
}

TEST_F(ImportTest, UndatedFramesAreLeftOutAndFramesAroundStay) {
    const Bytes dayZero = Raw(10, 0, 2, 0, 3), monthZero = Raw(10, 0, 3, 5, 0);
    const auto r = Import(Blocks(Cat({Gps(0), dayZero, Fm(0, 1), Gps(1), monthZero, Gps(2), Fm(1, 2)})));
    EXPECT_EQ(r.Message(), "Imported 1 flights.");  // no second line: undated messages are not counted
    EXPECT_EQ(Flights().at("5-3-14 100000.FLT"), Cat({Fm(0, 1), Gps(1), Gps(2), Fm(1, 2)}));
}

TEST_F(ImportTest, ShortRecordingsYieldNoFlights) {
    for (size_t n : {0, 1, 4, 5, 600}) {
        EXPECT_EQ(Import(Bytes(n, 0x05)).Message(), "Imported 0 flights.") << n;
        EXPECT_EQ(Import(Bytes(n, 0x00), RecordingKind::SdCard).FlightCount, 0) << n;
    }
    EXPECT_TRUE(Flights().empty());
}

TEST_F(ImportTest, IgnoreChecksumsWritesBadFrames) {
    const Bytes bad = FrameBuilder(FrameType::Gps).BadCrc();
    EXPECT_EQ(Import(Blocks(Cat({Fm(0), bad}))).FlightCount, 1);
    EXPECT_EQ(Flights().begin()->second, Fm(0));
    checks.IgnoreChecksums = true;
    Import(Blocks(Cat({Fm(0), bad})));
    EXPECT_EQ(Flights().begin()->second, Cat({Fm(0), bad}));
}

// Pads a stream to whole blocks.
static Bytes Pad(Bytes b) { b.resize((b.size() + 507) / 508 * 508, 0); return b; }

TEST_F(ImportTest, SdZeroBlockEndsTheImport) {
    // First block zero: nothing.
    EXPECT_EQ(Import(Blocks(Flight(0, 20), 0), RecordingKind::SdCard).Message(), "Imported 0 flights.");
    EXPECT_TRUE(Flights("Flights_SD").empty());
    // A wrapped recording, then a zero block, then another flight: read up to the zero block only,
    // and no second pass.
    const Bytes wrapped = Pad(Cat({Flight(30, 5), Flight(3600, 5), Flight(0, 20)}));
    const Bytes rec = Blocks(Cat({wrapped, Pad(Fm(9000)), Flight(7200, 5)}), wrapped.size() / 508);
    EXPECT_EQ(Import(rec, RecordingKind::SdCard).FlightCount, 3);
    const auto sd = Flights("Flights_SD");
    EXPECT_EQ(sd.size(), 3u);
    EXPECT_EQ(sd.at("5-3-14 100030.FLT"), Flight(30, 5));
    // Without the zero block the same recording is read to its end and wrapped.
    EXPECT_EQ(Import(Blocks(wrapped), RecordingKind::SdCard).FlightCount, 3);
    EXPECT_EQ(Flights("Flights_SD").size(), 2u);
    EXPECT_EQ(Flights("Flights_SD").at("5-3-14 100000.FLT"), Cat({Flight(0, 20), Flight(30, 5)}));
}
