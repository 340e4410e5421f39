// Where the window keeps its folders and settings.
#pragma once
#include <string>

namespace krelby {

// The program folder as krelby-cli chooses it (DefaultProgramFolder); where the executable's
// folder cannot be found, the user's data folder all the same, since a window asks no folder.
std::string ChooseProgramFolder();

}  // namespace krelby
