#include "import/flight_file_writer.h"

#include <algorithm>
#include <cerrno>

#include "base/error.h"
#include "format/frame.h"

namespace krelby {

FlightFileWriter::FlightFileWriter(FlightFileNamer& namer, uint64_t recordingSize)
    : namer_(namer),
      capacity_(static_cast<size_t>(std::min<uint64_t>(recordingSize + kMaxFrameCapacity, kMaxBuffer))),
      buffer_(new uint8_t[capacity_]) {}

FlightFileWriter::~FlightFileWriter() { Abandon(); }

void FlightFileWriter::Create(double start) {
    Abandon();
    start_ = start;
    const std::string path = namer_.Folder() + namer_.FirstName(start);
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

int FlightFileWriter::Place(std::string& name) {
    for (;;) {
        const FlightFileNamer::Choice choice = namer_.Choose(start_, file_.TempPath());
        name = choice.name;
        if (name.empty()) {
            file_.Discard();
            ++alreadyImported_;
            return 0;
        }
        if (const int err = file_.Retarget(namer_.Folder() + name)) {
            file_.Discard();
            return err;
        }
        const int err = choice.replace ? file_.Commit() : file_.CommitNew();
        if (err == EEXIST && !choice.replace) {
            namer_.Taken(name);
            continue;
        }
        if (err == 0) namer_.Placed(name);
        return err;
    }
}

std::string FlightFileWriter::Close() {
    if (!file_.IsOpen()) return {};
    Flush();
    std::string name;
    if (const int err = Place(name)) ThrowFileError(err, namer_.Folder() + name);
    return name;
}

void FlightFileWriter::Abandon() {
    if (!file_.IsOpen()) return;
    // Cut back to the Frames known to be on disk, so the file stays a run of whole Frames.
    if (used_ > 0 && file_.Write(buffer_.get(), used_) == 0) committed_ += used_;
    used_ = 0;
    if (file_.Truncate(committed_) != 0) {
        file_.Discard();
        return;
    }
    std::string name;
    (void)Place(name);
}

}  // namespace krelby
