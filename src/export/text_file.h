// A text file written through a large buffer; every failure becomes a krelby::Error.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>

namespace krelby {

class TextFile {
public:
    // Creates the file anew, empty; throws when it cannot be created.
    explicit TextFile(std::string path);
    // Writes what is buffered and closes the file; an export cut short keeps what it wrote.
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Appends `text` and a CR LF.
    void Line(std::string_view text) {
        buffer_.append(text);
        buffer_ += "\r\n";
        if (buffer_.size() >= kFlushSize) Flush();
    }
    // Writes the rest and closes the file; throws when the data did not reach it.
    void Close();
    const std::string& path() const { return path_; }

private:
    static constexpr size_t kFlushSize = 1 << 20;
    void Flush();
    [[noreturn]] void Fail();
    std::string path_;
    std::FILE* file_ = nullptr;
    std::string buffer_;
};

// Throws when `output` names the flight file itself: creating it would wipe the flight.
void RefuseFlightAsOutput(const std::string& output, const std::string& flight);

}  // namespace krelby
