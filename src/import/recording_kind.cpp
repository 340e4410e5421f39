#include "import/recording_kind.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "format/bytes.h"

namespace krelby {
namespace {

constexpr size_t kBlock = 512;
constexpr size_t kHeader = 4;
constexpr size_t kChunk = 256 * kBlock;  // whole blocks per read, so none is split but the last

struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

// Fills up to `capacity` bytes; fewer only at the end of the file. -1 on a read error.
ssize_t ReadFull(int fd, uint8_t* buffer, size_t capacity) {
    size_t got = 0;
    while (got < capacity) {
        const ssize_t n = ::read(fd, buffer + got, capacity - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(got);
}

}  // namespace

std::optional<RecordingKind> RecordingKindOfHeaders(const std::string& path) {
    // Opened without blocking, so a FIFO or a device given as a recording cannot hang us.
    const Fd file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0) return std::nullopt;
    struct stat st{};
    if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    const std::unique_ptr<uint8_t[]> buffer(new uint8_t[kChunk]);
    for (uint64_t offset = 0;;) {
        const ssize_t n = ReadFull(file.fd, buffer.get(), kChunk);
        if (n < 0) return std::nullopt;
        const size_t got = static_cast<size_t>(n);
        for (size_t at = 0; at < got; at += kBlock, offset += kBlock) {
            if (got - at <= kHeader) return RecordingKind::Internal;
            if (u32le(buffer.get() + at, 0) == 0)
                return offset > 0 ? RecordingKind::SdCard : RecordingKind::Internal;
        }
        if (got < kChunk) return RecordingKind::Internal;
    }
}

}  // namespace krelby
