// The replay of a large flight file against the bare scan of the same file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "format/frame_scanner.h"
#include "gen/generator.h"
#include "bench_flights.h"
#include "ratio.h"
#include "replay/replay.h"

namespace {

using namespace krelby;

// A recorded flight of about 34 hours with four engine monitors: over a million Frames.
gen::RecordingOptions FlightOptions() {
    gen::RecordingOptions o;
    o.flights = 1;
    o.secondsPerFlight = 125000;
    o.engineMonitors = 4;
    return o;
}
uint64_t g_frames = 0;

const std::string& FlightFile() {
    static const std::string path = [] {
        gen::RecordingStats stats;
        const std::vector<uint8_t> stream = gen::FrameStream(FlightOptions(), &stats);
        for (uint64_t n : stats.intact) g_frames += n;
        return bench::WriteBenchFlight("replay", stream);
    }();
    static const bool removed = (bench::RemoveAtExit(path), true);
    (void)removed;
    return path;
}

void BM_Replay(benchmark::State& state) {
    const std::string& path = FlightFile();
    Settings settings;
    const ChecksumOptions checks;
    ChartModel chart;
    settings.thermocouples[1] = CHT;
    // Sixteen items over every message type.
    for (int box : {1, 3, 6, 32, 35, 41, 42, 11, 12, 20, 21, 122, 53, 69, 77, 94})
        settings.selection.Set(box, true);
    for (auto _ : state) ChartReplay(chart, path, {settings, checks});
    if (chart.SlotsInChart() != 16) state.SkipWithError("not every item drawn");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * std::filesystem::file_size(path)));
}
BENCHMARK(BM_Replay)->Unit(benchmark::kMillisecond);

struct CountFrames : FrameHandler {
    size_t frames = 0;
    void OnFrame(FrameType, const uint8_t*, size_t) override { ++frames; }
};

// Finding and checking the Frames alone, read the same way.
void BM_Scan(benchmark::State& state) {
    const std::string& path = FlightFile();
    ChecksumOptions checks;
    std::vector<uint8_t> block(1 << 18);
    for (auto _ : state) {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
        FrameScanner scanner(checks);
        CountFrames count;
        size_t n;
        while ((n = std::fread(block.data(), 1, block.size(), f.get())) > 0) scanner.Feed(block.data(), n, count);
        if (count.frames != g_frames || g_frames < 1000000) state.SkipWithError("not the generated Frames");
        benchmark::DoNotOptimize(count.frames);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * std::filesystem::file_size(path)));
}
BENCHMARK(BM_Scan)->Unit(benchmark::kMillisecond);

KRELBY_RATIO("replay/scan", "BM_Replay", "BM_Scan");

}  // namespace
