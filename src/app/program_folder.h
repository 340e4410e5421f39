// Where the program keeps its folders and settings.
#pragma once
#include <QString>
#include <string>


namespace krelby {

// The folder of the executable: its whole path up to just after the last '/'.
std::string ProgramFolderOf(const QString& executablePath);
// Whether `folder` (ending in '/') is where an installation puts the programs.
bool IsInstalledFolder(const std::string& folder);
// ProgramFolderOf the running executable; for an installed copy, or where that folder
// cannot be written, the per-user application data folder, created if needed.
std::string ChooseProgramFolder();

}  // namespace krelby
