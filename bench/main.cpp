// Runs every benchmark, then each registered ratio whose two sides ran: again in alternating
// runs of both sides, printed as the median of the runs' ratios with their spread.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "ratio.h"

namespace krelby::bench {
namespace {

// A single run on a shared machine can be off by half; the median of several is not.
constexpr int kRatioRuns = 5;

struct Ratio {
    std::string name, numerator, denominator, unit;
    double scale;
};
std::vector<Ratio>& Ratios() {
    static std::vector<Ratio> r;
    return r;
}

// The real time per iteration of every run, by the run's base name.
void Keep(const std::vector<benchmark::BenchmarkReporter::Run>& runs, std::map<std::string, double>& seconds) {
    for (const auto& r : runs) {
        if (r.run_type != benchmark::BenchmarkReporter::Run::RT_Iteration || r.error_occurred || r.iterations == 0)
            continue;
        std::string name = r.benchmark_name();
        name = name.substr(0, name.find('/'));
        seconds[name] = r.real_accumulated_time / static_cast<double>(r.iterations);
    }
}

// The first run of everything, shown as usual.
class Collector : public benchmark::ConsoleReporter {
public:
    using ConsoleReporter::ConsoleReporter;
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        Keep(runs, seconds);
        ConsoleReporter::ReportRuns(runs);
    }
};

// The ratios' runs, shown only as the summary lines below.
class Quiet : public benchmark::BenchmarkReporter {
public:
    std::map<std::string, double> seconds;
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override { Keep(runs, seconds); }
};

// Seconds per iteration of one benchmark, run once more; 0 when it fails.
double RunOnce(const std::string& name) {
    Quiet quiet;
    benchmark::RunSpecifiedBenchmarks(&quiet, "^" + name + "(/|$)");
    const auto it = quiet.seconds.find(name);
    return it == quiet.seconds.end() ? 0.0 : it->second;
}

void MeasureRatio(const Ratio& r) {
    std::vector<double> ratios;
    for (int k = 0; k < kRatioRuns; ++k) {
        // Either side first in turn, so that a drift of the machine does not favour one.
        double num, den;
        if (k % 2 == 0) {
            num = RunOnce(r.numerator);
            den = RunOnce(r.denominator);
        } else {
            den = RunOnce(r.denominator);
            num = RunOnce(r.numerator);
        }
        if (num <= 0 || den <= 0) return;
        std::printf("  %s run %d: %s %.1f %s, %s %.1f %s, %.3f\n", r.name.c_str(), k + 1, r.numerator.c_str(),
                    num * r.scale, r.unit.c_str(), r.denominator.c_str(), den * r.scale, r.unit.c_str(), num / den);
        ratios.push_back(num / den);
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("ratio %s %.3f (min %.3f max %.3f)\n", r.name.c_str(), ratios[ratios.size() / 2], ratios.front(),
                ratios.back());
    std::fflush(stdout);
}

// Colour only on a terminal, and never when --benchmark_color says no: the reporter given
// to the library does not read that flag itself.
benchmark::ConsoleReporter::OutputOptions Output(int argc, char** argv) {
    bool color = ::isatty(STDOUT_FILENO);
    for (int i = 1; i < argc; ++i) {
        const char* flag = "--benchmark_color=";
        if (std::strncmp(argv[i], flag, std::strlen(flag)) != 0) continue;
        const std::string v = argv[i] + std::strlen(flag);
        color = v == "auto" ? color : v == "true" || v == "yes" || v == "1";
    }
    return color ? benchmark::ConsoleReporter::OO_ColorTabular : benchmark::ConsoleReporter::OO_Tabular;
}

}  // namespace

int RegisterRatio(const char* name, const char* numerator, const char* denominator, const char* unit, double scale) {
    Ratios().push_back({name, numerator, denominator, unit, scale});
    return 0;
}

}  // namespace krelby::bench

int main(int argc, char** argv) {
    using namespace krelby::bench;
    const auto output = Output(argc, argv);
    benchmark::Initialize(&argc, argv);
    Collector collector(output);
    benchmark::RunSpecifiedBenchmarks(&collector);
    std::fflush(stdout);
    // The first run of each side is left out of its ratio: it also pays for warming the caches.
    for (const auto& r : Ratios())
        if (collector.seconds.count(r.numerator) && collector.seconds.count(r.denominator)) MeasureRatio(r);
    benchmark::Shutdown();
    return 0;
}
