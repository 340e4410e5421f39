// The file layer on Windows: UTF-8 paths become UTF-16 at the system's calls; a file is
// replaced by MoveFileExW, and a temporary file in use is protected by its open handle.
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <csignal>

#include "base/file.h"
#include "base/file_internal.h"

namespace krelby {
namespace {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string Narrow(const wchar_t* wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
    return out;
}

// The system's error as the errno value whose text the user sees on every system.
int ErrorCode(DWORD err) {
    switch (err) {
        case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: case ERROR_INVALID_DRIVE: return ENOENT;
        case ERROR_ACCESS_DENIED: case ERROR_SHARING_VIOLATION: case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT: return EACCES;
        case ERROR_DISK_FULL: case ERROR_HANDLE_DISK_FULL: return ENOSPC;
        case ERROR_INVALID_NAME: case ERROR_FILENAME_EXCED_RANGE: case ERROR_BAD_PATHNAME: return EINVAL;
        case ERROR_FILE_EXISTS: case ERROR_ALREADY_EXISTS: return EEXIST;
        case ERROR_DIRECTORY: return EISDIR;
        default: return kSystemErrorBase + static_cast<int>(err);
    }
}
int LastError() { return ErrorCode(GetLastError()); }

HANDLE Handle(std::intptr_t fd) { return reinterpret_cast<HANDLE>(fd); }
std::intptr_t Fd(HANDLE h) { return reinterpret_cast<std::intptr_t>(h); }

bool IdOfHandle(HANDLE h, FileId& id) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h, &info)) return false;
    id = {info.dwVolumeSerialNumber, (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
    return true;
}

}  // namespace

bool IdOf(const std::string& path, FileId& id) {
    const HANDLE h = CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool ok = IdOfHandle(h, id);
    CloseHandle(h);
    return ok;
}

bool StampOf(const std::string& path, FileStamp& stamp) {
    const HANDLE h = CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO basic{};
    const bool ok = GetFileInformationByHandle(h, &info) &&
                    GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic);
    const bool disk = GetFileType(h) == FILE_TYPE_DISK;
    CloseHandle(h);
    if (!ok) return false;
    stamp.id = {info.dwVolumeSerialNumber, (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
    stamp.size = (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    stamp.mtime = basic.LastWriteTime.QuadPart * 100;  // 100 ns steps
    stamp.ctime = basic.ChangeTime.QuadPart * 100;
    stamp.regular = disk && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    return true;
}

int InputFile::Open(const std::string& path) {
    Close();
    const std::wstring wide = Wide(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return EISDIR;
    const HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    LARGE_INTEGER size{};
    int err = 0;
    if (GetFileType(h) != FILE_TYPE_DISK) err = kNotRegularFile;  // a pipe or a device
    else if (!GetFileSizeEx(h, &size) || !IdOfHandle(h, id_)) err = LastError();
    if (err) {
        CloseHandle(h);
        return err;
    }
    fd_ = Fd(h);
    path_ = path;
    size_ = static_cast<uint64_t>(size.QuadPart);
    position_ = 0;
    return 0;
}

int InputFile::ReadSome(uint8_t* buffer, size_t capacity, size_t& got) {
    got = 0;
    if (capacity > size_ - position_) capacity = static_cast<size_t>(size_ - position_);
    while (got < capacity) {
        const DWORD want = static_cast<DWORD>(std::min<size_t>(capacity - got, 1u << 30));
        DWORD n = 0;
        if (!ReadFile(Handle(fd_), buffer + got, want, &n, nullptr)) return LastError();
        if (n == 0) break;
        got += n;
    }
    position_ += got;
    return 0;
}

void InputFile::Rewind() {
    LARGE_INTEGER zero{};
    if (!SetFilePointerEx(Handle(fd_), zero, nullptr, FILE_BEGIN)) ThrowFileError(LastError(), path_);
    position_ = 0;
}

void InputFile::Close() {
    if (fd_ >= 0) CloseHandle(Handle(fd_));
    fd_ = -1;
}

int AtomicFile::Create(const std::string& target, const std::string& suffix) {
    Discard();
    target_ = target;
    destination_ = target;
    const DWORD attributes = GetFileAttributesW(Wide(destination_).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return EISDIR;
    // Windows refuses to replace a read-only file; asking first leaves no temporary file.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return EACCES;
    if (!suffix.empty()) {
        temp_ = destination_ + suffix;
        DeleteFileW(Wide(temp_).c_str());  // a leftover of a save that was cut short
    }
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && h == INVALID_HANDLE_VALUE; ++attempt) {
        if (suffix.empty()) temp_ = detail::TempPrefix(destination_) + detail::RandomSuffix();
        // No FILE_SHARE_DELETE: while it is open, RemoveStaleTemporaryFiles cannot take it.
        h = CreateFileW(Wide(temp_).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const int err = LastError();
            if (err != EEXIST || !suffix.empty()) return err;
        }
    }
    if (h == INVALID_HANDLE_VALUE) return EEXIST;
    fd_ = Fd(h);
    live_ = detail::RegisterLiveTemporary(temp_);
    return 0;
}

int AtomicFile::Retarget(const std::string& target) {
    const DWORD attributes = GetFileAttributesW(Wide(target).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return EISDIR;
    target_ = target;
    destination_ = target;
    return 0;
}

int AtomicFile::Write(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const DWORD want = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
        DWORD n = 0;
        if (!WriteFile(Handle(fd_), p, want, &n, nullptr)) return LastError();
        p += n;
        size -= n;
    }
    return 0;
}

int AtomicFile::Truncate(uint64_t size) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(Handle(fd_), at, nullptr, FILE_BEGIN) || !SetEndOfFile(Handle(fd_))) return LastError();
    return 0;
}

int AtomicFile::Flush(bool toDisk) {
    if (toDisk && testing::forcedFlushError) return testing::forcedFlushError;
    if (toDisk && !FlushFileBuffers(Handle(fd_))) return LastError();
    return 0;
}

int AtomicFile::Finish(int err) {
    if (err) DeleteFileW(Wide(temp_).c_str());
    Forget();
    if (err) return err;
    if (testing::afterCommit) testing::afterCommit(target_);
    return 0;
}

int AtomicFile::Commit(bool toDisk) {
    if (fd_ < 0) return EBADF;
    int err = Flush(toDisk);
    CloseHandle(Handle(fd_));  // a file still open cannot be moved
    fd_ = -1;
    if (!err && !MoveFileExW(Wide(temp_).c_str(), Wide(destination_).c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        err = LastError();
    return Finish(err);
}

int AtomicFile::CommitNew(bool toDisk) {
    if (fd_ < 0) return EBADF;
    int err = Flush(toDisk);
    CloseHandle(Handle(fd_));
    fd_ = -1;
    // Without MOVEFILE_REPLACE_EXISTING the move fails where the name is taken.
    if (!err && !MoveFileExW(Wide(temp_).c_str(), Wide(destination_).c_str(), MOVEFILE_WRITE_THROUGH))
        err = LastError();
    if (err == EEXIST) {
        // Open again as it was made, so that it stays ours for another name.
        const HANDLE h = CreateFileW(Wide(temp_).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            LARGE_INTEGER zero{};
            SetFilePointerEx(h, zero, nullptr, FILE_END);
            fd_ = Fd(h);
            return EEXIST;
        }
        err = LastError();
    }
    return Finish(err);
}

void AtomicFile::Discard() {
    if (fd_ < 0) return;
    CloseHandle(Handle(fd_));
    fd_ = -1;
    DeleteFileW(Wide(temp_).c_str());
    Forget();
}

namespace {

wchar_t liveWide[4096];

void RemoveTemporariesAndEnd(int sig) {
    // A second Ctrl+C while the files are removed must not end the program half-way.
    signal(SIGINT, SIG_IGN);
    signal(SIGTERM, SIG_IGN);
    detail::RemoveLiveTemporaries();
    signal(sig, SIG_DFL);
    raise(sig);
}

}  // namespace

// Windows runs the SIGINT handler on a thread of its own, where this conversion is safe; a
// temporary file still open there is not removed, as Windows refuses to delete it.
void detail::RemovePathNow(const char* path) {
    if (MultiByteToWideChar(CP_UTF8, 0, path, -1, liveWide, 4096) > 0) DeleteFileW(liveWide);
}

unsigned long detail::ProcessId() { return static_cast<unsigned long>(GetCurrentProcessId()); }

void RemoveTemporariesOnSignals() {
    signal(SIGINT, RemoveTemporariesAndEnd);
    signal(SIGTERM, RemoveTemporariesAndEnd);
}

int FileLock::TryLock(const std::string& path) {
    Unlock();
    for (;;) {
        const HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            // A lock file being removed by its last holder refuses to open until it is gone.
            const DWORD why = GetLastError();
            return why == ERROR_ACCESS_DENIED && GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES
                       ? kLockBusy : ErrorCode(why);
        }
        OVERLAPPED at{};
        if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
            const DWORD why = GetLastError();
            CloseHandle(h);
            return why == ERROR_LOCK_VIOLATION || why == ERROR_IO_PENDING ? kLockBusy : ErrorCode(why);
        }
        FileId held, named;
        if (IdOfHandle(h, held) && IdOf(path, named) && held == named) {
            fd_ = Fd(h);
            path_ = path;
            return 0;
        }
        CloseHandle(h);
    }
}

void FileLock::Unlock() {
    if (fd_ < 0) return;
    DeleteFileW(Wide(path_).c_str());  // while still held; gone once the handle closes
    CloseHandle(Handle(fd_));
    fd_ = -1;
}

void RemoveStaleTemporaryFiles(const std::string& folder, const std::function<bool(std::string_view)>& ours) {
    const std::string prefix = folder.empty() || folder.back() == '/' || folder.back() == '\\' ? folder : folder + '/';
    WIN32_FIND_DATAW found{};
    const HANDLE find = FindFirstFileW(Wide(prefix + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = Narrow(found.cFileName);
        std::string_view target;
        // One that a live writer holds open cannot be deleted, and stays.
        if (detail::TempTargetName(name, target) && ours(target) &&
            !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileW(Wide(prefix + name).c_str());
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

// Renames are written through (MOVEFILE_WRITE_THROUGH); the folder has nothing more to flush.
void SyncFolder(const std::string&) {}

namespace {
// A device (NUL, CON) or a pipe: what a handle is when it is no file on a disk.
bool IsSpecialHandle(HANDLE h) {
    const DWORD type = GetFileType(h);
    return type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE;
}
HANDLE OpenExisting(const std::string& path, DWORD access) {
    return CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                       nullptr);
}
}  // namespace

bool IsSpecialOutput(const std::string& path) {
    const HANDLE h = OpenExisting(path, 0);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool special = IsSpecialHandle(h);
    CloseHandle(h);
    return special;
}

int SpecialOutput::Open(const std::string& path) {
    Close();
    const HANDLE h = OpenExisting(path, GENERIC_WRITE);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    if (!IsSpecialHandle(h)) {
        CloseHandle(h);
        return kNotSpecialFile;
    }
    fd_ = Fd(h);
    return 0;
}

int SpecialOutput::Write(const void* data, size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
        if (!WriteFile(Handle(fd_), p, chunk, &written, nullptr)) return LastError();
        p += written;
        size -= written;
    }
    return 0;
}

int SpecialOutput::Close() {
    if (fd_ < 0) return 0;
    const int err = CloseHandle(Handle(fd_)) ? 0 : LastError();
    fd_ = -1;
    return err;
}

bool Exists(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsMarkedReadOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

void RemoveFile(const std::string& path) { DeleteFileW(Wide(path).c_str()); }

// Links are rare on Windows and replaced as files; the path stands for itself.
std::string FollowLinks(const std::string& path) { return path; }

}  // namespace krelby
#endif
