// Where the program keeps its folders and settings, and the system's regional separators.
#pragma once
#include <QLocale>
#include <QString>
#include <string>

#include "base/regional.h"

namespace krelby {

// The folder of the executable: its whole path up to just after the last '/'.
std::string ProgramFolderOf(const QString& executablePath);
// Whether `folder` (ending in '/') is where an installation puts the programs.
bool IsInstalledFolder(const std::string& folder);
// ProgramFolderOf the running executable; for an installed copy, or where that folder
// cannot be written, the per-user application data folder, created if needed.
std::string ChooseProgramFolder();

// Date and time separators from the locale's short formats, and its decimal point.
Regional RegionalOf(const QLocale& locale);

}  // namespace krelby
