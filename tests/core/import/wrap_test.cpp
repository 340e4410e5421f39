#include "support/import_fixture.h"

#include <csignal>

using namespace krelby;
using namespace krelby::test;

// [a Gps, the first flight at 0..9 s, a flight an hour later, the last flight, ending `gap`
// seconds before the first flight starts].
static Bytes Wrapped(int gap) {
    return Blocks(Cat({Gps(-1), Flight(0, 10), Flight(3600, 10), Flight(-gap - 9, 10)}));
}

// The display's stream as the file holds it after a wrap at `cut`.
static Bytes Rotated(const Bytes& display, size_t cut) {
    Bytes stream(display.begin() + long(cut), display.end());
    stream.insert(stream.end(), display.begin(), display.begin() + long(cut));
    return Blocks(stream);
}

// The files other than the first flight's and the middle one's.
static std::vector<Bytes> LastFlights(const std::map<std::string, Bytes>& files) {
    std::vector<Bytes> out;
    for (const auto& [name, content] : files)
        if (name != "5-3-14 100000.FLT" && name != "5-3-14 110000.FLT") out.push_back(content);
    return out;
}

TEST_F(ImportTest, WrapJoinsTheStartToTheLastFlight) {
    struct Case { int gap; bool join; };
    for (const Case c : {Case{6, true}, {59, true}, {4, false}, {-10, false}}) {
        fs::remove_all(root + "Flights_INT");
        fs::create_directory(root + "Flights_INT");
        EXPECT_EQ(Import(Wrapped(c.gap)).Message(), "Imported 3 flights.") << c.gap;
        const auto files = Flights();
        ASSERT_EQ(files.size(), c.join ? 2u : 3u) << c.gap;
        EXPECT_EQ(files.count("5-3-14 100000.FLT"), c.join ? 0u : 1u);
        EXPECT_EQ(files.at("5-3-14 110000.FLT"), Flight(3600, 10));
        const Bytes last = Flight(-c.gap - 9, 10);
        EXPECT_EQ(LastFlights(files).at(0), c.join ? Cat({last, Gps(-1), Flight(0, 10)}) : last) << c.gap;
    }
}

#ifndef _WIN32
// The first flight's file goes only once the last flight, which took its Frames over, is in
// place: an import failing while it writes the last flight keeps the first one whole.
TEST_F(ImportTest, WrapFailingAtTheLastFlightKeepsTheFirstFlight) {
    WriteFile(root + "rec.dat", Blocks(Cat({Gps(-1), Flight(0, 10), Flight(3600, 10), Flight(-400, 394)})));
    const std::string said = InChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(Flight(0, 50).size()), RLIM_INFINITY};  // less than the last flight
        setrlimit(RLIMIT_FSIZE, &limit);
        return ImportRecording(root + "rec.dat", RecordingKind::Internal, root, {}, checks).Message();
    });
    EXPECT_EQ(said.rfind("Disk full: ", 0), 0u) << said;
    EXPECT_EQ(Flights().at("5-3-14 100000.FLT"), Flight(0, 10));
}
#endif

// With checksums ignored, a Frame header left at the end of the recording takes the first
// bytes of its start, the first flight's opening message among them, as its body. A later
// message of the same second joins the last flight, but the opener itself never does: the
// first flight's file stays.
TEST_F(ImportTest, WrapKeepsTheFirstFlightWhoseOpenerWasSwallowed) {
    const Bytes first = Cat({Fm(0, 0), Gps(0), Fm(0, 1), Gps(1), Fm(1, 2), Gps(2)});
    const Bytes header = {0x05, 0x02, 56, 56 ^ 0xFF, uint8_t(FrameType::Engine)};  // 71 bytes to come
    checks.IgnoreChecksums = true;
    EXPECT_EQ(Import(Blocks(Cat({first, Flight(3600, 5), Flight(-29, 10), header}))).FlightCount, 3);
    const auto files = Flights();
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files.at("5-3-14 100000.FLT"), first);
    const size_t rest = Fm(0).size() + Gps(0).size();  // the opener and the Gps whose start it swallowed
    EXPECT_EQ(files.at("5-3-14 095931.FLT"), Cat({Flight(-29, 10), header, Bytes(first.begin(), first.begin() + 71),
                                                  Bytes(first.begin() + long(rest), first.end())}));
}

TEST_F(ImportTest, WrapStartMoreThanAMinuteAfterEndKeepsFirstFlight) {
    EXPECT_EQ(Import(Wrapped(120)).FlightCount, 3);
    const auto files = Flights();
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files.at("5-3-14 100000.FLT"), Flight(0, 10));
    // Only the Frames before the first FlightMessage join the last flight.
    EXPECT_EQ(LastFlights(files).at(0), Cat({Flight(-129, 10), Gps(-1)}));

    // A message cut by the end joins the last flight, but the first flight starts 90 s after it.
    const Bytes display = Cat({Flight(3600, 5), Flight(0, 5), Fm(10), Flight(100, 5)});
    const size_t fm10 = Flight(3600, 5).size() + Flight(0, 5).size();
    fs::remove_all(root + "Flights_INT");
    fs::create_directory(root + "Flights_INT");
    EXPECT_EQ(Import(Rotated(display, fm10 + 20)).FlightCount, 3);
    EXPECT_EQ(Flights().at("5-3-14 100140.FLT"), Flight(100, 5));
    EXPECT_EQ(Flights().at("5-3-14 100000.FLT"), Cat({Flight(0, 5), Fm(10)}));
}

TEST_F(ImportTest, WrapWithSingleFlightLeavesFileAsWritten) {
    // A clock running backwards less than a minute at a time: one flight, start after end.
    const Bytes stream = Cat({Gps(-1), Fm(50, 1), Gps(1), Fm(20, 2), Gps(2), Fm(0, 3)});
    EXPECT_EQ(Import(Blocks(stream)).FlightCount, 1);
    EXPECT_EQ(Flights().at("5-3-14 100050.FLT"), Cat({Fm(50, 1), Gps(1), Fm(20, 2), Gps(2), Fm(0, 3)}));
}

TEST_F(ImportTest, FrameCutByTheEndIsCompletedBySecondPass) {
    // The display's stream in time order: a flight an hour later, then one flight with a
    // 26-second gap and two undatable messages. The file holds it rotated at `cut`.
    const Bytes bad = Raw(25, 0, 0, 5, 3), bad2 = Raw(10, 0, 31, 30, 2);
    const Bytes display = Cat({Flight(3600, 5), Flight(0, 5), bad, Fm(30), bad2, Flight(31, 4)});
    const size_t fm30 = Flight(3600, 5).size() + Flight(0, 5).size() + bad.size();
    for (size_t cut : {fm30 - 24, fm30 + 20}) {  // inside the bad message, inside Fm(30)
        fs::remove_all(root + "Flights_INT");
        fs::create_directory(root + "Flights_INT");
        const auto r = Import(Rotated(display, cut));
        EXPECT_EQ(r.FlightCount, 3) << cut;
        EXPECT_EQ(r.SkippedInvalidDates, 2) << cut;  // each once, whichever pass meets it first
        const auto files = Flights();
        ASSERT_EQ(files.size(), 2u) << cut;
        EXPECT_EQ(files.at("5-3-14 100000.FLT"), Cat({Flight(0, 5), Fm(30), Flight(31, 4)})) << cut;
        EXPECT_EQ(files.at("5-3-14 110000.FLT"), Flight(3600, 5));
    }
}

TEST_F(ImportTest, SameSecondFlightsKeepTheirFilesOnEveryReimport) {
    // Files holding something else keep their names; importing twice gives the same files.
    WriteFile(root + "Flights_INT/5-3-14 100000.FLT", Bytes(3, 0xEE));
    WriteFile(root + "Flights_INT/5-3-14 100000 (2).FLT", Bytes(3, 0xEE));
    const Bytes rec = Blocks(Cat({Flight(0, 3), Flight(3600, 3), Flight(0, 2), Flight(7200, 1), Flight(0, 1)}));
    const std::map<std::string, Bytes> expected = {
        {"5-3-14 100000.FLT", Bytes(3, 0xEE)}, {"5-3-14 100000 (2).FLT", Bytes(3, 0xEE)},
        {"5-3-14 100000 (3).FLT", Flight(0, 3)}, {"5-3-14 110000.FLT", Flight(3600, 3)},
        {"5-3-14 100000 (4).FLT", Flight(0, 2)}, {"5-3-14 120000.FLT", Flight(7200, 1)},
        {"5-3-14 100000 (5).FLT", Flight(0, 1)}};
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(Import(rec).FlightCount, 5);
        EXPECT_EQ(Flights(), expected) << run;
    }
}

TEST_F(ImportTest, ReimportNeverReplacesAnotherFlight) {
    // Same-second flights: the display has overwritten the oldest (F1) and recorded F4, and
    // F3 has grown since. Every flight keeps a file of its own.
    const auto flight = [](int id, int seconds) {
        Bytes out;
        for (int i = 0; i < seconds; ++i) out = Cat({out, Fm(i, id * 100 + i), Gps(i)});
        return out;
    };
    const Bytes f1 = flight(1, 3), f2 = flight(2, 2), f3 = flight(3, 4), f4 = flight(4, 5);
    const Bytes gap = Flight(3600, 1);
    Import(Blocks(Cat({f1, gap, f2, gap, Bytes(f3.begin(), f3.begin() + long(f3.size() / 2))})));
    EXPECT_EQ(Import(Blocks(Cat({f2, gap, f3, gap, f4}))).FlightCount, 5);
    const std::map<std::string, Bytes> expected = {
        {"5-3-14 100000.FLT", f1}, {"5-3-14 100000 (2).FLT", f2}, {"5-3-14 100000 (3).FLT", f3},
        {"5-3-14 100000 (4).FLT", f4}, {"5-3-14 110000.FLT", gap}, {"5-3-14 110000 (2).FLT", gap}};
    EXPECT_EQ(Flights(), expected);
}

TEST_F(ImportTest, SecondAboveFiftyNineIsWrittenAsRecorded) {
    const Bytes late = Raw(10, 1, 75, 5, 3);  // sealed over Second = 75
    EXPECT_EQ(Import(Blocks(Cat({Fm(0), late, Gps(1)}))).FlightCount, 2);
    // Timed as 10:01:59 (a new flight, 119 s on), written with its own bytes and CRC-32.
    EXPECT_EQ(Flights().at("5-3-14 100159.FLT"), Cat({late, Gps(1)}));
}

TEST_F(ImportTest, OversizedLengthBytesNeverWritePastBuffer) {
    Bytes stream = Fm(0);
    for (auto [type, L] : {std::pair{FrameType::Inputs, 45}, {FrameType::Inputs, 255}, {FrameType::Engine, 57},
                           {FrameType::Fuel, 125}, {FrameType::Fuel, 255}})
        stream = Cat({stream, FrameBuilder(type, uint8_t(L)).u32(8, 0x02050205).Sealed()});
    stream = Cat({stream, Fuel(124, 7), Gps(1)});
    checks.IgnoreChecksums = true;
    EXPECT_EQ(Import(Blocks(stream)).FlightCount, 1);
    EXPECT_EQ(Flights().begin()->second, Cat({Fm(0), Fuel(124, 7), Gps(1)}));
}

TEST_F(ImportTest, InvalidDateDoesNotEndImport) {
    const Bytes stream = Cat({Raw(10, 0, 0, 31, 4), Fm(0), Gps(1), Raw(10, 0, 1, 30, 2), Raw(10, 0, 2, 5, 13),
                              Raw(24, 0, 0, 5, 3), Raw(10, 60, 0, 5, 3), Raw(10, 0, 3, 0, 3), Gps(2), Fm(4)});
    const auto r = Import(Blocks(stream));
    EXPECT_EQ(r.Message(), "Imported 1 flights.\nSkipped 5 flight messages with an invalid date or time.");
    EXPECT_EQ(Flights().at("5-3-14 100000.FLT"), Cat({Fm(0), Gps(1), Gps(2), Fm(4)}));
}
