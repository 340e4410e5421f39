#include "import/file_io.h"

#include <algorithm>
#include <cerrno>

#include "base/error.h"
#include "format/frame.h"

namespace krelby {

FlightFileWriter::FlightFileWriter(uint64_t recordingSize)
    : capacity_(static_cast<size_t>(std::min<uint64_t>(recordingSize + kMaxFrameCapacity, kMaxBuffer))),
      buffer_(new uint8_t[capacity_]) {}

FlightFileWriter::~FlightFileWriter() { Abandon(); }

void FlightFileWriter::Create(const std::string& path) {
    Abandon();
    if (const int err = file_.Create(path)) {
        if (err == ENOENT) {  // the folder is missing, not the file
            const std::string folder = path.substr(0, path.find_last_of('/'));
            throw Error("Path not found: " + folder);
        }
        ThrowFileError(err, path);
    }
    used_ = 0;
    committed_ = 0;
}

void FlightFileWriter::Flush() {
    if (used_ == 0) return;
    if (const int err = file_.Write(buffer_.get(), used_)) {
        used_ = 0;
        const std::string path = file_.Target();
        Abandon();
        ThrowFileError(err, path);
    }
    committed_ += used_;
    used_ = 0;
}

void FlightFileWriter::Close() {
    if (!file_.IsOpen()) return;
    Flush();
    const std::string path = file_.Target();
    if (const int err = file_.Commit()) ThrowFileError(err, path);
}

void FlightFileWriter::Abandon() {
    if (!file_.IsOpen()) return;
    if (Exists(file_.Destination())) {
        file_.Discard();
        used_ = 0;
        return;
    }
    // Cut back to the Frames known to be on disk, so the file stays a run of whole Frames.
    if (used_ > 0 && file_.Write(buffer_.get(), used_) == 0) committed_ += used_;
    used_ = 0;
    if (file_.Truncate(committed_) != 0) {
        file_.Discard();
        return;
    }
    (void)file_.Commit();
}

}  // namespace krelby
