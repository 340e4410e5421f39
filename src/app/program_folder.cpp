#include "program_folder.h"

#include <filesystem>

#include "base/file.h"
#include "base/program_folder.h"
#include "base/system.h"

namespace krelby {

std::string ChooseProgramFolder() {
    std::string folder = DefaultProgramFolder();
    if (!folder.empty()) return folder;
    folder = UserDataFolder();
    std::error_code ec;
    std::filesystem::create_directories(PathOf(folder), ec);
    return folder;
}

}  // namespace krelby
