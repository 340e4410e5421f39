#include "program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace krelby {

// The executable's own folder, however long its path: cutting the path short would pick
// a parent folder (even "/") and scatter flights and settings there.
std::string ProgramFolderOf(const QString& executablePath) {
    const qsizetype slash = executablePath.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? std::string() : executablePath.left(slash + 1).toStdString();
}

bool IsInstalledFolder(const std::string& folder) {
    return folder == std::string(KRELBY_INSTALL_BINDIR) + "/";
}

std::string ChooseProgramFolder() {
    const std::string folder = ProgramFolderOf(QCoreApplication::applicationFilePath());
    const QFileInfo info(QString::fromStdString(folder));
    // An installed copy keeps each user's flights in the user's own data folder, also when
    // root could write beside the executable.
    if (!folder.empty() && info.isDir() && info.isWritable() && !IsInstalledFolder(folder)) return folder;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return (data + QLatin1Char('/')).toStdString();
}

namespace {

// The first character of a date or time format that is neither a field letter nor quoted
// text; a plain ASCII one is taken, otherwise the fallback.
char SeparatorOf(const QString& format, char fallback) {
    for (QChar c : format) {
        if (c.isLetter() || c == QLatin1Char('\'')) continue;
        if (c.unicode() > 0x20 && c.unicode() < 0x7F) return static_cast<char>(c.unicode());
        return fallback;
    }
    return fallback;
}

}  // namespace

Regional RegionalOf(const QLocale& locale) {
    Regional r;
    r.dateSeparator = SeparatorOf(locale.dateFormat(QLocale::ShortFormat), r.dateSeparator);
    r.timeSeparator = SeparatorOf(locale.timeFormat(QLocale::ShortFormat), r.timeSeparator);
    const QString point = locale.decimalPoint();
    if (point.size() == 1 && point[0].unicode() > 0x20 && point[0].unicode() < 0x7F)
        r.decimalSeparator = static_cast<char>(point[0].unicode());
    return r;
}

}  // namespace krelby
