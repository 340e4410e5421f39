// What the file layer's two system parts (POSIX, Win32) share.
#pragma once
#include <string>
#include <string_view>

namespace krelby::detail {

// The folder of a path ("." for a bare name) and its last component.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);
// Of ".NAME.krelby-PID-XXXXXXXXXX", the only names RemoveStaleTemporaryFiles takes, the NAME;
// false for any other name.
bool TempTargetName(std::string_view name, std::string_view& target);
// The target's name as its temporary files hold it.
std::string TempStem(const std::string& destination);
// The temporary name's part before its random ending, for a destination.
std::string TempPrefix(const std::string& destination);
// "PID-XXXXXXXXXX": this process's id and ten random letters and digits.
std::string RandomSuffix();
// This process's id.
unsigned long ProcessId();

// The temporary files being written, for the signal handler: a fixed table of paths, since
// a handler may neither allocate nor lock. -1 when the table is full or the path too long.
int RegisterLiveTemporary(const std::string& path);
void UnregisterLiveTemporary(int slot);
// Removes every registered temporary file; safe inside a signal handler.
void RemoveLiveTemporaries();
// The system's removal of a file by its NUL-terminated path, safe inside a signal handler.
void RemovePathNow(const char* path);

}  // namespace krelby::detail
