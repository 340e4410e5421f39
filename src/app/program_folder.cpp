#include "program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "file_names.h"

namespace krelby {

// The executable's own folder, however long its path: cutting the path short would pick
// a parent folder (even "/") and scatter flights and settings there.
std::string ProgramFolderOf(const QString& executablePath) {
    const qsizetype slash = executablePath.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? std::string() : PathBytes(executablePath.left(slash + 1));
}

bool IsInstalledFolder(const std::string& folder) {
    return folder == std::string(KRELBY_INSTALL_BINDIR) + "/";
}

std::string ChooseProgramFolder() {
    const std::string folder = ProgramFolderOf(QCoreApplication::applicationFilePath());
    const QFileInfo info(ShownPath(folder));
    // An installed copy keeps each user's flights in the user's own data folder, also when
    // root could write beside the executable.
    if (!folder.empty() && info.isDir() && info.isWritable() && !IsInstalledFolder(folder)) return folder;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return PathBytes(data + QLatin1Char('/'));
}

}  // namespace krelby
