// The engine analysis' exact figures at each of their boundaries (the takeoff window's ends,
// the cruise's steps, level and length, the cooling window), the kinds guess and its warning,
// and the bundled samples.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "import/import.h"
#include "logbook/analysis.h"
#include "support/messages.h"
#include "support/temp_folder.h"

using namespace krelby;
using namespace krelby::testing;
namespace fs = std::filesystem;

namespace {

constexpr int64_t kT0 = 1710410400;  // 2024-03-14T10:00:00

// A FlightMessage `s` seconds after 10:00:00 on 14 March 2024.
Frame Fm(int s, uint16_t asi = 600, int16_t vsi = 0, int32_t palt = 3000) {
    return FlightFrame().PAltitude(palt).ASI(asi).VSI(vsi).ClockAt(36000 + s).Date(14, 3, 24).Sealed();
}
Frame Eng(uint16_t rpm, uint16_t map = 0, uint16_t ff = 0) {
    return EngineOf(1).Rpm(rpm).ManifoldPressure(map).u16(EngineMessage::kFuelFlow, ff).Sealed();
}
Frame Cht5(int16_t v) { return EngineOf(1).TC(5, v).Sealed(); }

// Inputs 1-4 EGT, 5-8 CHT, 9-12 Other on every monitor.
ThermocoupleKinds Kinds() {
    ThermocoupleKinds k{};
    for (size_t i = 0; i < k.size(); ++i) k[i] = uint8_t(i % 12 / 4);
    return k;
}

Analysis Analyse(const TempFolder& folder, const std::vector<Frame>& frames) {
    Settings settings;
    settings.thermocouples = Kinds();
    return AnalyzeFlight(WriteFrames(folder / "t.FLT", frames), settings).analysis;
}

}  // namespace

TEST(Analysis, TakeoffWindowHoldsItsEnds) {
    TempFolder folder;
    // Takeoff at 100 s: the window is [70, 160].
    const Analysis a = Analyse(folder, {Eng(3100), Fm(0, 0), Fm(69, 0), Eng(2900, 9999), Fm(70, 0), Eng(2700, 9000, 2850),
                                        Fm(100), EngineOf(1).TC(1, 745).TC(5, 190).Sealed(), EngineOf(1, 8).Sealed(),
                                        Fm(160), Eng(2800, 9123), Fm(161), Eng(3000, 9999, 3000)});
    ASSERT_EQ(a.takeoff, kT0 + 100);
    const TakeoffEngine& t = *a.monitors[0].takeoff;
    EXPECT_EQ(t.rpmMax, 2800);
    EXPECT_EQ(t.mapMaxBar, 0.9123);
    EXPECT_EQ(t.ffMaxLph, 28.5);
    ASSERT_EQ(t.egtMax.size(), 4u);  // every EGT input the Frames hold, each its own greatest
    EXPECT_EQ(t.egtMax[0].value, 745);
    EXPECT_EQ(t.egtMax[1].value, 0);
    ASSERT_EQ(t.chtMax.size(), 4u);
    EXPECT_EQ(t.chtMax[0].input, 5);
    EXPECT_EQ(t.chtMax[0].value, 190);
    EXPECT_FALSE(a.monitors[1].present);
}

TEST(Analysis, CruiseIsTheLongestLevelSteadyStretch) {
    struct Case {
        const char* what;
        std::vector<Frame> frames;
        std::optional<std::pair<int, int>> cruise;  // seconds after 10:00:00
    };
    const auto every = [](int from, int to, int step, int16_t vsi = 0) {
        std::vector<Frame> out;
        for (int s = from; s <= to; s += step) out.push_back(Fm(s, 600, vsi));
        return out;
    };
    const auto join = [](std::initializer_list<std::vector<Frame>> parts) {
        std::vector<Frame> out;
        for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
        return out;
    };
    const Case cases[] = {
        {"exactly 300 s in 60 s steps", every(0, 300, 60), std::pair(0, 300)},
        {"299 s is too short", join({every(0, 240, 60), {Fm(299)}}), std::nullopt},
        {"a 61 s gap splits it", join({every(0, 60, 60), every(121, 421, 60)}), std::pair(121, 421)},
        {"a step of 0 s splits it", join({every(0, 200, 50), every(200, 500, 50)}), std::pair(200, 500)},
        {"|VSI| 300 is level", join({every(0, 100, 10), every(110, 400, 10, -300)}), std::pair(0, 400)},
        {"301 is not", join({every(0, 100, 10), {Fm(110, 600, 301)}, every(120, 419, 1)}), std::nullopt},
        {"the earliest of equals", join({every(0, 300, 10), {Fm(310, 600, 500)}, every(320, 620, 10)}), std::pair(0, 300)},
        {"from takeoff to landing only",
         join({{Fm(0, 555)}, every(10, 310, 10), {Fm(320, 555), Fm(330, 555)}}), std::pair(10, 310)},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        const Analysis a = Analyse(folder, c.frames);
        ASSERT_EQ(a.cruise.has_value(), c.cruise.has_value()) << c.what;
        if (!c.cruise) continue;
        EXPECT_EQ(a.cruise->start, kT0 + c.cruise->first) << c.what;
        EXPECT_EQ(a.cruise->end, kT0 + c.cruise->second) << c.what;
    }
}

TEST(Analysis, CruiseMeansOverTheMessagesOfItsTime) {
    TempFolder folder;
    std::vector<Frame> frames;
    for (int s = 0; s <= 300; s += 60) frames.push_back(FlightFrame().PAltitude(s % 120 ? 3001 : 3000).ASI(1852).ClockAt(36000 + s).Date(14, 3, 24).Sealed());
    // In its time: after the first and the last FlightMessage; before it, and after a later
    // one (its VSI ends the stretch), not.
    frames.insert(frames.begin(), Eng(1000, 1));
    frames.insert(frames.begin() + 2, Eng(2401, 7001, 2105));
    frames.push_back(Eng(2400, 7002, 2100));
    frames.push_back(Fm(301, 600, 900));
    frames.push_back(Eng(9000, 9999));
    const Analysis a = Analyse(folder, frames);
    ASSERT_TRUE(a.cruise);
    EXPECT_EQ(a.cruise->paltFt, 3000.5);  // shown as 3001: halves away from zero
    EXPECT_EQ(Rounded(a.cruise->paltFt, 0), 3001);
    EXPECT_DOUBLE_EQ(a.cruise->iasKt, 100.0);
    const CruiseEngine& e = *a.monitors[0].cruise;
    EXPECT_EQ(e.rpm, 2400.5);
    EXPECT_EQ(Rounded(*e.mapBar, 4), 0.7002);  // 0.70015 up
    // The mean of the doubles 21.05 and 21.00: their sum lies just below 42.05.
    EXPECT_EQ(Rounded(*e.ffLph, 2), 21.02);
}

TEST(Analysis, CoolingRateOverTheLastMinute) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, int16_t>> cht5;  // time after 10:00:00, value
        std::optional<std::pair<double, int>> greatest;  // rounded to 0.1 °C/min, at
    };
    const Case cases[] = {
        {"a window of 9 s is too short", {{0, 200}, {9, 191}}, std::nullopt},
        {"10 s is enough", {{0, 200}, {10, 190}}, std::pair(60.0, 10)},
        {"60 s back is in the window, 61 s not", {{0, 250}, {50, 200}, {60, 190}, {61, 185}}, std::pair(81.8, 61)},
        {"warming is no cooling", {{0, 100}, {30, 150}}, std::pair(0.0, 30)},
        {"the first of equals", {{0, 200}, {30, 190}, {40, 200}, {70, 190}}, std::pair(20.0, 30)},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        // Once as most flights are; once with a message short of the inputs, which takes the
        // general way of one input at a time: the same figures.
        for (const bool shortOne : {false, true}) {
            std::vector<Frame> frames;
            for (const auto& [t, v] : c.cht5) frames.insert(frames.end(), {Fm(t), Cht5(v)});
            if (shortOne) frames.insert(frames.begin() + 1, EngineOf(1, 30).Sealed());
            const std::vector<CoolingRate> rates = Analyse(folder, frames).monitors[0].cooling;
            if (!c.greatest) {
                EXPECT_TRUE(rates.empty()) << c.what;
                continue;
            }
            ASSERT_EQ(rates.size(), 4u) << c.what;  // inputs 5 to 8, the CHTs
            EXPECT_EQ(rates[0].input, 5);
            EXPECT_EQ(Rounded(rates[0].CPerMin(), 1), c.greatest->first) << c.what << shortOne;
            EXPECT_EQ(rates[0].time, kT0 + c.greatest->second) << c.what << shortOne;
        }
    }
}

TEST(Analysis, KindsGuessAndTheirWarning) {
    struct Case {
        std::optional<int> greatest;
        std::optional<uint8_t> kind;
    };
    for (const Case& c : {Case{351, EGT}, Case{350, CHT}, Case{60, CHT}, Case{59, Other}, Case{-40, Other},
                          Case{std::nullopt, std::nullopt}})
        EXPECT_EQ(GuessKind(c.greatest), c.kind) << (c.greatest ? *c.greatest : -999);

    GreatestReadings g;
    const int engine[12] = {760, 771, 748, 752, 190, 185, 200, 176, 75, 28, 55, 0};
    for (size_t n = 0; n < 12; ++n) g[0][n] = g[1][n] = engine[n];
    g[1][4] = 700;
    ThermocoupleKinds kinds{};  // all EGT
    EXPECT_EQ(KindWarnings(g, kinds),
              (std::vector<std::string>{"Inputs 5\u201312 of monitor 1 never read above 200 \u00b0C: set their kinds in Options",
                                        "Inputs 6\u201312 of monitor 2 never read above 200 \u00b0C: set their kinds in Options"}));
    kinds = Kinds();
    for (size_t i : {8, 9, 10, 11}) kinds[i] = EGT;
    kinds[12 + 8] = CHT;
    EXPECT_EQ(KindWarnings(g, kinds),
              (std::vector<std::string>{"Inputs 9\u201312 of monitor 1 never read above 100 \u00b0C: set their kinds in Options",
                                        "Input 5 of monitor 2 read above 600 \u00b0C: set its kind in Options"}));
    EXPECT_EQ(GuessKinds(g, ThermocoupleKinds{})[12 + 4], EGT);
    EXPECT_TRUE(KindWarnings(g, GuessKinds(g, kinds)).empty());
}

// The samples: no sweep, and kinds guessed from them that fit the generated engines.
TEST(Analysis, SamplesHoldNoSweepAndGuessTheirKinds) {
    TempFolder folder;
    fs::create_directories(folder / "Flights_INT");
    ImportRecording(KRELBY_SOURCE_DIR "/samples/ZelvoBB.DAT", RecordingKind::Internal, folder.path(), Regional{},
                    ChecksumOptions{});
    int flights = 0;
    for (const auto& e : fs::directory_iterator(folder / "Flights_INT")) {
        const FlightAnalysis a = AnalyzeFlight(e.path().string(), Settings{});
        ++flights;
        const ThermocoupleKinds guess = GuessKinds(a.analysis.greatest, ThermocoupleKinds{});
        for (int m = 0; m < 2; ++m) {
            EXPECT_TRUE(a.analysis.monitors[size_t(m)].sweeps.empty());
            for (int n = 0; n < 8; ++n) EXPECT_EQ(guess[size_t(12 * m + n)], n < 4 ? EGT : CHT) << e.path() << n;
            for (int n = 9; n < 12; ++n) EXPECT_EQ(guess[size_t(12 * m + n)], Other) << e.path() << n;
        }
    }
    EXPECT_EQ(flights, 3);
}
