// A text file written through a large buffer into a temporary file beside its target and
// renamed into place by Close: a failed or killed export leaves the previous file whole.
#pragma once
#include <string>
#include <string_view>

#include "base/file.h"

namespace krelby {

class TextFile {
public:
    // Refuses a path that leads to `source` (the flight being exported), then starts the
    // file; throws krelby::Error when it cannot be created.
    explicit TextFile(std::string path, const InputFile* source = nullptr);
    // Without Close, nothing reaches the target: the temporary file is removed.
    ~TextFile() = default;
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Appends `text` and a CR LF.
    void Line(std::string_view text) {
        buffer_.append(text);
        buffer_ += "\r\n";
        if (buffer_.size() >= kFlushSize) Flush();
    }
    // Appends `text` as it is (the analysis table's LF-ended lines).
    void Text(std::string_view text) {
        buffer_.append(text);
        if (buffer_.size() >= kFlushSize) Flush();
    }
    // Writes the rest and renames the file into place; throws when the data did not reach it.
    void Close();
    const std::string& path() const { return path_; }

private:
    static constexpr size_t kFlushSize = 1 << 20;
    void Flush();
    [[noreturn]] void Fail(int err);
    std::string path_;
    AtomicFile file_;
    std::string buffer_;
};

}  // namespace krelby
