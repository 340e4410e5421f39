#include "import/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "format/error.h"
#include "format/frame.h"

namespace krelby {

std::string FileErrorText(int err) {
    switch (err) {
        case ENOENT: case ENOTDIR: return "File not found";
        case EACCES: case EPERM: case EROFS: case EISDIR: case ETXTBSY: return "File access denied";
        case ENOSPC: case EDQUOT: case EFBIG: return "Disk full";
        case ENAMETOOLONG: case EINVAL: case EILSEQ: return "Invalid filename";
        default: return "I/O error " + std::to_string(err) + " (" + std::strerror(err) + ")";
    }
}

void ThrowFileError(int err, const std::string& path) {
    throw Error(FileErrorText(err) + ": " + path);
}

RecordingFile::RecordingFile(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) ThrowFileError(errno, path);
    struct stat st{};
    if (::fstat(fd_, &st) != 0) {
        const int err = errno;
        ::close(fd_);
        ThrowFileError(err, path);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd_);
        ThrowFileError(S_ISDIR(st.st_mode) ? EISDIR : EACCES, path);
    }
    size_ = static_cast<uint64_t>(st.st_size);
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

RecordingFile::~RecordingFile() {
    if (fd_ >= 0) ::close(fd_);
}

size_t RecordingFile::Read(uint8_t* buffer, size_t capacity) {
    size_t got = 0;
    while (got < capacity) {
        const ssize_t n = ::read(fd_, buffer + got, capacity - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            ThrowFileError(errno, path_);
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return got;
}

void RecordingFile::Rewind() {
    if (::lseek(fd_, 0, SEEK_SET) != 0) ThrowFileError(errno, path_);
}

FlightFileWriter::FlightFileWriter(uint64_t recordingSize)
    : capacity_(static_cast<size_t>(std::min<uint64_t>(recordingSize + kMaxFrameCapacity, kMaxBuffer))),
      buffer_(new uint8_t[capacity_]) {}

FlightFileWriter::~FlightFileWriter() { CloseQuietly(); }

void FlightFileWriter::Create(const std::string& path) {
    CloseQuietly();
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        const int err = errno;
        if (err == ENOENT) {  // the folder is missing, not the file
            const std::string folder = path.substr(0, path.find_last_of('/'));
            throw Error("Path not found: " + folder);
        }
        ThrowFileError(err, path);
    }
    path_ = path;
    used_ = 0;
    committed_ = 0;
}

void FlightFileWriter::Flush() {
    size_t done = 0;
    while (done < used_) {
        const ssize_t n = ::write(fd_, buffer_.get() + done, used_ - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            // Cut back to the Frames already on disk, so the file stays a run of whole Frames.
            if (::ftruncate(fd_, static_cast<off_t>(committed_)) != 0) { /* nothing more to do */ }
            used_ = 0;
            ThrowFileError(err, path_);
        }
        done += static_cast<size_t>(n);
    }
    committed_ += used_;
    used_ = 0;
}

void FlightFileWriter::Close() {
    if (fd_ < 0) return;
    try {
        Flush();
    } catch (...) {
        CloseQuietly();
        throw;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) ThrowFileError(errno, path_);
}

void FlightFileWriter::CloseQuietly() {
    if (fd_ < 0) return;
    try {
        Flush();
    } catch (...) {
    }
    ::close(fd_);
    fd_ = -1;
}

}  // namespace krelby
