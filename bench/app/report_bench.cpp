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
#include "bench_flights.h"

namespace {

using namespace krelby;
using krelby::bench::TenHourFlight;

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
