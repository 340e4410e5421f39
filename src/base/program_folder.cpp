#include "base/program_folder.h"

#include "base/file.h"
#include "base/system.h"

namespace krelby {

std::string FolderOfExecutable(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string DefaultProgramFolder() {
    const std::string folder = ExecutableFolder();
    if (folder.empty()) return folder;
    // An installed copy keeps each user's flights in the user's own data folder, also when
    // root could write beside the executable: nothing is written where programs live.
    if (!IsProgramsFolder(folder) && IsWritableFolder(folder)) return folder;
    const std::string data = UserDataFolder();
    std::error_code ec;
    std::filesystem::create_directories(PathOf(data), ec);  // a failure shows when it is used
    return data;
}

}  // namespace krelby
