// One side of a benchmark ratio, run once, for instruction counts under
// `valgrind --tool=callgrind` (repeatable where timings on a shared machine are not):
//   krelby_profile make-replay FILE | make-analysis FILE | make-recording FILE [MB]
//   krelby_profile scan FILE | replay FILE | analysis FILE
//   krelby_profile import RECORDING FOLDER | baseline RECORDING OUT
// The files are those of `make bench` (bench_replay, bench_analysis, bench_import; the
// recording 500 MB unless told). Each run is done twice and only the second is counted, as
// the benchmarks count their iterations after the first: the chart keeps its capacity.
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "format/frame_scanner.h"
#include "gen/generator.h"
#include "import/import.h"
#include "logbook/analysis.h"
#include "replay/replay.h"

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_ZERO_STATS
#endif

namespace {

using namespace krelby;

void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) std::exit(1);
}

size_t Scan(const std::string& path) {
    struct Count : FrameHandler {
        size_t frames = 0;
        void OnFrame(FrameType, const uint8_t*, size_t) override { ++frames; }
    } count;
    ChecksumOptions checks;
    FrameScanner scanner(checks);
    std::vector<uint8_t> block(1 << 18);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) std::exit(1);
    for (size_t n; (n = std::fread(block.data(), 1, block.size(), f)) > 0;) scanner.Feed(block.data(), n, count);
    std::fclose(f);
    return count.frames;
}

size_t ReplayOnce(const std::string& path) {
    Settings settings;
    const ChecksumOptions checks;
    static ChartModel chart;
    settings.thermocouples[1] = CHT;
    for (int box : {1, 3, 6, 32, 35, 41, 42, 11, 12, 20, 21, 122, 53, 69, 77, 94}) settings.selection.Set(box, true);
    ChartReplay(chart, path, {settings, checks});
    return size_t(chart.SlotsInChart());
}

size_t Analyse(const std::string& path) {
    Settings settings;
    for (size_t i = 0; i < settings.thermocouples.size(); ++i) settings.thermocouples[i] = uint8_t(i % 12 / 4);
    const FlightAnalysis a = AnalyzeFlight(path, settings);
    size_t sweeps = 0;
    for (const MonitorAnalysis& m : a.analysis.monitors) sweeps += m.sweeps.size();
    return sweeps;
}

void Baseline(const std::string& recording, const std::string& copy) {
    std::vector<uint8_t> buffer(1 << 20);
    const int in = ::open(recording.c_str(), O_RDONLY);
    const int out = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    uLong crc = crc32(0L, Z_NULL, 0);
    for (ssize_t n; (n = ::read(in, buffer.data(), buffer.size())) > 0;) {
        crc = crc32(crc, buffer.data(), uInt(n));
        if (::write(out, buffer.data(), size_t(n)) != n) std::exit(1);
    }
    ::close(in);
    ::close(out);
    std::printf("crc %08lx\n", crc);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: krelby_profile MODE FILE [OUT]\n");
        return 2;
    }
    const std::string mode = argv[1], file = argv[2];
    if (mode == "make-replay") {
        gen::RecordingOptions o;
        o.flights = 1, o.secondsPerFlight = 125000, o.engineMonitors = 4;
        Write(file, gen::FrameStream(o));
    } else if (mode == "make-analysis") {
        gen::RecordingOptions o;
        o.flights = 1, o.secondsPerFlight = 36000, o.engineMonitors = 4, o.sweepMonitors = 4, o.egtNoise = 3;
        Write(file, gen::FrameStream(o));
    } else if (mode == "make-recording") {
        gen::RecordingOptions o;
        o.secondsPerFlight = 2 * 3600, o.targetBytes = uint64_t(argc > 3 ? std::atoi(argv[3]) : 500) << 20;
        gen::WriteRecording(file, o);
    } else if (mode == "scan") {
        Scan(file);
        CALLGRIND_ZERO_STATS;
        std::printf("%zu frames\n", Scan(file));
    } else if (mode == "replay") {
        ReplayOnce(file);
        CALLGRIND_ZERO_STATS;
        std::printf("%zu slots\n", ReplayOnce(file));
    } else if (mode == "analysis") {
        Analyse(file);
        CALLGRIND_ZERO_STATS;
        std::printf("%zu sweeps\n", Analyse(file));
    } else if (mode == "import" && argc > 3) {
        for (int k = 0; k < 2; ++k) {
            std::filesystem::remove_all(std::string(argv[3]) + "/Flights_INT");
            std::filesystem::create_directories(std::string(argv[3]) + "/Flights_INT");
            if (k == 1) CALLGRIND_ZERO_STATS;
            std::printf("%d flights\n", ImportRecording(file, RecordingKind::Internal, argv[3], {}, {}).FlightCount);
        }
    } else if (mode == "baseline" && argc > 3) {
        Baseline(file, argv[3]);
        CALLGRIND_ZERO_STATS;
        Baseline(file, argv[3]);
    } else {
        std::fprintf(stderr, "krelby_profile: unknown mode %s\n", mode.c_str());
        return 2;
    }
    return 0;
}
