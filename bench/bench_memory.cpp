// Memory, not time: the peak resident size of `krelby-cli flights` over one flight of N engine
// messages whose values take turns beyond 8 limits, and the time to read Krelby.INI with each
// style of line end.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "format/frame_builder.h"
#include "format/messages.h"
#include "ratio.h"
#include "settings/settings_file.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace krelby;

std::string ScratchFolder(const char* name) {
    std::error_code ec;
    const std::string root = fs::is_directory("/dev/shm", ec) ? "/dev/shm" : fs::temp_directory_path().string();
    std::string tmpl = root + "/krelby-bench-" + name + "-XXXXXX";
    if (!mkdtemp(tmpl.data())) std::abort();
    return tmpl + "/";
}

void Append(std::FILE* f, const std::vector<uint8_t>& frame) { std::fwrite(frame.data(), 1, frame.size(), f); }

// A folder holding one flight of `messages` engine messages of monitor 1, a FlightMessage a
// second before each; every other message is beyond 8 limits at once (RPM, manifold
// pressure, oil pressure low or high in turn, oil temperature, fuel pressure low or high in
// turn, coolant, an EGT and a CHT) and the next within all of them: four runs a message, none
// joined (ExceedanceMergeSeconds=0).
struct AlternatingFlight {
    std::string folder;
    explicit AlternatingFlight(int64_t messages) : folder(ScratchFolder("rss")) {
        fs::create_directory(folder + "Flights_INT");
        std::FILE* f = std::fopen((folder + "Flights_INT/alternating.FLT").c_str(), "wb");
        using E = EngineMessage;
        const size_t hour = FlightMessage::kSecondOffset - 2, day = FlightMessage::kSecondOffset + 1;
        for (int64_t k = 0; k < messages; ++k) {
            FrameBuilder fm(FrameType::Flight);
            fm.u8(hour, uint8_t(k / 3600 % 24)).u8(hour + 1, uint8_t(k / 60 % 60)).u8(hour + 2, uint8_t(k % 60));
            fm.u8(day, uint8_t(1 + k / 86400 % 28)).u8(day + 1, uint8_t(1 + k / (86400 * 28) % 12)).u8(day + 2, 24);
            Append(f, fm.Sealed());
            const bool beyond = k % 2 == 0, low = k % 4 == 0;
            FrameBuilder e(FrameType::Engine, 56);
            e.u8(E::kMonitorNumber, 1);
            e.u16(E::kRpm, beyond ? 2800 : 2400);
            e.u16(E::kManifoldPressure, beyond ? 11000 : 9000);
            e.u16(E::kOilPressure, !beyond ? 40000 : low ? 10000 : 60000);
            e.i16(E::kOilTemp, beyond ? 120 : 90);
            e.u16(E::kFuelPressure, !beyond ? 3000 : low ? 1000 : 6000);
            e.i16(E::kCoolantTemp, beyond ? 110 : 80);
            e.i16(E::TcOffset(1), beyond ? 800 : 700);
            e.i16(E::TcOffset(5), beyond ? 200 : 150);
            Append(f, e.Sealed());
        }
        std::fclose(f);
        f = std::fopen((folder + "Krelby.INI").c_str(), "wb");
        std::fputs("[ZEDA1]\r\nTC4=1\r\n[Limits]\r\nRpmMax=2700\r\nMapMax=1\r\nOilPressureMin=2\r\nOilPressureMax=5\r\n"
                   "OilTempMax=100\r\nFuelPressureMin=0.2\r\nFuelPressureMax=0.5\r\nCoolantTempMax=100\r\nEgtMax=750\r\n"
                   "ChtMax=180\r\nExceedanceMergeSeconds=0\r\n",
                   f);
        std::fclose(f);
    }
    ~AlternatingFlight() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

// The program measured: this build's, or another's named by KRELBY_BENCH_CLI (to compare).
std::string Cli() {
    const char* other = std::getenv("KRELBY_BENCH_CLI");
    return other && *other ? other : KRELBY_BENCH_CLI;
}

// Peak resident size in MiB of `krelby-cli flights` over the folder, without a cache.
double FlightsRssMiB(const std::string& folder) {
    std::error_code ec;
    for (const char* ext : {"", "-wal", "-shm"}) fs::remove(folder + "Logbook.sqlite" + ext, ec);
    const std::string cli = Cli();
    std::vector<std::string> args = {cli, "flights", "-q", "--folder", folder};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int err = posix_spawn(&pid, cli.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (err) return 0;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return 0;
    return double(usage.ru_maxrss) / 1024.0;  // KiB
}

// The resident size stands in for the time, so that the ratio machinery compares memory.
void BM_FlightsRss(benchmark::State& state) {
    static std::map<int64_t, AlternatingFlight*> flights;
    AlternatingFlight*& flight = flights[state.range(0)];
    if (!flight) flight = new AlternatingFlight(state.range(0));
    double mib = 0;
    for (auto _ : state) {
        mib = FlightsRssMiB(flight->folder);
        if (mib <= 0) state.SkipWithError("krelby-cli flights failed");
        state.SetIterationTime(mib);
    }
    state.counters["rss_MiB"] = mib;
}
BENCHMARK(BM_FlightsRss)->Name("BM_FlightsRss1e4")->Arg(10000)->UseManualTime()->Iterations(1);
BENCHMARK(BM_FlightsRss)->Name("BM_FlightsRss1e5")->Arg(100000)->UseManualTime()->Iterations(1);
BENCHMARK(BM_FlightsRss)->Name("BM_FlightsRss1e6")->Arg(1000000)->UseManualTime()->Iterations(1);

// Krelby.INI of `bytes` with every line ended by `end`: the data selection keys, again and
// again in sections of other names, as a hand-grown file might be.
struct IniOfSize {
    std::string path;
    IniOfSize(size_t bytes, const char* end) : path(ScratchFolder("ini") + "Krelby.INI") {
        std::string text;
        for (int section = 0; text.size() < bytes; ++section) {
            text += (section == 0 ? std::string("[DataSelections]") : "[Old" + std::to_string(section) + "]") + end;
            for (int n = 1; n <= 213 && text.size() < bytes; ++n) text += "Selection" + std::to_string(n) + "=1" + end;
        }
        text.resize(bytes);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    ~IniOfSize() {
        std::error_code ec;
        fs::remove_all(fs::path(path).parent_path(), ec);
    }
};

void BM_IniRead(benchmark::State& state, size_t bytes, const char* end) {
    const IniOfSize ini(bytes, end);
    for (auto _ : state) {
        Settings s;
        std::string flight;
        benchmark::DoNotOptimize(LoadSettings(ini.path, s, flight));
    }
}
BENCHMARK_CAPTURE(BM_IniRead, Cr256K, 256 << 10, "\r")->Name("BM_IniReadCr256K")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IniRead, Lf256K, 256 << 10, "\n")->Name("BM_IniReadLf256K")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IniRead, CrLf256K, 256 << 10, "\r\n")->Name("BM_IniReadCrLf256K")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IniRead, Cr1M, 1 << 20, "\r")->Name("BM_IniReadCr1M")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IniRead, Lf1M, 1 << 20, "\n")->Name("BM_IniReadLf1M")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IniRead, CrLf1M, 1 << 20, "\r\n")->Name("BM_IniReadCrLf1M")->Unit(benchmark::kMillisecond);

KRELBY_RATIO_IN("flights-rss-1e6/flights-rss-1e4", "BM_FlightsRss1e6", "BM_FlightsRss1e4", "MiB", 1);
KRELBY_RATIO("ini-read-cr/ini-read-crlf", "BM_IniReadCr1M", "BM_IniReadCrLf1M");

}  // namespace
