// Arbitrary bytes as a flight file, replayed with many items ticked into the chart and the
// CSV export's consumers.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/error.h"
#include "export/csv_sink.h"
#include "replay/replay.h"

namespace {

struct NoOutput : krelby::CsvOutput {
    void CsvHeader(const krelby::CsvColumns&) override {}
    void CsvRow(double, const krelby::CsvColumns&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = [] {
        std::atexit([] { std::remove(("/tmp/krelby-fuzz-replay-" + std::to_string(getpid()) + ".FLT").c_str()); });
        return "/tmp/krelby-fuzz-replay-" + std::to_string(getpid()) + ".FLT";
    }();
    if (size == 0) return 0;
    // The first byte chooses the options, the rest is the file.
    const uint8_t choice = data[0];
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);

    static NoOutput output;
    krelby::Settings settings;
    krelby::ChecksumOptions checks;
    krelby::ChartModel chart;
    for (int box = 1; box <= krelby::kCheckBoxCount; ++box) settings.selection.Set(box, (box + choice) % 3 != 0);
    checks.IgnoreChecksums = choice & 1;
    settings.units = {static_cast<int16_t>(choice & 3), static_cast<int16_t>(choice >> 2 & 1),
                              static_cast<int16_t>(choice >> 3 & 3), static_cast<int16_t>(choice >> 4 & 1),
                              static_cast<int16_t>(choice >> 5 & 1), static_cast<int16_t>(choice >> 6 & 3),
                              0, static_cast<int16_t>(choice >> 7), static_cast<int16_t>(choice >> 1 & 1), 0, 0};
    for (size_t i = 0; i < settings.thermocouples.size(); ++i)
        settings.thermocouples[i] = static_cast<uint8_t>((i * 7 + choice) % 9);
    static krelby::CsvColumns columns;
    krelby::CsvColumnsSink names(columns, settings);
    krelby::CsvRowsSink rows(columns, settings, output);
    krelby::ReplaySink* csv = (choice & 2) != 0 ? static_cast<krelby::ReplaySink*>(&rows) : &names;
    try {
        krelby::ChartReplay(chart, path, {settings, checks}, {csv});
        krelby::ChartReplay(chart, path, {settings, checks}, {csv});
    } catch (const krelby::Error&) {
    }
    return 0;
}
