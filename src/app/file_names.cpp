#include "file_names.h"

#include <QFile>
#include <QFileInfo>
#include <filesystem>

#include "base/file.h"

namespace krelby {
namespace {

// Windows names are UTF-16 and the core's paths UTF-8: nothing is lost either way.
#ifdef Q_OS_WIN
std::string Encoded(const QString& path) { return path.toStdString(); }
#else
std::string Encoded(const QString& path) { return QFile::encodeName(path).toStdString(); }
#endif

}  // namespace

QString ShownPath(const std::string& path) {
#ifdef Q_OS_WIN
    return QString::fromStdString(path);
#else
    return QFile::decodeName(QByteArray::fromStdString(path));
#endif
}

QString ShownFileName(const std::string& path) { return QFileInfo(ShownPath(path)).fileName(); }

bool IsFileAt(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(PathOf(path), ec);
}

std::string PathBytes(const QString& path) {
    const std::string bytes = Encoded(path);
    if (!path.contains(QChar::ReplacementCharacter) || Exists(bytes)) return bytes;
    if (path.size() > 1 && path.endsWith(QLatin1Char('/'))) return PathBytes(path.chopped(1)) + '/';
    // The entry of the parent folder whose name reads as the name asked for; the parent may
    // be such a name itself.
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = path.mid(slash + 1);
    const std::string folder = slash < 0 ? std::string() : PathBytes(path.left(slash + 1));
    std::error_code ec;
    for (std::filesystem::directory_iterator it(PathOf(folder.empty() ? "." : folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string entry = TextOf(it->path().filename());
        if (ShownPath(entry) == name) return folder + entry;
    }
    return bytes;
}

}  // namespace krelby
