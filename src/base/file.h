// The one file layer of the core: files read without blocking on special files, and files
// written to a temporary name beside their target and renamed into place. Every call of the
// operating system's file functions lives behind this header (file_posix.cpp, file_win32.cpp).
// Paths are UTF-8 throughout; on Windows they become UTF-16 only at the system's calls.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace krelby {

// Error codes besides the system's errno values: a special file, and a system error that has
// no errno value (kSystemErrorBase + the system's own number).
inline constexpr int kNotRegularFile = -1;
inline constexpr int kSystemErrorBase = 1 << 20;

// The user's text for a failed file operation: "File not found", "File access denied",
// "Disk full", "Invalid filename" or "I/O error N (...)".
std::string FileErrorText(int err);
// "Is a directory: PATH", "Not a regular file: PATH", else FileErrorText(err) + ": " + path.
std::string FileErrorText(int err, const std::string& path);
// Throws krelby::Error with FileErrorText(err, path).
[[noreturn]] void ThrowFileError(int err, const std::string& path);
// The system's own description of an errno value ("Not a regular file" for kNotRegularFile).
std::string SystemErrorText(int err);

// Identifies a file whatever name, hard link or symbolic link leads to it.
struct FileId {
    uint64_t device = 0, inode = 0;
    bool operator==(const FileId&) const = default;
};
// The file `path` leads to (following links); false when there is none.
bool IdOf(const std::string& path, FileId& id);

// What tells a file from its earlier self without reading it: a rename, a rewrite or a
// change of size or time gives another stamp (ctime: POSIX st_ctim, Windows ChangeTime).
struct FileStamp {
    FileId id;
    uint64_t size = 0;
    int64_t mtime = 0, ctime = 0;  // nanoseconds on the system's own clock
    bool regular = false;          // a regular file, not a folder or special file
    bool operator==(const FileStamp&) const = default;
};
// The stamp of the file `path` leads to (following links); false when there is none.
bool StampOf(const std::string& path, FileStamp& stamp);

// A regular file open for reading. FIFOs, devices and sockets are refused without waiting
// for a writer, so a special file given as input cannot hang or flood the program. It reads
// no further than the size the file had when opened: a file that grows meanwhile is read as
// it was, and one whose size is 0 (as /proc files say) is empty, never an endless read.
class InputFile {
public:
    InputFile() = default;
    // Throws krelby::Error with FileErrorText(err, path).
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // 0 on success, else an errno value, EISDIR or kNotRegularFile; nothing stays open then.
    int Open(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }
    uint64_t Size() const { return size_; }
    FileId Id() const { return id_; }
    // Fills `buffer` with up to `capacity` bytes; fewer only at the end of the file.
    // Throws krelby::Error with FileErrorText.
    size_t Read(uint8_t* buffer, size_t capacity);
    // Reads at most `capacity` bytes; 0 or an errno value, `got` set to the bytes read.
    int ReadSome(uint8_t* buffer, size_t capacity, size_t& got);
    void Rewind();
    void Close();

private:
    std::string path_;
    std::intptr_t fd_ = -1;  // a descriptor, or a Windows handle
    uint64_t size_ = 0;
    uint64_t position_ = 0;
    FileId id_;
};

// A file written under a temporary name beside its target (beside the file a symbolic link
// there points to, so the link stays a link) and renamed over the target once complete: the
// target is always either its previous whole self or the new whole file. A temporary file
// is hidden (it starts with "."), never ends in a program file's extension, and is locked
// while in use, so that RemoveStaleTemporaryFiles never takes one that is being written.
class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile();  // removes a temporary file that was not committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // 0 on success, else an errno value (ENOENT: the folder is missing; EISDIR or
    // kNotRegularFile: the destination is a folder or special file, which is never replaced).
    // With a `suffix`, the temporary file is the destination's name and the suffix, and a
    // leftover of that name (a save cut short) is removed first.
    int Create(const std::string& target, const std::string& suffix = {});
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Target() const { return target_; }
    // The path the rename replaces: the target, or the file its symbolic link points to.
    const std::string& Destination() const { return destination_; }
    // The temporary file being written (empty when none is open).
    const std::string& TempPath() const { return temp_; }
    // Makes `target`, in the same folder, the file that Commit replaces; 0, or EISDIR or
    // kNotRegularFile for a folder or special file there.
    int Retarget(const std::string& target);
    // All of `data`, or an errno value.
    int Write(const void* data, size_t size);
    int Truncate(uint64_t size);
    // Renames over the destination, after flushing the data to the disk unless `toDisk` is
    // false (then a power cut may lose the new file, never mix it with the old one on the
    // usual file systems); 0 or an errno value. The temporary file is gone afterwards.
    int Commit(bool toDisk = true);
    // As Commit, but only while no file has the destination's name: a file that took the
    // name meanwhile is never replaced. EEXIST then leaves the temporary file open, ready
    // for another Retarget.
    int CommitNew(bool toDisk = true);
    // Closes and removes the temporary file; the destination is untouched.
    void Discard();

private:
    void Forget();  // the temporary file is gone: no signal needs to remove it any more
    int Flush(bool toDisk);
    int Finish(int err);  // after the rename (or its failure): closes and forgets


    std::string target_, destination_, temp_;
    std::intptr_t fd_ = -1;  // a descriptor, or a Windows handle
    int live_ = -1;          // its place among the temporaries removed on SIGINT and SIGTERM
};

// Whether `path` (following links) is a character device or a FIFO, as /dev/null, a pipe
// (/dev/fd/63 of a shell's >(...)) or the terminal: written as it is, not replaced.
bool IsSpecialOutput(const std::string& path);
inline constexpr int kNotSpecialFile = -3;

// Such a file opened for writing: nothing is created, emptied or renamed, and a file that
// is not one of them (a regular file put there meanwhile) is refused without a byte written.
class SpecialOutput {
public:
    SpecialOutput() = default;
    ~SpecialOutput() { Close(); }
    SpecialOutput(const SpecialOutput&) = delete;
    SpecialOutput& operator=(const SpecialOutput&) = delete;
    // 0, an errno value, or kNotSpecialFile. A FIFO waits here for its reader.
    int Open(const std::string& path);
    // All of `data`, or an errno value.
    int Write(const void* data, size_t size);
    // 0 or an errno value.
    int Close();

private:
    std::intptr_t fd_ = -1;  // a descriptor, or a Windows handle
};

// An exclusive lock on a lock file, across processes (flock on POSIX, LockFileEx on
// Windows): one holder at a time, released when dropped or when its process ends, however.
// The holder removes the lock file as it lets go; a lock won on a file that is no longer
// the one at the path is let go and tried again, so the removal opens no gap.
class FileLock {
public:
    FileLock() = default;
    ~FileLock() { Unlock(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Creates the lock file when missing. 0: held now; kLockBusy: another holder has it;
    // else the errno value why the lock file cannot be opened.
    int TryLock(const std::string& path);
    bool Held() const { return fd_ >= 0; }
    void Unlock();

private:
    std::string path_;
    std::intptr_t fd_ = -1;  // a descriptor, or a Windows handle
};
inline constexpr int kLockBusy = -2;

// From now on SIGINT and SIGTERM remove the temporary files being written, then end the
// program as the signal would have, so an interrupted export or import leaves nothing behind.
// Signals that come while they are removed wait until that is done.
void RemoveTemporariesOnSignals();

// The core's paths are UTF-8 text; std::filesystem takes narrow text in the system's code
// page on Windows, so every path crosses over through these two.
std::filesystem::path PathOf(const std::string& utf8);
std::string TextOf(const std::filesystem::path& path);  // UTF-8, '/' between the parts

// Removes the temporary files that an AtomicFile left in `folder` when its process died:
// unlocked files ".NAME.krelby-PID-XXXXXXXXXX" whose NAME (the target's name) `ours` accepts.
// Others that look alike are the user's and stay.
void RemoveStaleTemporaryFiles(const std::string& folder, const std::function<bool(std::string_view name)>& ours);
// Removes what an AtomicFile for `target` left when its process died.
void RemoveStaleTemporariesOf(const std::string& target);
// Flushes a folder's entries (the names renamed into it) to the disk; failures are passed over.
void SyncFolder(const std::string& folder);
// Whether `path` names an existing file (not following a final symbolic link).
bool Exists(const std::string& path);
// Whether `path` (following links) is a file without any write permission.
bool IsMarkedReadOnly(const std::string& path);
// Removes `path`; a failure is passed over.
void RemoveFile(const std::string& path);
// `path` with a final symbolic link followed, as far as links lead; `path` itself otherwise.
std::string FollowLinks(const std::string& path);

// Throws when `output` leads to the file being exported (by its name, a hard link or a
// symbolic link), since replacing it would destroy the flight. `input` is the path and `id`
// the open file when there is one; both are tested, in case the name was given to another
// file meanwhile. Every export calls this before it creates anything.
void RefuseInputAsOutput(const std::string& output, const std::string& input, const FileId* id = nullptr);

namespace testing {
// Called after each AtomicFile rename into place (a seam for tests that kill the process).
extern void (*afterCommit)(const std::string& target);
// When not 0, the error that flushing an AtomicFile to the disk reports (a seam for tests).
extern int forcedFlushError;
// Called first thing when SIGINT or SIGTERM begins removing the temporary files (a seam for
// tests that send a second signal then).
extern void (*inSignalCleanup)();
}  // namespace testing

}  // namespace krelby
