// A fresh folder under the system's temporary folder, on every system the tests run on.
#pragma once
#include <filesystem>
#include <random>
#include <string>

namespace krelby::testing {

// The new folder's path, with '/' between its parts, without a final '/'.
inline std::string MakeTempDir(const std::string& stem) {
    static std::mt19937_64 random{std::random_device{}()};
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (;;) {
        const std::filesystem::path dir = base / (stem + std::to_string(random() % 1000000000));
        std::error_code ec;
        if (std::filesystem::create_directory(dir, ec)) return dir.generic_string();
    }
}

}  // namespace krelby::testing
