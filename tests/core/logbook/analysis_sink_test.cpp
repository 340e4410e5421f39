// The analysis sink's quick ways (the cooling tracker, the lean test's rows gathered while
// reading) give, to the bit, the general analysis of the record, on random flights built to sit
// on the rules' edges: ASI about the airborne mark, |VSI| about 300, steps of 0, 60, 61 and
// 200 s (the cooling window's seconds go by in blocks of 61: some steps skip one), several
// FlightMessages or EngineMessages a second.
#include <gtest/gtest.h>

#include <random>

#include "logbook/analysis.h"
#include "replay/replay.h"
#include "support/messages.h"
#include "support/temp_folder.h"

using namespace krelby;
using namespace krelby::testing;

namespace {

std::vector<Frame> RandomFlight(uint32_t seed) {
    std::mt19937 rng(seed);
    const auto pick = [&](std::initializer_list<int> v) { return *(v.begin() + rng() % v.size()); };
    const auto chance = [&](int perMille) { return int(rng() % 1000) < perMille; };
    std::vector<Frame> out;
    const int monitors = 1 + int(rng() % 4);
    std::array<int16_t, 12> tc{};
    for (int16_t& v : tc) v = int16_t(100 + rng() % 600);
    const auto engine = [&](int m) {
        EngineFrame e = EngineOf(m).Rpm(uint16_t(2300 + rng() % 60)).ManifoldPressure(uint16_t(7000 + rng() % 300));
        e.u16(EngineMessage::kFuelFlow, uint16_t(3000 + rng() % 500)).OilTemp(int16_t(80 + rng() % 30));
        e.OilPressure(uint16_t(30000 + rng() % 5000));
        for (int n = 1; n <= 12; ++n) e.TC(n, tc[size_t(n - 1)] = int16_t(tc[size_t(n - 1)] + int(rng() % 41) - 20));
        out.push_back(e.Sealed());
    };
    engine(1);  // before the first FlightMessage: not counted
    int s = 0;
    bool airborne = false, level = true;
    for (int k = 0; k < 1500; ++k) {
        if (chance(20)) airborne = !airborne;
        if (chance(6)) level = !level;
        const uint16_t asi = uint16_t(airborne ? pick({556, 556, 700, 900}) : pick({0, 555}));
        const int16_t vsi = int16_t(level ? pick({0, 120, -300, 300}) : pick({301, -301, 900}));
        out.push_back(FlightFrame().PAltitude(3000 + k).ASI(asi).VSI(vsi).ClockAt(36000 + s).Date(14, 3, 24).Sealed());
        for (int m = 1; m <= monitors; ++m)
            for (int n = pick({0, 1, 1, 1, 2}); n > 0; --n) engine(m);
        s += chance(20) ? pick({0, 60, 61, 200}) : pick({1, 2, 5});
    }
    return out;
}

TEST(AnalysisSink, EqualsTheRecordsGeneralAnalysisOnRandomFlights) {
    TempFolder folder;
    ThermocoupleKinds kinds{};
    for (size_t i = 0; i < kinds.size(); ++i) kinds[i] = uint8_t(i % 12 / 4);
    int cruises = 0;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        InputFile file = OpenFlight(WriteFrames(folder / "t.FLT", RandomFlight(seed)));
        AnalysisSink sink(kinds);
        FlightRecordSink record;
        const Settings nothing;
        const ChecksumOptions checks;
        FlightReplay(file, {nothing, checks}, {&sink, &record});
        EXPECT_TRUE(sink.Result() == Analyze(record.Record(), kinds)) << "seed " << seed;
        cruises += sink.Result().cruise.has_value();
    }
    EXPECT_GT(cruises, 20);  // the flights do hold cruises to compare
}

}  // namespace
