// The replay of a large flight file against the bare scan of the same file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "format/frame_builder.h"
#include "format/frame_scanner.h"
#include "format/messages.h"
#include "ratio.h"
#include "replay/replay.h"

namespace {

using namespace krelby;

constexpr int kSeconds = 125000;  // 8 Frames a second: a million Frames

void Append(std::FILE* f, const std::vector<uint8_t>& frame) { std::fwrite(frame.data(), 1, frame.size(), f); }

// A flight of one message of each kind a second (two engine monitors), written once.
const std::string& FlightFile() {
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() /
                               ("krelby-bench-replay-" + std::to_string(getpid()) + ".FLT")).string();
        std::FILE* f = std::fopen(p.c_str(), "wb");
        for (int t = 0; t < kSeconds; ++t) {
            const int wave = t % 600;
            FrameBuilder flight(FrameType::Flight);
            flight.i32(8, 3000 + wave).u16(16, 1200 + wave).i16(22, wave - 300);
            flight.u8(32, static_cast<uint8_t>(t / 3600 % 24)).u8(33, static_cast<uint8_t>(t / 60 % 60));
            flight.u8(34, static_cast<uint8_t>(t % 60)).u8(35, static_cast<uint8_t>(1 + t / 86400)).u8(36, 6).u8(37, 24);
            Append(f, flight.Sealed());
            Append(f, FrameBuilder(FrameType::Gps).i32(16, 3100 + wave).u16(36, 1100 + wave).Sealed());
            Append(f, FrameBuilder(FrameType::Attitude).u16(8, static_cast<uint16_t>(wave * 6)).i16(10, 20).Sealed());
            for (int m = 1; m <= 2; ++m)
                Append(f, FrameBuilder(FrameType::Engine).u8(8, static_cast<uint8_t>(m)).u16(12, 2300 + wave)
                              .u16(16, 25000).i16(48, 700).i16(50, 180).Sealed());
            FrameBuilder fuel(FrameType::Fuel);
            fuel.i32(8, 16);
            for (int k = 1; k <= 16; ++k) fuel.i32(FuelMessage::LevelOffset(k), 900 - t / 200);
            Append(f, fuel.Sealed());
            Append(f, FrameBuilder(FrameType::Inputs).u32(24, static_cast<uint32_t>(t & 1)).u16(28, 512).Sealed());
            Append(f, FrameBuilder(FrameType::Navigation).i16(18, static_cast<int16_t>(wave)).i32(28, 1234).Sealed());
        }
        std::fclose(f);
        std::atexit([] { std::filesystem::remove(FlightFile()); });
        return p;
    }();
    return path;
}

void BM_Replay(benchmark::State& state) {
    const std::string& path = FlightFile();
    Session session;
    session.settings.thermocouples[1] = CHT;
    // Sixteen items over every message type.
    for (int box : {1, 3, 6, 32, 35, 41, 42, 11, 12, 20, 21, 122, 53, 69, 77, 94})
        session.settings.selection.Set(box, true);
    for (auto _ : state) FlightReplay(session, path);
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
        if (count.frames != 8u * kSeconds) state.SkipWithError("frames lost");
        benchmark::DoNotOptimize(count.frames);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * std::filesystem::file_size(path)));
}
BENCHMARK(BM_Scan)->Unit(benchmark::kMillisecond);

KRELBY_RATIO("replay/scan", "BM_Replay", "BM_Scan");

}  // namespace
