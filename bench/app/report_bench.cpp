// The flight report of a ten-hour flight of four monitors (a mixture sweep on each, limits
// set) against the engine analysis of the same file: the report's target is under 3 s.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "app/bench_app.h"
#include "chart/flight_report.h"
#include "gen/generator.h"
#include "logbook/analysis.h"
#include "ratio.h"

namespace {

using namespace krelby;

const std::string& TenHourFlight() {
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() /
                               ("krelby-bench-report-" + std::to_string(getpid()) + ".FLT")).string();
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
        std::atexit([] {
            std::filesystem::remove(TenHourFlight());
            std::filesystem::remove(TenHourFlight() + ".pdf");
        });
        return p;
    }();
    return path;
}

const Settings& Limited() {
    static const Settings settings = [] {
        Settings s;
        for (size_t i = 0; i < s.thermocouples.size(); ++i) s.thermocouples[i] = uint8_t(i % 12 / 4);
        s.limits.Set(LimitKey::RpmMax, 2650);
        s.limits.Set(LimitKey::ChtMax, 180);
        s.limits.Set(LimitKey::EgtMax, 735);
        s.limits.Set(LimitKey::OilTempMax, 80);
        return s;
    }();
    return settings;
}

void BM_Report(benchmark::State& state) {
    krelby::bench::BenchApp();
    const std::string& path = TenHourFlight();
    int pages = 0;
    for (auto _ : state) pages = WriteFlightReport(path, Limited(), Regional{}, {}, path + ".pdf");
    state.counters["pages"] = pages;
}
BENCHMARK(BM_Report)->Unit(benchmark::kMillisecond);

void BM_ReportAnalysis(benchmark::State& state) {
    const std::string& path = TenHourFlight();
    for (auto _ : state) benchmark::DoNotOptimize(AnalyzeFlight(path, Limited()));
}
BENCHMARK(BM_ReportAnalysis)->Unit(benchmark::kMillisecond);

KRELBY_RATIO("report/analysis", "BM_Report", "BM_ReportAnalysis");

}  // namespace
