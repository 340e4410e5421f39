// Where the program keeps its folders and settings, and the system's regional separators.
#pragma once
#include <QLocale>
#include <QString>
#include <string>

#include "format/regional.h"

namespace krelby {

// The folder of the executable: its whole path up to just after the last '/'.
std::string ProgramFolderOf(const QString& executablePath);
// ProgramFolderOf the running executable; where that folder cannot be written (an
// installed copy), the per-user application data folder, created if needed.
std::string ChooseProgramFolder();

// Date and time separators from the locale's short formats, and its decimal point.
Regional RegionalOf(const QLocale& locale);

}  // namespace krelby
