// What the file layer's two system parts (POSIX, Win32) share.
#pragma once
#include <string>

namespace krelby::detail {

// The folder of a path ("." for a bare name) and its last component.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);
// ".NAME.krelby-XXXXXX": the only names RemoveStaleTemporaryFiles takes.
bool IsTempName(const std::string& name);
// The temporary name's part before its random ending, for a destination.
std::string TempPrefix(const std::string& destination);
std::string RandomSuffix();

}  // namespace krelby::detail
