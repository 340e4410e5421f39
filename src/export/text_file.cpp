#include "export/text_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "format/error.h"

namespace krelby {

TextFile::TextFile(std::string path) : path_(std::move(path)) {
    file_ = std::fopen(path_.c_str(), "wb");
    if (!file_) throw Error("Cannot create file " + path_ + ": " + std::strerror(errno));
    buffer_.reserve(kFlushSize + 4096);
}

TextFile::~TextFile() {
    if (!file_) return;
    std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
    std::fclose(file_);
}

void TextFile::Flush() {
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) Fail();
    buffer_.clear();
}

void TextFile::Close() {
    if (!file_) return;
    Flush();
    std::FILE* f = file_;
    file_ = nullptr;
    if (std::fclose(f) != 0) Fail();
}

void TextFile::Fail() {
    const int code = errno;
    if (file_) std::fclose(file_);
    file_ = nullptr;
    buffer_.clear();
    throw Error("Unable to write to " + path_ + ": " + std::strerror(code));
}

void RefuseFlightAsOutput(const std::string& output, const std::string& flight) {
    std::error_code ec;
    if (std::filesystem::equivalent(output, flight, ec))
        throw Error("Cannot create file " + output + ": it is the flight file being exported");
}

}  // namespace krelby
