// The recording generator's speed: benchmark files of hundreds of MB should take seconds.
#include <benchmark/benchmark.h>

#include <cstring>

#include "format/crc32.h"
#include "gen/generator.h"
#include "ratio.h"

namespace {

constexpr uint64_t kBytes = 32u << 20;

void BM_GenerateRecording(benchmark::State& state) {
    krelby::gen::RecordingOptions o;
    o.flights = 1;
    o.targetBytes = kBytes;
    o.faults = {0.01, 0.005, 0.002, 0.002};
    uint64_t bytes = 0;
    for (auto _ : state) {
        const auto r = krelby::gen::Recording(o);
        bytes += r.size();
        benchmark::DoNotOptimize(r.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_GenerateRecording)->Unit(benchmark::kMillisecond);

// The floor: the CRC-32 every generated Frame needs, over the same number of bytes in
// Frame-sized pieces.
void BM_GenerateCrcFloor(benchmark::State& state) {
    std::vector<uint8_t> frame(60);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i * 37);
    uint64_t bytes = 0;
    for (auto _ : state) {
        uint32_t acc = 0;
        for (uint64_t done = 0; done < kBytes; done += 64) acc ^= krelby::Crc32(frame.data(), frame.size());
        benchmark::DoNotOptimize(acc);
        bytes += kBytes;
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_GenerateCrcFloor)->Unit(benchmark::kMillisecond);

}  // namespace

KRELBY_RATIO("gen/crc_floor", "BM_GenerateRecording", "BM_GenerateCrcFloor");
