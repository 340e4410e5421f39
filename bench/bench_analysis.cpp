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

namespace {

using namespace krelby;

const std::string& TenHourFlight() {
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() /
                               ("krelby-bench-analysis-" + std::to_string(getpid()) + ".FLT")).string();
        gen::RecordingOptions o;
        o.flights = 1;
        o.secondsPerFlight = 36000;
        o.engineMonitors = 4;
        o.sweepMonitors = 4;
        o.egtNoise = 3;
        const std::vector<uint8_t> stream = gen::FrameStream(o);
        std::FILE* f = std::fopen(p.c_str(), "wb");
        std::fwrite(stream.data(), 1, stream.size(), f);
        std::fclose(f);
        std::atexit([] { std::filesystem::remove(TenHourFlight()); });
        return p;
    }();
    return path;
}

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
