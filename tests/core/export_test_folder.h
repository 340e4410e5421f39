// A fresh temporary folder per test, removed afterwards; helpers to read and write files in it.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "temp_dir.h"

namespace krelby::exporttest {

class TempFolder {
public:
    TempFolder() {
        path_ = krelby::testing::MakeTempDir("krelby-test-") + "/";
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }  // ends in '/'
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace krelby::exporttest
