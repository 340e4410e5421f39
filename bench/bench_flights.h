// The benchmarks' generated flights, written once per run to temporary files.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "gen/generator.h"

namespace krelby::bench {

// `stream` written as /tmp/krelby-bench-STEM-PID.FLT.
inline std::string WriteBenchFlight(const char* stem, const std::vector<uint8_t>& stream) {
    std::string p = "krelby-bench-";  // appended: g++ 12 warns of "..." + std::string
    p += stem;
    p += "-";
    p += std::to_string(getpid());
    p += ".FLT";
    p = (std::filesystem::temp_directory_path() / p).string();
    std::FILE* f = std::fopen(p.c_str(), "wb");
    std::fwrite(stream.data(), 1, stream.size(), f);
    std::fclose(f);
    return p;
}

// Removes `path` and PATH.pdf at exit.
inline void RemoveAtExit(const std::string& path) {
    static std::vector<std::string> paths;  // copies: a later static path is gone before exit
    if (paths.empty())
        std::atexit([] {
            std::error_code ignored;
            for (const std::string& p : paths) {
                std::filesystem::remove(p, ignored);
                std::filesystem::remove(p + ".pdf", ignored);
            }
        });
    paths.push_back(path);
}

// A ten-hour flight of four engine monitors with a mixture sweep in each cruise: what the
// analysis and the report are measured on.
inline const std::string& TenHourFlight() {
    static const std::string path = [] {
        gen::RecordingOptions o;
        o.flights = 1;
        o.secondsPerFlight = 36000;
        o.engineMonitors = 4;
        o.sweepMonitors = 4;
        o.egtNoise = 3;
        return WriteBenchFlight("ten-hours", gen::FrameStream(o));
    }();
    static const bool removed = (RemoveAtExit(path), true);
    (void)removed;
    return path;
}

}  // namespace krelby::bench
