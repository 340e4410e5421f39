// Runs every benchmark, then prints the registered ratios of their real times.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "ratio.h"

namespace krelby::bench {
namespace {

struct Ratio {
    std::string name, numerator, denominator;
};
std::vector<Ratio>& Ratios() {
    static std::vector<Ratio> r;
    return r;
}

// Keeps the real time per iteration of every run, by the run's base name.
class Collector : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& r : runs) {
            if (r.run_type != Run::RT_Iteration || r.error_occurred || r.iterations == 0) continue;
            std::string name = r.benchmark_name();
            name = name.substr(0, name.find('/'));
            seconds[name] = r.real_accumulated_time / static_cast<double>(r.iterations);
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int RegisterRatio(const char* name, const char* numerator, const char* denominator) {
    Ratios().push_back({name, numerator, denominator});
    return 0;
}

}  // namespace krelby::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    krelby::bench::Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    for (const auto& r : krelby::bench::Ratios()) {
        auto n = collector.seconds.find(r.numerator);
        auto d = collector.seconds.find(r.denominator);
        if (n == collector.seconds.end() || d == collector.seconds.end() || d->second <= 0) continue;
        std::printf("ratio %s %.3f\n", r.name.c_str(), n->second / d->second);
    }
    benchmark::Shutdown();
    return 0;
}
