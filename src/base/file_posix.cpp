// The file layer on POSIX systems.
#ifndef _WIN32
#include <cerrno>
#include <climits>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/file.h"
#include "base/file_internal.h"

namespace krelby {
namespace {

int OpenNonBlocking(const std::string& path, int flags) {
    int fd;
    do fd = ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    return fd;
}

int Fd(std::intptr_t fd) { return static_cast<int>(fd); }

}  // namespace

bool IdOf(const std::string& path, FileId& id) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) return false;
    id = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    return true;
}

bool StampOf(const std::string& path, FileStamp& stamp) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) return false;
    stamp.id = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    stamp.size = static_cast<uint64_t>(st.st_size);
    stamp.mtime = int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
    stamp.ctime = int64_t{st.st_ctim.tv_sec} * 1000000000 + st.st_ctim.tv_nsec;
    stamp.regular = S_ISREG(st.st_mode);
    return true;
}

int InputFile::Open(const std::string& path) {
    Close();
    // Without O_NONBLOCK the open of a FIFO waits for a writer, possibly for ever.
    const int fd = OpenNonBlocking(path, O_RDONLY);
    if (fd < 0) return errno == ENXIO ? kNotRegularFile : errno;  // ENXIO: a socket
    struct stat st{};
    int err = 0;
    if (::fstat(fd, &st) != 0) err = errno;
    else if (S_ISDIR(st.st_mode)) err = EISDIR;
    else if (!S_ISREG(st.st_mode)) err = kNotRegularFile;
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) err = errno;
    if (err) {
        ::close(fd);
        return err;
    }
    fd_ = fd;
    path_ = path;
    size_ = static_cast<uint64_t>(st.st_size);
    position_ = 0;
    id_ = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return 0;
}

int InputFile::ReadSome(uint8_t* buffer, size_t capacity, size_t& got) {
    got = 0;
    if (capacity > size_ - position_) capacity = static_cast<size_t>(size_ - position_);
    while (got < capacity) {
        const ssize_t n = ::read(Fd(fd_), buffer + got, capacity - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    position_ += got;
    return 0;
}

void InputFile::Rewind() {
    if (::lseek(Fd(fd_), 0, SEEK_SET) != 0) ThrowFileError(errno, path_);
    position_ = 0;
}

void InputFile::Close() {
    if (fd_ >= 0) ::close(Fd(fd_));
    fd_ = -1;
}

int AtomicFile::Create(const std::string& target, const std::string& suffix) {
    Discard();
    target_ = target;
    destination_ = FollowLinks(target);
    // A file that is replaced keeps its permissions; a new one gets the usual ones.
    mode_t mode = 0666;
    struct stat old{};
    if (::stat(destination_.c_str(), &old) == 0) {
        // A rename would put a plain file where a device, FIFO or folder was.
        if (!S_ISREG(old.st_mode)) return S_ISDIR(old.st_mode) ? EISDIR : kNotRegularFile;
        mode = old.st_mode & 07777;
    }
    if (!suffix.empty()) {
        temp_ = destination_ + suffix;
        ::unlink(temp_.c_str());  // a leftover of a save that was cut short
    }
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        if (suffix.empty()) temp_ = detail::TempPrefix(destination_) + detail::RandomSuffix();
        // Known to the signal handler before it exists, so no signal can leave it behind.
        live_ = detail::RegisterLiveTemporary(temp_);
        fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        const int err = errno;
        if (fd < 0) Forget();
        if (fd < 0 && (err != EEXIST || !suffix.empty())) return err;
    }
    if (fd < 0) return EEXIST;
    if (mode != 0666) (void)::fchmod(fd, mode);
    (void)::flock(fd, LOCK_EX | LOCK_NB);  // RemoveStaleTemporaryFiles leaves a locked file alone
    fd_ = fd;
    return 0;
}

int AtomicFile::Retarget(const std::string& target) {
    const std::string destination = FollowLinks(target);
    struct stat st{};
    if (::stat(destination.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return S_ISDIR(st.st_mode) ? EISDIR : kNotRegularFile;
    target_ = target;
    destination_ = destination;
    return 0;
}

int AtomicFile::Write(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = ::write(Fd(fd_), p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return 0;
}

int AtomicFile::Truncate(uint64_t size) {
    return ::ftruncate(Fd(fd_), static_cast<off_t>(size)) == 0 ? 0 : errno;
}

int AtomicFile::Flush(bool toDisk) {
    // On the disk before the rename, so that a power cut leaves the old file or the new one.
    if (toDisk && testing::forcedFlushError) return testing::forcedFlushError;
    if (toDisk && ::fdatasync(Fd(fd_)) != 0 && errno != EINVAL) return errno;
    return 0;
}

int AtomicFile::Finish(int err) {
    const int fd = Fd(fd_);
    fd_ = -1;
    if (::close(fd) != 0 && !err) err = errno;
    if (err) ::unlink(temp_.c_str());
    Forget();
    if (err) return err;
    if (testing::afterCommit) testing::afterCommit(target_);
    return 0;
}

int AtomicFile::Commit(bool toDisk) {
    if (fd_ < 0) return EBADF;
    int err = Flush(toDisk);
    if (!err && ::rename(temp_.c_str(), destination_.c_str()) != 0) err = errno;
    return Finish(err);
}

namespace {

// Renames `from` to `to` unless `to` exists: 0, EEXIST, or another errno value.
int RenameWithoutReplacing(const char* from, const char* to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
#endif
    // A file system without that rename: a new hard link fails where the name is taken.
    if (::link(from, to) == 0) {
        ::unlink(from);
        return 0;
    }
    if (errno == EEXIST) return EEXIST;
    if (errno != EPERM && errno != ENOTSUP && errno != EXDEV && errno != EMLINK) return errno;
    // Nor hard links (FAT): the test and the rename are apart, the best left.
    struct stat st{};
    if (::lstat(to, &st) == 0) return EEXIST;
    return ::rename(from, to) == 0 ? 0 : errno;
}

}  // namespace

int AtomicFile::CommitNew(bool toDisk) {
    if (fd_ < 0) return EBADF;
    int err = Flush(toDisk);
    if (!err) err = RenameWithoutReplacing(temp_.c_str(), destination_.c_str());
    if (err == EEXIST) return err;  // still open, for another name
    return Finish(err);
}

void AtomicFile::Discard() {
    if (fd_ < 0) return;
    ::close(Fd(fd_));
    fd_ = -1;
    ::unlink(temp_.c_str());
    Forget();
}

namespace {

// The three signals are blocked while this runs (the action's mask): a second one, as
// `timeout` sends, waits until every temporary file is gone.
void RemoveTemporariesAndEnd(int sig) {
    if (testing::inSignalCleanup) testing::inSignalCleanup();
    detail::RemoveLiveTemporaries();
    // Then the program ends with the signal's own status: its default action, and the signal
    // raised again and let through.
    struct sigaction action{};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(sig, &action, nullptr);
    ::raise(sig);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

}  // namespace

void detail::RemovePathNow(const char* path) { ::unlink(path); }

unsigned long detail::ProcessId() { return static_cast<unsigned long>(::getpid()); }

void RemoveTemporariesOnSignals() {
    struct sigaction action{};
    action.sa_handler = RemoveTemporariesAndEnd;
    action.sa_flags = 0;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, sig);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old{};
        // A signal ignored by whoever started the program (nohup) stays ignored.
        if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        ::sigaction(sig, &action, nullptr);
    }
}

int FileLock::TryLock(const std::string& path) {
    Unlock();
    for (;;) {
        int fd;
        do fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
        while (fd < 0 && errno == EINTR);
        if (fd < 0) return errno;
        struct stat held{}, named{};
        if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            ::close(fd);
            return kNotRegularFile;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int err = errno;
            ::close(fd);
            return err == EWOULDBLOCK ? kLockBusy : err;
        }
        // The last holder may have removed this file after it was opened here.
        if (::stat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino) {
            fd_ = fd;
            path_ = path;
            return 0;
        }
        ::close(fd);
    }
}

void FileLock::Unlock() {
    if (fd_ < 0) return;
    ::unlink(path_.c_str());  // while still held: whoever opens it now finds it gone
    ::close(Fd(fd_));
    fd_ = -1;
}

void RemoveStaleTemporaryFiles(const std::string& folder, const std::function<bool(std::string_view)>& ours) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + '/';
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        std::string_view target;
        if (!detail::TempTargetName(name, target) || !ours(target)) continue;
        const std::string path = prefix + name;
        const int fd = OpenNonBlocking(path, O_RDONLY | O_NOFOLLOW);
        if (fd < 0) continue;
        struct stat st{};
        // A temporary file still locked belongs to a writer that is alive.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(dir);
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

namespace {
bool IsSpecialMode(mode_t mode) { return S_ISCHR(mode) || S_ISFIFO(mode); }
}  // namespace

bool IsSpecialOutput(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && IsSpecialMode(st.st_mode);
}

int SpecialOutput::Open(const std::string& path) {
    Close();
    int fd;
    do fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);  // neither O_CREAT nor O_TRUNC
    while (fd < 0 && errno == EINTR);
    if (fd < 0) return errno;
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !IsSpecialMode(st.st_mode)) {
        ::close(fd);
        return kNotSpecialFile;
    }
    fd_ = fd;
    return 0;
}

int SpecialOutput::Write(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = ::write(Fd(fd_), p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return 0;
}

int SpecialOutput::Close() {
    if (fd_ < 0) return 0;
    const int err = ::close(Fd(fd_)) == 0 ? 0 : errno;
    fd_ = -1;
    return err;
}

bool Exists(const std::string& path) {
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0;
}

bool IsMarkedReadOnly(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0;
}

void RemoveFile(const std::string& path) { (void)::unlink(path.c_str()); }

std::string FollowLinks(const std::string& path) {
    std::string at = path;
    for (int depth = 0; depth < 40; ++depth) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(at.c_str(), target, sizeof target - 1);
        if (n <= 0) return at;
        std::string next(target, static_cast<size_t>(n));
        if (next[0] != '/') {
            const size_t slash = at.find_last_of('/');
            next = (slash == std::string::npos ? std::string() : at.substr(0, slash + 1)) + next;
        }
        at = next;
    }
    return at;
}

}  // namespace krelby
#endif
