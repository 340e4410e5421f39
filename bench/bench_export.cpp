// The CSV export against one plain replay of the same large flight with 16 items selected.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/error.h"
#include "export/csv_export.h"
#include "export/csv_file.h"
#include "format/frame_builder.h"
#include "ratio.h"
#include "replay/replay.h"

namespace {

using krelby::FrameBuilder;
using krelby::FrameType;

constexpr int kFramesPerSecond = 11;
constexpr int kSeconds = 1'000'000 / kFramesPerSecond + 1;

void Put(std::ofstream& out, const std::vector<uint8_t>& f) {
    out.write(reinterpret_cast<const char*>(f.data()), static_cast<std::streamsize>(f.size()));
}

// One FlightMessage, one GpsMessage, four attitude messages, two engine monitors, fuel,
// inputs and navigation per second: a little over a million Frames.
std::string WriteFlight(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    for (int s = 0; s < kSeconds; ++s) {
        const int day = 14 + s / 86400, t = s % 86400;
        Put(out, FrameBuilder(FrameType::Flight)
                     .i32(8, 1000 + s % 7000).i32(12, 1020 + s % 7000).u16(16, static_cast<uint16_t>(900 + s % 600))
                     .i16(20, static_cast<int16_t>(s % 160 - 20)).u16(24, static_cast<uint16_t>(10132 - s % 300))
                     .u8(32, static_cast<uint8_t>(t / 3600)).u8(33, static_cast<uint8_t>(t / 60 % 60))
                     .u8(34, static_cast<uint8_t>(t % 60)).u8(35, static_cast<uint8_t>(day)).u8(36, 6).u8(37, 24)
                     .Sealed());
        Put(out, FrameBuilder(FrameType::Gps)
                     .i32(8, -4860000 + s * 7).i32(12, 27000000 + s * 11).i32(16, 1100 + s % 7000)
                     .u16(36, static_cast<uint16_t>(1000 + s % 500)).u16(38, static_cast<uint16_t>(s % 3600))
                     .u8(43, static_cast<uint8_t>(5 + s % 7)).Sealed());
        for (int a = 0; a < 4; ++a)
            Put(out, FrameBuilder(FrameType::Attitude)
                         .u16(8, static_cast<uint16_t>((s * 4 + a) % 3600)).i16(10, static_cast<int16_t>(s % 300 - 150))
                         .i16(12, static_cast<int16_t>(a * 37 - s % 400)).i16(20, static_cast<int16_t>(100 + s % 40 - a))
                         .Sealed());
        for (int m = 1; m <= 2; ++m)
            Put(out, FrameBuilder(FrameType::Engine)
                         .u8(8, static_cast<uint8_t>(m)).u16(12, static_cast<uint16_t>(2300 + s % 300))
                         .u16(16, static_cast<uint16_t>(40000 + s % 9000)).i16(24, static_cast<int16_t>(80 + s % 20))
                         .u16(36, static_cast<uint16_t>(3000 + s % 900)).Sealed());
        Put(out, FrameBuilder(FrameType::Fuel).Sealed());
        Put(out, FrameBuilder(FrameType::Inputs).Sealed());
        Put(out, FrameBuilder(FrameType::Navigation).Sealed());
    }
    return path;
}

struct Fixture {
    std::string folder;
    std::string flight;
    Fixture() {
        std::string pattern = (std::filesystem::temp_directory_path() / "krelby-bench-XXXXXX").string();
        folder = std::string(mkdtemp(pattern.data())) + "/";
        std::filesystem::create_directory(folder + "Exports");
        flight = WriteFlight(folder + "large.FLT");
    }
    ~Fixture() { std::filesystem::remove_all(folder); }

    krelby::Settings NewSettings() const {
        krelby::Settings s;
        for (int box : {1, 3, 5, 7, 32, 35, 36, 38, 41, 42, 43, 47, 11, 12, 15, 18}) s.selection.Set(box, true);
        return s;
    }
};

const Fixture& Data() {
    static const Fixture f;
    return f;
}

void BM_ReplayOnce(benchmark::State& state) {
    const krelby::Settings settings = Data().NewSettings();
    const krelby::ChecksumOptions checks;
    krelby::ChartModel chart;
    for (auto _ : state) {
        krelby::ChartReplay(chart, Data().flight, {settings, checks});
        benchmark::DoNotOptimize(chart.Slot(0).xs.size());
    }
}
BENCHMARK(BM_ReplayOnce)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_CsvExport(benchmark::State& state) {
    const krelby::Settings settings = Data().NewSettings();
    const krelby::ChecksumOptions checks;
    const std::string out = krelby::CsvExportPath(Data().folder, Data().flight);
    for (auto _ : state) {
        try {
            krelby::CsvExport(Data().flight, {settings, checks}, krelby::Regional{}, out);
        } catch (const krelby::Error& e) {
            state.SkipWithError(e.what());
            break;
        }
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(Data().folder + "Exports/large.CSV"));
}
BENCHMARK(BM_CsvExport)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

KRELBY_RATIO("csv/replay", "BM_CsvExport", "BM_ReplayOnce");
