// The engine analysis of a ten-hour flight of four monitors (with a mixture sweep on each)
// against the bare scan of the same file: the analysis should cost the replay little more
// than finding the Frames.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "format/frame_scanner.h"
#include "gen/generator.h"
#include "logbook/analysis.h"
#include "ratio.h"
#include "replay/replay.h"
#include "bench_flights.h"

namespace {

using namespace krelby;
using krelby::bench::TenHourFlight;

void BM_Analysis(benchmark::State& state) {
    const std::string& path = TenHourFlight();
    Settings settings;
    for (size_t i = 0; i < settings.thermocouples.size(); ++i) settings.thermocouples[i] = uint8_t(i % 12 / 4);
    size_t sweeps = 0;
    for (auto _ : state) {
        const FlightAnalysis a = AnalyzeFlight(path, settings);
        sweeps = 0;
        for (const MonitorAnalysis& m : a.analysis.monitors) sweeps += m.sweeps.size();
    }
    if (sweeps != 4) state.SkipWithError("not the four sweeps");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * std::filesystem::file_size(path)));
}
BENCHMARK(BM_Analysis)->Unit(benchmark::kMillisecond);

struct CountFrames : FrameHandler {
    size_t frames = 0;
    void OnFrame(FrameType, const uint8_t*, size_t) override { ++frames; }
};

// Finding and checking the Frames alone, read the same way.
void BM_AnalysisScan(benchmark::State& state) {
    const std::string& path = TenHourFlight();
    ChecksumOptions checks;
    std::vector<uint8_t> block(1 << 18);
    for (auto _ : state) {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
        FrameScanner scanner(checks);
        CountFrames count;
        size_t n;
        while ((n = std::fread(block.data(), 1, block.size(), f.get())) > 0) scanner.Feed(block.data(), n, count);
        benchmark::DoNotOptimize(count.frames);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * std::filesystem::file_size(path)));
}
BENCHMARK(BM_AnalysisScan)->Unit(benchmark::kMillisecond);

KRELBY_RATIO("analysis/scan", "BM_Analysis", "BM_AnalysisScan");

}  // namespace
