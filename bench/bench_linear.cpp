// Work that must grow with its input and no faster: many flights starting in the same
// second (each takes the next free name of its start), and a settings file of many sections.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "format/frame_builder.h"
#include "import/import.h"
#include "ratio.h"
#include "settings/settings_file.h"

namespace {

namespace fs = std::filesystem;

struct Folder {
    Folder() {
        // tmpfs where there is one: the disk's own cost per file is not what is measured.
        std::error_code ec;
        std::string tmpl = (fs::is_directory("/dev/shm", ec) ? std::string("/dev/shm") : fs::temp_directory_path().string()) +
                           "/krelby-bench-linear-XXXXXX";
        if (!mkdtemp(tmpl.data())) std::abort();
        path = tmpl + "/";
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    std::string path;
};

// A FlightMessage at 10:00:00 or 11:00:00 on 5 March 2014: alternating, every message opens a
// flight, and half of the flights start in each of two seconds.
std::vector<uint8_t> Message(bool later) {
    using krelby::FrameBuilder;
    return FrameBuilder(krelby::FrameType::Flight).u8(32, later ? 11 : 10).u8(35, 5).u8(36, 3).u8(37, 14).Sealed();
}

std::string SameStartRecording(const std::string& folder, int flights) {
    std::vector<uint8_t> stream;
    for (int i = 0; i < flights; ++i) {
        const auto m = Message(i % 2 == 1);
        stream.insert(stream.end(), m.begin(), m.end());
    }
    std::vector<uint8_t> blocks;
    for (size_t at = 0; at < stream.size(); at += 508) {
        const uint8_t header[4] = {0x05, 0x02, 0x18, 0xE7};
        blocks.insert(blocks.end(), header, header + 4);
        blocks.insert(blocks.end(), stream.begin() + long(at), stream.begin() + long(std::min(at + 508, stream.size())));
    }
    const std::string path = folder + "ZelvoBB-" + std::to_string(flights) + ".DAT";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(blocks.data()), long(blocks.size()));
    return path;
}

void ImportSameStart(benchmark::State& state, int flights) {
    Folder folder;
    const std::string recording = SameStartRecording(folder.path, flights);
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code ec;
        fs::remove_all(folder.path + "Flights_INT", ec);
        fs::create_directory(folder.path + "Flights_INT");
        state.ResumeTiming();
        const auto r = krelby::ImportRecording(recording, krelby::RecordingKind::Internal, folder.path, {}, {});
        if (r.FlightCount != flights) state.SkipWithError("wrong number of flights");
    }
}
void BM_ImportSameStart2k(benchmark::State& state) { ImportSameStart(state, 2000); }
void BM_ImportSameStart32k(benchmark::State& state) { ImportSameStart(state, 32000); }

// A settings file of `bytes` made of short section lines.
void LoadSettingsOf(benchmark::State& state, size_t bytes) {
    Folder folder;
    const std::string ini = folder.path + "Krelby.INI";
    std::string text;
    for (int i = 0; text.size() < bytes; ++i) text += "[S" + std::to_string(i) + "]\r\n";
    std::ofstream(ini, std::ios::binary) << text.substr(0, bytes);
    for (auto _ : state) {
        krelby::Settings settings;
        std::string current;
        benchmark::DoNotOptimize(krelby::LoadSettings(ini, settings, current));
    }
}
void BM_Settings1KiB(benchmark::State& state) { LoadSettingsOf(state, 1 << 10); }
void BM_Settings1MiB(benchmark::State& state) { LoadSettingsOf(state, 1 << 20); }

}  // namespace

BENCHMARK(BM_ImportSameStart2k)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportSameStart32k)->UseRealTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Settings1KiB)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Settings1MiB)->UseRealTime()->Iterations(5)->Unit(benchmark::kMillisecond);
KRELBY_RATIO("import-samestart32k/import-samestart2k", "BM_ImportSameStart32k", "BM_ImportSameStart2k");
KRELBY_RATIO("settings-1mib/settings-1kib", "BM_Settings1MiB", "BM_Settings1KiB");
