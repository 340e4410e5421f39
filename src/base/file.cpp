#include "base/file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "base/error.h"
#include "base/file_internal.h"

namespace krelby {

namespace testing {
void (*afterCommit)(const std::string& target) = nullptr;
int forcedFlushError = 0;
void (*inSignalCleanup)() = nullptr;
}  // namespace testing

namespace detail {
namespace {

// ".NAME.krelby-PID-RANDOM": the process id and ten random letters or digits, a name no user
// gives a file (".out.csv.krelby-backup" is the user's, and stays).
constexpr const char kTempMark[] = ".krelby-";
constexpr size_t kTempMarkSize = sizeof kTempMark - 1;
constexpr size_t kTempRandom = 10;
constexpr size_t kTempPidDigits = 10;  // at most
constexpr size_t kTempStemLimit = 100;  // keeps a temporary name inside the system's limit

bool IsTempChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool TempTargetName(std::string_view name, std::string_view& target) {
    if (name.size() < kTempMarkSize + kTempRandom + 4 || name[0] != '.') return false;
    const size_t dash = name.size() - kTempRandom - 1;
    if (name[dash] != '-') return false;
    for (size_t i = dash + 1; i < name.size(); ++i)
        if (!IsTempChar(name[i])) return false;
    size_t digits = dash;
    while (digits > 0 && IsDigit(name[digits - 1])) --digits;
    if (digits == dash || dash - digits > kTempPidDigits || digits < kTempMarkSize + 2) return false;
    const size_t mark = digits - kTempMarkSize;
    if (name.compare(mark, kTempMarkSize, kTempMark) != 0) return false;
    target = name.substr(1, mark - 1);
    return true;
}

std::string TempStem(const std::string& destination) { return NameOf(destination).substr(0, kTempStemLimit); }

std::string TempPrefix(const std::string& destination) {
    return FolderOf(destination) + "/." + TempStem(destination) + kTempMark;
}

std::string RandomSuffix() {
    static std::atomic<uint64_t> counter{0};
    static const uint64_t seed = static_cast<uint64_t>(
        std::chrono::system_clock::now().time_since_epoch().count()) ^ (uint64_t(ProcessId()) << 40);
    uint64_t x = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                 (seed << 17) ^ (++counter * 0x9E3779B97F4A7C15ull);
    static constexpr char kChars[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string s = std::to_string(ProcessId()) + "-";
    for (size_t i = 0; i < kTempRandom; ++i) {
        x ^= x >> 33;
        x *= 0xff51afd7ed558ccdull;
        x ^= x >> 29;
        s += kChars[x % (sizeof kChars - 1)];
    }
    return s;
}

namespace {

constexpr int kLiveSlots = 16;
constexpr size_t kLivePathLimit = 4096;
// 0 free, 1 being filled or emptied, 2 holding a path the handler may remove.
std::atomic<int> liveState[kLiveSlots];
char livePath[kLiveSlots][kLivePathLimit];

}  // namespace

int RegisterLiveTemporary(const std::string& path) {
    if (path.size() >= kLivePathLimit) return -1;
    for (int i = 0; i < kLiveSlots; ++i) {
        int free = 0;
        if (!liveState[i].compare_exchange_strong(free, 1)) continue;
        std::memcpy(livePath[i], path.c_str(), path.size() + 1);
        liveState[i].store(2);
        return i;
    }
    return -1;
}

void UnregisterLiveTemporary(int slot) {
    if (slot >= 0 && slot < kLiveSlots) liveState[slot].store(0);
}

void RemoveLiveTemporaries() {
    for (int i = 0; i < kLiveSlots; ++i)
        if (liveState[i].load() == 2) RemovePathNow(livePath[i]);
}

}  // namespace detail

std::string SystemErrorText(int err) {
    if (err == kNotRegularFile) return "Not a regular file";
    if (err >= kSystemErrorBase) return "system error " + std::to_string(err - kSystemErrorBase);
    return std::strerror(err);
}

std::string FileErrorText(int err) {
    switch (err) {
        case ENOENT: case ENOTDIR: return "File not found";
        case EACCES: case EPERM: case EROFS: case EISDIR:
#ifdef ETXTBSY
        case ETXTBSY:
#endif
            return "File access denied";
        case ENOSPC: case EFBIG:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return "Disk full";
        case ENAMETOOLONG: case EINVAL: case EILSEQ: return "Invalid filename";
        default:
            if (err >= kSystemErrorBase) return "I/O error " + std::to_string(err - kSystemErrorBase);
            return "I/O error " + std::to_string(err) + " (" + std::strerror(err) + ")";
    }
}

std::string FileErrorText(int err, const std::string& path) {
    if (err == EISDIR) return "Is a directory: " + path;
    if (err == kNotRegularFile) return "Not a regular file: " + path;
    return FileErrorText(err) + ": " + path;
}

void ThrowFileError(int err, const std::string& path) { throw Error(FileErrorText(err, path)); }

InputFile::InputFile(const std::string& path) {
    if (const int err = Open(path)) ThrowFileError(err, path);
}

InputFile::~InputFile() { Close(); }

InputFile::InputFile(InputFile&& other) noexcept { *this = std::move(other); }

InputFile& InputFile::operator=(InputFile&& other) noexcept {
    if (this != &other) {
        Close();
        path_ = std::move(other.path_);
        fd_ = other.fd_;
        size_ = other.size_;
        id_ = other.id_;
        other.fd_ = -1;
    }
    return *this;
}

size_t InputFile::Read(uint8_t* buffer, size_t capacity) {
    size_t got = 0;
    if (const int err = ReadSome(buffer, capacity, got)) ThrowFileError(err, path_);
    return got;
}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Forget() {
    detail::UnregisterLiveTemporary(live_);
    live_ = -1;
    temp_.clear();
}

void RemoveStaleTemporariesOf(const std::string& target) {
    const std::string destination = FollowLinks(target);
    const std::string stem = detail::TempStem(destination);
    RemoveStaleTemporaryFiles(detail::FolderOf(destination), [&](std::string_view name) { return name == stem; });
}

std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string TextOf(const std::filesystem::path& path) {
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

void RefuseInputAsOutput(const std::string& output, const std::string& input, const FileId* id) {
    FileId out, in;
    if (!IdOf(output, out)) return;
    if ((id && out == *id) || (IdOf(input, in) && out == in))
        throw Error(CannotCreateFile(output, "it is the flight file being exported"));
}

}  // namespace krelby
