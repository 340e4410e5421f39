// The flight file writer: whole Frames through a buffer into a temporary file that is renamed
// into place when the flight is closed, so a flight file on disk is always a whole one. The
// name is chosen then, when the flight's bytes are known (FlightFileNamer::Choose).
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "base/file.h"
#include "import/flight_file_namer.h"

namespace krelby {

class FlightFileWriter {
public:
    static constexpr size_t kMaxBuffer = 256 << 10;  // as large as the import's reads

    // No flight file outgrows the recording, so a small recording needs only a small buffer.
    explicit FlightFileWriter(FlightFileNamer& namer, uint64_t recordingSize = kMaxBuffer);
    // Ends a flight cut short by an error: see Abandon.
    ~FlightFileWriter();
    FlightFileWriter(const FlightFileWriter&) = delete;
    FlightFileWriter& operator=(const FlightFileWriter&) = delete;

    // Starts the flight that begins at `start`; no file of the folder is touched until Close.
    void Create(double start);
    bool IsOpen() const { return file_.IsOpen(); }
    // Appends one whole Frame.
    void Append(const uint8_t* frame, size_t size) {
        if (used_ + size > capacity_) Flush();
        std::memcpy(buffer_.get() + used_, frame, size);
        used_ += size;
    }
    // Writes out the flight and renames it into place; returns its file name (without folder),
    // empty when an earlier import has it already (nothing is written then). Throws when
    // that fails (see Abandon).
    std::string Close();
    // Flights not written because an earlier import has them.
    int32_t AlreadyImported() const { return alreadyImported_; }

private:
    void Flush();
    // Renames the temporary file to the name the namer chooses: 0, or an errno value. A free
    // name is taken only while it is free; taken meanwhile, the next one is chosen.
    int Place(std::string& name);
    // A flight that cannot be finished: the whole Frames written so far take the name the
    // flight would have had, unless an earlier file there already holds them all.
    void Abandon();

    FlightFileNamer& namer_;
    double start_ = 0.0;
    size_t capacity_;
    std::unique_ptr<uint8_t[]> buffer_;
    size_t used_ = 0;
    uint64_t committed_ = 0;  // bytes in the temporary file, always a run of whole Frames
    int32_t alreadyImported_ = 0;
    AtomicFile file_;
};

}  // namespace krelby
