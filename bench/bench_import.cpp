// The import against the bare cost of its I/O: read a recording in large blocks, CRC-32 every
// byte, write every byte out. Also the peak resident memory of importing a 500 MB recording.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>

#include "format/datetime.h"
#include "format/frame_builder.h"
#include "import/import.h"
#include "ratio.h"

namespace {

namespace fs = std::filesystem;
constexpr uint64_t kRecordingBytes = 500ull << 20;
constexpr size_t kIoBlock = 1 << 20;

std::vector<uint8_t> FramesOfOneSecond() {
    std::vector<uint8_t> out;
    auto add = [&](const std::vector<uint8_t>& f) { out.insert(out.end(), f.begin(), f.end()); };
    add(krelby::FrameBuilder(krelby::FrameType::Gps).i32(8, 8'000'000).i32(12, 2'000'000).u16(36, 1200).Sealed());
    add(krelby::FrameBuilder(krelby::FrameType::Attitude).u16(8, 1800).i16(20, 100).Sealed());
    for (uint8_t monitor : {1, 2})
        add(krelby::FrameBuilder(krelby::FrameType::Engine).u8(8, monitor).u16(12, 2400).Sealed());
    add(krelby::FrameBuilder(krelby::FrameType::Fuel).i32(8, 16).i32(12, 500).Sealed());
    add(krelby::FrameBuilder(krelby::FrameType::Inputs).u8(8, 16).u8(9, 16).Sealed());
    add(krelby::FrameBuilder(krelby::FrameType::Navigation).u16(8, 0x7FF).Sealed());
    return out;
}

// Two-hour flights an hour apart, every message once a second, in 512-byte blocks.
void WriteBenchRecording(const std::string& path, uint64_t bytes) {
    std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!out) std::abort();
    const std::vector<uint8_t> second = FramesOfOneSecond();
    const double start = *krelby::EncodeDate(2024, 1, 1);
    std::vector<uint8_t> block(512);
    size_t fill = 4;
    uint32_t blockNumber = 1;
    uint64_t written = 0;
    auto put = [&](const std::vector<uint8_t>& bytesIn) {
        for (size_t i = 0; i < bytesIn.size();) {
            if (fill == 4) krelby::put32le(block.data(), 0, blockNumber++);
            const size_t n = std::min(bytesIn.size() - i, block.size() - fill);
            std::copy(bytesIn.begin() + long(i), bytesIn.begin() + long(i + n), block.begin() + long(fill));
            fill += n;
            i += n;
            if (fill == block.size()) {
                std::fwrite(block.data(), 1, block.size(), out.get());
                written += block.size();
                fill = 4;
            }
        }
    };
    for (int64_t s = 0; written < bytes; ++s) {
        const int64_t t = s + s / 7200 * 3600;
        const auto p = krelby::DecodeDateTime(start + static_cast<double>(t) / 86400.0);
        put(krelby::FrameBuilder(krelby::FrameType::Flight).i32(8, 3500).u16(16, 1500)
                .u8(32, uint8_t(p.hour)).u8(33, uint8_t(p.minute)).u8(34, uint8_t(p.second))
                .u8(35, uint8_t(p.day)).u8(36, uint8_t(p.month)).u8(37, uint8_t(p.year - 2000)).Sealed());
        put(second);
    }
}

// The recording and an output folder in /tmp, made once and removed at exit.
struct BenchFiles {
    BenchFiles() {
        std::string tmpl = "/tmp/krelby-bench-import-XXXXXX";
        if (!mkdtemp(tmpl.data())) std::abort();
        folder = tmpl + "/";
        fs::create_directory(folder + "Flights_INT");
        recording = folder + "ZelvoBB.DAT";
        WriteBenchRecording(recording, kRecordingBytes);
    }
    ~BenchFiles() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    std::string folder, recording;
};
BenchFiles& Files() {
    static BenchFiles files;
    return files;
}

krelby::ImportResult ImportOnce() {
    krelby::SampleClock clock;
    return krelby::ImportRecording(Files().recording, krelby::RecordingKind::Internal, Files().folder, {},
                                   krelby::ChecksumOptions{}, clock);
}

void BM_Import(benchmark::State& state) {
    int32_t flights = 0;
    for (auto _ : state) flights = ImportOnce().FlightCount;
    state.counters["flights"] = flights;
    state.SetBytesProcessed(state.iterations() * int64_t(fs::file_size(Files().recording)));
}

void BM_Baseline(benchmark::State& state) {
    std::vector<uint8_t> buffer(kIoBlock);
    const std::string copy = Files().folder + "baseline.out";
    for (auto _ : state) {
        const int in = ::open(Files().recording.c_str(), O_RDONLY);
        const int out = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        uLong crc = crc32(0L, Z_NULL, 0);
        for (ssize_t n; (n = ::read(in, buffer.data(), buffer.size())) > 0;) {
            crc = crc32(crc, buffer.data(), uInt(n));
            if (::write(out, buffer.data(), size_t(n)) != n) state.SkipWithError("write failed");
        }
        ::close(in);
        ::close(out);
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(fs::file_size(Files().recording)));
}

// Peak resident memory of a child process that imports the 500 MB recording (an upper bound:
// the child starts with the benchmark's own pages).
void BM_ImportPeakRss(benchmark::State& state) {
    double mb = 0;
    for (auto _ : state) {
        const pid_t pid = fork();
        if (pid == 0) {
            try { ImportOnce(); } catch (...) { _exit(1); }
            _exit(0);
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("import failed");
        mb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    }
    state.counters["peak_rss_mb"] = mb;
    std::printf("peak_rss_mb %.1f\n", mb);
}

}  // namespace

BENCHMARK(BM_Import)->UseRealTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline)->UseRealTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportPeakRss)->UseRealTime()->Iterations(1)->Unit(benchmark::kMillisecond);
KRELBY_RATIO("import/baseline", "BM_Import", "BM_Baseline");
