// Arbitrary bytes as a flight file, through the engine analysis and its JSON document:
// clocks that jump back, short Frames, odd kinds and limits.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/error.h"
#include "logbook/analysis_json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = [] {
        std::atexit([] { std::remove(("/tmp/krelby-fuzz-analysis-" + std::to_string(getpid()) + ".FLT").c_str()); });
        return "/tmp/krelby-fuzz-analysis-" + std::to_string(getpid()) + ".FLT";
    }();
    if (size == 0) return 0;
    // The first byte chooses the kinds, the limits and the liquid unit; the rest is the file.
    const uint8_t choice = data[0];
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);

    krelby::Settings settings;
    for (size_t i = 0; i < settings.thermocouples.size(); ++i)
        settings.thermocouples[i] = static_cast<uint8_t>((i * 5 + choice) % 4);
    settings.units.LiqQ = choice >> 7;
    if (choice & 1) settings.limits.Set(krelby::LimitKey::ChtMax, 150);
    if (choice & 2) settings.limits.Set(krelby::LimitKey::OilPressureMin, 2.5);
    try {
        const std::string json = krelby::AnalysisJson(path, krelby::AnalyzeFlight(path, settings), settings);
        if (json.empty() || json.back() != '\n') std::abort();
    } catch (const krelby::Error&) {
    }
    return 0;
}
