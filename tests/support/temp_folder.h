// A fresh folder per test under the system's temporary folder, removed afterwards, and whole-file
// reads and writes for the tests.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace krelby::testing {

using Bytes = std::vector<uint8_t>;

class TempFolder {
public:
    TempFolder() {
        static std::mt19937_64 random{std::random_device{}()};
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (;;) {
            const std::filesystem::path dir = base / ("krelby-test-" + std::to_string(random() % 1000000000));
            std::error_code ec;
            if (std::filesystem::create_directory(dir, ec)) {
                path_ = dir.generic_string() + "/";
                return;
            }
        }
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }  // with '/' between its parts and at its end
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

inline void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
}
inline void WriteFile(const std::string& path, const Bytes& bytes) {
    WriteFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}
// Frames one after another, as a flight file holds them; returns `path`.
inline std::string WriteFrames(const std::string& path, const std::vector<Bytes>& frames) {
    std::string bytes;
    for (const auto& f : frames) bytes.append(f.begin(), f.end());
    WriteFile(path, bytes);
    return path;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

}  // namespace krelby::testing
