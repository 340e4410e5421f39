// What the command-line program asks of the system besides files: where it lies, where the
// user's data goes, and the regional separators. Portable, like the file layer.
#pragma once
#include <string>

#include "base/regional.h"

namespace krelby {

// The folder of the running executable, ending in '/'.
std::string ExecutableFolder();
// The per-user data folder of an installed copy, ending in '/': $XDG_DATA_HOME/Krelby/ (by
// default ~/.local/share/Krelby/), on Windows %APPDATA%/Krelby/.
std::string UserDataFolder();
// Date, time and decimal separators of the user's locale.
Regional SystemRegional();
// Standard output and error as bytes: no CR added before each LF on Windows, so what the
// programs print is the same on every system.
void UseBinaryStandardStreams();

}  // namespace krelby
