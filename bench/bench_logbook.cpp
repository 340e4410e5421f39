// The logbook of 1,000 flight files of a megabyte each: listed with an empty database, and
// again with nothing changed, against a plain scan that only finds and checks their Frames.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "format/frame_scanner.h"
#include "gen/generator.h"
#include "logbook/logbook.h"
#include "ratio.h"

namespace {

namespace fs = std::filesystem;
using namespace krelby;

constexpr int kFlights = 1000;

struct Folder {
    std::string path;
    std::vector<std::string> files;
    Folder() {
        std::error_code ec;
        const std::string root = fs::is_directory("/dev/shm", ec) ? "/dev/shm" : fs::temp_directory_path().string();
        std::string tmpl = root + "/krelby-bench-logbook-XXXXXX";
        if (!mkdtemp(tmpl.data())) std::abort();
        path = tmpl + "/";
        fs::create_directory(path + "Flights_INT");
        gen::RecordingOptions o;
        o.flights = 1;
        o.secondsPerFlight = 2000;  // a little over a megabyte with four engine monitors
        o.engineMonitors = 4;
        const std::vector<uint8_t> stream = gen::FrameStream(o);
        for (int i = 0; i < kFlights; ++i) {
            files.push_back(path + "Flights_INT/" + std::to_string(i) + ".FLT");
            std::FILE* f = std::fopen(files.back().c_str(), "wb");
            std::fwrite(stream.data(), 1, stream.size(), f);
            std::fclose(f);
        }
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};
Folder& Data() {
    static Folder folder;
    return folder;
}

void BM_LogbookCold(benchmark::State& state) {
    const ThermocoupleKinds kinds{};
    for (auto _ : state) {
        state.PauseTiming();
        for (const char* ext : {"", "-wal", "-shm"}) fs::remove(Data().path + kLogbookDatabase + ext);
        state.ResumeTiming();
        benchmark::DoNotOptimize(ListFlights(Data().path, kinds).size());
    }
}
BENCHMARK(BM_LogbookCold)->UseRealTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_LogbookWarm(benchmark::State& state) {
    const ThermocoupleKinds kinds{};
    ListFlights(Data().path, kinds);
    for (auto _ : state) benchmark::DoNotOptimize(ListFlights(Data().path, kinds).size());
}
BENCHMARK(BM_LogbookWarm)->UseRealTime()->Iterations(10)->Unit(benchmark::kMillisecond);

struct CountFrames : FrameHandler {
    size_t frames = 0;
    void OnFrame(FrameType, const uint8_t*, size_t) override { ++frames; }
};

// Finding and checking every file's Frames, read the way the replay reads them.
void BM_LogbookScan(benchmark::State& state) {
    const ChecksumOptions checks;
    std::vector<uint8_t> block(1 << 18);
    for (auto _ : state) {
        size_t frames = 0;
        for (const std::string& path : Data().files) {
            std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
            FrameScanner scanner(checks);
            CountFrames count;
            for (size_t n; (n = std::fread(block.data(), 1, block.size(), f.get())) > 0;) scanner.Feed(block.data(), n, count);
            frames += count.frames;
        }
        benchmark::DoNotOptimize(frames);
    }
}
BENCHMARK(BM_LogbookScan)->UseRealTime()->Iterations(3)->Unit(benchmark::kMillisecond);

KRELBY_RATIO("logbook-cold/scan", "BM_LogbookCold", "BM_LogbookScan");
KRELBY_RATIO("logbook-warm/logbook-cold", "BM_LogbookWarm", "BM_LogbookCold");

}  // namespace
