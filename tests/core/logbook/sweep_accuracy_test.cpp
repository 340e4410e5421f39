// The lean test against generated sweeps whose true peaks are known: every sweep found, each
// input's peak fuel flow within 0.15 l/h and the spread within 0.2 l/h; and no sweep where
// there is none. The worst errors are printed for the record.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gen/generator.h"
#include "logbook/analysis.h"
#include "support/temp_folder.h"

using namespace krelby;
using namespace krelby::testing;

namespace {

constexpr double kPeakToleranceLph = 0.15, kSpreadToleranceLph = 0.2;

// Inputs 1-4 EGT, 5-8 CHT, 9-12 Other on every monitor, as the generated engines have them.
Settings GeneratedKinds() {
    Settings s;
    for (size_t i = 0; i < s.thermocouples.size(); ++i) s.thermocouples[i] = uint8_t(i % 12 / 4);
    return s;
}

// One generated flight as a flight file.
std::string FlightFile(const TempFolder& folder, const gen::RecordingOptions& o, gen::RecordingStats& stats) {
    const std::vector<uint8_t> stream = gen::FrameStream(o, &stats);
    const std::string path = folder / ("seed" + std::to_string(o.seed) + ".FLT");
    WriteFile(path, stream);
    return path;
}

gen::RecordingOptions OneFlight(uint32_t seed, int monitors, int seconds) {
    gen::RecordingOptions o;
    o.seed = seed;
    o.flights = 1;
    o.secondsPerFlight = seconds;
    o.engineMonitors = monitors;
    return o;
}

struct Worst {
    double error = 0;
    std::string where;
    void Take(double e, const std::string& at) {
        if (e >= error) error = e, where = at;
    }
};

}  // namespace

TEST(SweepAccuracy, GeneratedSweepsAreFoundWithTheirPeaksAndSpreads) {
    TempFolder folder;
    const Settings settings = GeneratedKinds();
    int sweeps = 0, stepped = 0, atPeak = 0;
    Worst peak, spread;
    for (uint32_t seed = 1; sweeps < 200; ++seed) {
        gen::RecordingOptions o = OneFlight(seed, 4, 1500);
        o.sweepMonitors = 4;
        o.egtNoise = 3;
        gen::RecordingStats stats;
        const FlightAnalysis a = AnalyzeFlight(FlightFile(folder, o, stats), settings);
        for (const gen::SweepTruth& t : stats.sweeps) {
            ++sweeps;
            stepped += t.stepped;
            atPeak += t.endsAtPeak;
            const std::string at = "seed " + std::to_string(seed) + " monitor " + std::to_string(t.monitor);
            const std::vector<Sweep>& found = a.analysis.monitors[size_t(t.monitor - 1)].sweeps;
            ASSERT_EQ(found.size(), 1u) << at;
            const Sweep& s = found[0];
            EXPECT_LT(std::max(s.start, t.start), std::min(s.end, t.end)) << at;  // the same leaning
            ASSERT_EQ(s.inputs.size(), 4u) << at;
            for (const SweepPeak& p : s.inputs) {
                ASSERT_TRUE(p.peaked) << at << " input " << p.input;
                const double e = std::fabs(p.ffLph - t.peakLph[size_t(p.input - 1)]);
                EXPECT_LE(e, kPeakToleranceLph) << at << " input " << p.input;
                peak.Take(e, at + " input " + std::to_string(p.input));
            }
            const auto [lo, hi] = std::minmax_element(t.peakLph.begin(), t.peakLph.end());
            ASSERT_TRUE(s.spreadLph) << at;
            const double e = std::fabs(*s.spreadLph - (*hi - *lo));
            EXPECT_LE(e, kSpreadToleranceLph) << at;
            spread.Take(e, at);
        }
    }
    std::printf("lean test over %d generated sweeps (%d in steps, %d stopping at the last peak): worst peak fuel "
                "flow error %.3f l/h (%s), worst spread error %.3f l/h (%s)\n",
                sweeps, stepped, atPeak, peak.error, peak.where.c_str(), spread.error, spread.where.c_str());
}

TEST(SweepAccuracy, NoSweepWithoutOne) {
    TempFolder folder;
    const Settings settings = GeneratedKinds();
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        gen::RecordingOptions o = OneFlight(seed, 4, seed % 2 ? 1500 : 3000);
        o.egtNoise = seed % 3 ? 3 : 0;
        // Every third flight leans each engine to best power, rich of every peak.
        o.sweepMonitors = seed % 3 == 1 ? 4 : 0;
        o.sweepsRichOfPeak = true;
        gen::RecordingStats stats;
        const FlightAnalysis a = AnalyzeFlight(FlightFile(folder, o, stats), settings);
        for (const MonitorAnalysis& m : a.analysis.monitors) EXPECT_TRUE(m.sweeps.empty()) << "seed " << seed;
    }
}
