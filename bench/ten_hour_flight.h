// A ten-hour flight of four engine monitors with a mixture sweep in each cruise, written once
// per run to a temporary file: what the analysis and the report are measured on.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "gen/generator.h"

namespace krelby::bench {

// Removed at exit, with PATH.pdf if a benchmark wrote one beside it.
inline const std::string& TenHourFlight() {
    static const std::string path = [] {
        std::string p = "krelby-bench-ten-hours-";  // appended: g++ 12 warns of "..." + std::string
        p += std::to_string(getpid());
        p += ".FLT";
        p = (std::filesystem::temp_directory_path() / p).string();
        gen::RecordingOptions o;
        o.flights = 1;
        o.secondsPerFlight = 36000;
        o.engineMonitors = 4;
        o.sweepMonitors = 4;
        o.egtNoise = 3;
        const std::vector<uint8_t> stream = gen::FrameStream(o);
        std::FILE* f = std::fopen(p.c_str(), "wb");
        std::fwrite(stream.data(), 1, stream.size(), f);
        std::fclose(f);
        return p;
    }();
    // Registered once `path` is made, so that it runs before `path` is destroyed.
    static const int removed = std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove(TenHourFlight(), ignored);
        std::filesystem::remove(TenHourFlight() + ".pdf", ignored);
    });
    (void)removed;
    return path;
}

}  // namespace krelby::bench
