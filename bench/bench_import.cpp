// The import against the bare cost of its I/O: read a recording in large blocks, CRC-32 every
// byte, write every byte out. Also the peak resident memory of importing a 500 MB recording.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>

#include "gen/generator.h"
#include "import/import.h"
#include "ratio.h"

namespace {

namespace fs = std::filesystem;
constexpr uint64_t kRecordingBytes = 500ull << 20;
constexpr size_t kIoBlock = 1 << 20;

// The recording and an output folder, made once and removed at exit. Both sides write to
// the same file system: tmpfs where there is one, so that the disk's journal and inode
// allocation after the previous iteration's deletions (which dominated and scattered the
// figures on ext4) do not stand in for the import's own work. KRELBY_BENCH_DIR overrides.
std::string BenchRoot() {
    if (const char* dir = std::getenv("KRELBY_BENCH_DIR")) return dir;
    std::error_code ec;
    return fs::is_directory("/dev/shm", ec) ? "/dev/shm" : "/tmp";
}

struct BenchFiles {
    BenchFiles() {
        std::string tmpl = BenchRoot() + "/krelby-bench-import-XXXXXX";
        if (!mkdtemp(tmpl.data())) std::abort();
        folder = tmpl + "/";
        fs::create_directory(folder + "Flights_INT");
        recording = folder + "ZelvoBB.DAT";
        krelby::gen::RecordingOptions options;
        options.secondsPerFlight = 2 * 3600;
        options.targetBytes = kRecordingBytes;
        krelby::gen::WriteRecording(recording, options);
        ::sync();  // the generator's writes must not land on the measurements
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
    return krelby::ImportRecording(Files().recording, krelby::RecordingKind::Internal, Files().folder, {},
                                   krelby::ChecksumOptions{});
}

// Both benchmarks write into new files, their earlier output removed and the disk idle: the
// cost of removing earlier files lies in the file system (ext4 with discard: ~2 ms a file).
void Clean(benchmark::State& state, const std::string& path) {
    state.PauseTiming();
    std::error_code ec;
    fs::remove_all(path, ec);
    if (fs::path(path).filename() == "Flights_INT") fs::create_directory(path, ec);
    ::sync();
    state.ResumeTiming();
}

void BM_Import(benchmark::State& state) {
    int32_t flights = 0;
    for (auto _ : state) {
        Clean(state, Files().folder + "Flights_INT");
        flights = ImportOnce().FlightCount;
    }
    state.counters["flights"] = flights;
    state.SetBytesProcessed(state.iterations() * int64_t(fs::file_size(Files().recording)));
}

// Read in large blocks, zlib's CRC-32 of every byte, every byte written to one new file.
void CopyWithCrc(std::vector<uint8_t>& buffer, const std::string& copy) {
    const int in = ::open(Files().recording.c_str(), O_RDONLY);
    const int out = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    uLong crc = crc32(0L, Z_NULL, 0);
    for (ssize_t n; (n = ::read(in, buffer.data(), buffer.size())) > 0;) {
        crc = crc32(crc, buffer.data(), uInt(n));
        if (::write(out, buffer.data(), size_t(n)) != n) std::abort();
    }
    ::close(in);
    ::close(out);
    benchmark::DoNotOptimize(crc);
}

void BM_Baseline(benchmark::State& state) {
    std::vector<uint8_t> buffer(kIoBlock);
    const std::string copy = Files().folder + "baseline.out";
    for (auto _ : state) {
        Clean(state, copy);
        CopyWithCrc(buffer, copy);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(fs::file_size(Files().recording)));
}

// Peak resident memory of importing the 500 MB recording, in a fresh process of this program.
// It reports its own high-water mark (VmHWM): a child's rusage would also count the pages the
// parent held when it started.
constexpr const char* kChildRecording = "KRELBY_BENCH_IMPORT_RECORDING";
constexpr const char* kChildFolder = "KRELBY_BENCH_IMPORT_FOLDER";
constexpr const char* kChildReport = "KRELBY_BENCH_IMPORT_REPORT";

// In that fresh process: import, write the peak in kB, and end before the benchmarks start.
const bool kImportChild = [] {
    const char* recording = std::getenv(kChildRecording);
    const char* folder = std::getenv(kChildFolder);
    const char* report = std::getenv(kChildReport);
    if (!recording || !folder || !report) return false;
    try {
        krelby::ImportRecording(recording, krelby::RecordingKind::Internal, folder, {}, {});
    } catch (...) {
        std::_Exit(1);
    }
    std::ifstream status("/proc/self/status");
    std::ofstream out(report);
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) out << std::stol(line.substr(6)) << "\n";
    out.close();
    std::_Exit(out ? 0 : 1);
}();

void BM_ImportPeakRss(benchmark::State& state) {
    double mb = 0;
    const std::string reportPath = Files().folder + "peak.txt";
    for (auto _ : state) {
        std::vector<std::string> env = {std::string(kChildRecording) + "=" + Files().recording,
                                        std::string(kChildFolder) + "=" + Files().folder,
                                        std::string(kChildReport) + "=" + reportPath};
        char* envp[] = {env[0].data(), env[1].data(), env[2].data(), nullptr};
        char* argv[] = {const_cast<char*>("krelby_bench"), nullptr};
        pid_t pid = -1;
        int status = 0;
        if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv, envp) != 0 ||
            waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the import process failed");
            break;
        }
        long kb = 0;
        std::ifstream(reportPath) >> kb;
        mb = static_cast<double>(kb) / 1024.0;
    }
    state.counters["peak_rss_mb"] = mb;
    std::printf("peak_rss_mb %.1f\n", mb);
}

}  // namespace

BENCHMARK(BM_Import)->UseRealTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline)->UseRealTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportPeakRss)->UseRealTime()->Iterations(1)->Unit(benchmark::kMillisecond);
KRELBY_RATIO("import/baseline", "BM_Import", "BM_Baseline");
