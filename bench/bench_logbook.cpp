// The logbook of 1,000 flight files of a megabyte each: listed with an empty database, and
// again with nothing changed, against a plain scan that only finds and checks their Frames.
// And one long flight's summary with every limit set, against the same without limits.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "format/frame_scanner.h"
#include "gen/generator.h"
#include "logbook/logbook.h"
#include "logbook/summary.h"
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

// Five hours with four engine monitors, inputs 1-4 EGT, 5-8 CHT, 9-12 Other on each.
struct LongFlight {
    std::string path;
    ThermocoupleKinds kinds{};
    LongFlight() {
        std::error_code ec;
        const std::string root = fs::is_directory("/dev/shm", ec) ? "/dev/shm" : fs::temp_directory_path().string();
        std::string tmpl = root + "/krelby-bench-long-XXXXXX";
        if (!mkdtemp(tmpl.data())) std::abort();
        path = tmpl + "/long.FLT";
        gen::RecordingOptions o;
        o.flights = 1;
        o.secondsPerFlight = 5 * 3600;
        o.engineMonitors = 4;
        const std::vector<uint8_t> stream = gen::FrameStream(o);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(stream.data(), 1, stream.size(), f);
        std::fclose(f);
        for (size_t i = 0; i < kinds.size(); ++i) kinds[i] = static_cast<uint8_t>(i % 12 / 4);
    }
    ~LongFlight() {
        std::error_code ec;
        fs::remove_all(fs::path(path).parent_path(), ec);
    }
};
LongFlight& Long() {
    static LongFlight flight;
    return flight;
}

void BM_SummaryLong(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(SummarizeFlight(Long().path, Long().kinds).frames);
}
BENCHMARK(BM_SummaryLong)->UseRealTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// Every limit set, near the generated figures, so that runs open and close all along.
void BM_SummaryLongLimits(benchmark::State& state) {
    Limits limits;
    const std::pair<LimitKey, double> set[] = {
        {LimitKey::RpmMax, 2650},       {LimitKey::MapMax, 1},          {LimitKey::OilPressureMin, 2.72},
        {LimitKey::OilPressureMax, 5},  {LimitKey::OilTempMax, 80},     {LimitKey::FuelPressureMin, 0.2},
        {LimitKey::FuelPressureMax, 0.5}, {LimitKey::CoolantTempMax, 90}, {LimitKey::EgtMax, 735},
        {LimitKey::ChtMax, 180},        {LimitKey::EgtSpreadMax, 30}};
    for (const auto& [key, value] : set) limits.Set(key, value);
    int64_t found = 0;
    for (auto _ : state) found = SummarizeFlight(Long().path, Long().kinds, limits).exceedances.value_or(0);
    state.counters["exceedances"] = static_cast<double>(found);
}
BENCHMARK(BM_SummaryLongLimits)->UseRealTime()->Iterations(20)->Unit(benchmark::kMillisecond);

KRELBY_RATIO("logbook-cold/scan", "BM_LogbookCold", "BM_LogbookScan");
KRELBY_RATIO("exceedances/scan", "BM_SummaryLongLimits", "BM_SummaryLong");
KRELBY_RATIO("logbook-warm/logbook-cold", "BM_LogbookWarm", "BM_LogbookCold");

}  // namespace
