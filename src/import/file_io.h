// Files of the import: the recording read in large blocks, the flight file written through a
// buffer in whole Frames. Both close themselves when dropped, also when an error ends the import.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace krelby {

// The user's text for a failed file operation: "File not found", "File access denied",
// "Disk full", "Invalid filename" or "I/O error N (...)".
std::string FileErrorText(int err);
// Throws krelby::Error with FileErrorText(err) + ": " + path.
[[noreturn]] void ThrowFileError(int err, const std::string& path);

class RecordingFile {
public:
    explicit RecordingFile(const std::string& path);  // throws when it cannot be opened
    ~RecordingFile();
    RecordingFile(const RecordingFile&) = delete;
    RecordingFile& operator=(const RecordingFile&) = delete;

    uint64_t Size() const { return size_; }
    // Fills `buffer` with up to `capacity` bytes; fewer only at the end of the file.
    size_t Read(uint8_t* buffer, size_t capacity);
    void Rewind();

private:
    std::string path_;
    int fd_ = -1;
    uint64_t size_ = 0;
};

class FlightFileWriter {
public:
    static constexpr size_t kMaxBuffer = 1 << 20;

    // No flight file outgrows the recording, so a small recording needs only a small buffer.
    explicit FlightFileWriter(uint64_t recordingSize = kMaxBuffer);
    // Flushes what it holds; a failure there is passed over (an error is already on its way).
    ~FlightFileWriter();
    FlightFileWriter(const FlightFileWriter&) = delete;
    FlightFileWriter& operator=(const FlightFileWriter&) = delete;

    // Creates `path` empty (replacing a file of that name) and opens it for writing.
    void Create(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }
    // Appends one whole Frame.
    void Append(const uint8_t* frame, size_t size) {
        if (used_ + size > capacity_) Flush();
        std::memcpy(buffer_.get() + used_, frame, size);
        used_ += size;
    }
    // Flushes and closes; throws when the data cannot be written.
    void Close();

private:
    void Flush();
    void CloseQuietly();

    size_t capacity_;
    std::unique_ptr<uint8_t[]> buffer_;
    size_t used_ = 0;
    int fd_ = -1;
    uint64_t committed_ = 0;  // bytes on disk, always a run of whole Frames
    std::string path_;
};

}  // namespace krelby
