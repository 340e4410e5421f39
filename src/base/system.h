// What the command-line program asks of the system besides files: where it lies, where the
// user's data goes, and the regional separators. Portable, like the file layer.
#pragma once
#include <string>

#include "base/regional.h"

namespace krelby {

// The folder of the running executable, ending in '/'.
std::string ExecutableFolder();
// Whether `folder` is where the system keeps programs, which no copy of Krelby writes into
// even when it may: on POSIX /usr, /bin, /sbin, /lib, /opt, /snap and what lies in them, and
// any folder of PATH owned by root; on Windows the Program Files folders and the system's.
bool IsProgramsFolder(const std::string& folder);
// Whether `folder` is a folder this process may create files in.
bool IsWritableFolder(const std::string& folder);
// The per-user data folder of an installed copy, ending in '/': $XDG_DATA_HOME/Krelby/ (by
// default ~/.local/share/Krelby/), on Windows %APPDATA%/Krelby/.
std::string UserDataFolder();
// Date, time and decimal separators of the user's locale.
Regional SystemRegional();
// Standard output and error as bytes: no CR added before each LF on Windows, so what the
// programs print is the same on every system.
void UseBinaryStandardStreams();
// A closed standard input, output or error is opened on the null device the wrong way round,
// so that no file the program opens takes its number (output meant for the stream would
// land in that file) while a write to it still fails as it would have.
void GuardStandardStreams();
// Whether standard error is a terminal, where a progress line may be drawn and cleared.
bool StandardErrorIsTerminal();

}  // namespace krelby
