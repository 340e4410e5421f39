#include "chart/tile_cache.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <map>
#include <vector>

namespace krelby {

namespace {

// A use is written as the tile's modification time, at most this often.
constexpr qint64 kTouchSeconds = 3600;
// Trimming goes below the bound by this share, so that it does not run at every tile.
constexpr double kTrimTo = 0.9;

QString MetaPath(const QString& tilePath) { return tilePath.chopped(4) + ".meta"; }

qint64 FileSize(const QString& path) {
    const QFileInfo info(path);
    return info.exists() ? info.size() : 0;
}

}  // namespace

TileCache::TileCache(QString root, qint64 limitBytes) : root_(std::move(root)), limit_(limitBytes) {}

void TileCache::SetLimit(qint64 bytes) {
    limit_ = bytes;
    if (Size() > limit_) Trim();
}

QString TileCache::PathOf(const QString& source, TileId tile) const {
    return QString("%1/%2/%3/%4/%5.png").arg(root_, source).arg(tile.z).arg(tile.x).arg(tile.y);
}

std::optional<TileCache::Entry> TileCache::Load(const QString& source, TileId tile) {
    const QString path = PathOf(source, tile);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    Entry entry;
    const QByteArray bytes = file.readAll();
    if (!entry.image.loadFromData(bytes) || entry.image.isNull()) {
        file.close();
        const qint64 gone = bytes.size() + FileSize(MetaPath(path));
        QFile::remove(path);
        QFile::remove(MetaPath(path));
        if (total_ >= 0) total_ = std::max<qint64>(0, total_ - gone);
        return std::nullopt;
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (file.fileTime(QFileDevice::FileModificationTime).secsTo(now) > kTouchSeconds)
        file.setFileTime(now, QFileDevice::FileModificationTime);
    QFile meta(MetaPath(path));
    if (meta.open(QIODevice::ReadOnly)) entry.meta = ParseMetaText(meta.read(4096));
    return entry;
}

bool TileCache::Write(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        problem_ = file.errorString();
        return false;
    }
    return true;
}

bool TileCache::Store(const QString& source, TileId tile, const QByteArray& bytes, const TileMeta& meta) {
    const QString path = PathOf(source, tile);
    if (!QDir().mkpath(QFileInfo(path).path())) {
        problem_ = "Cannot make the folder " + QFileInfo(path).path();
        return false;
    }
    const qint64 before = FileSize(path) + FileSize(MetaPath(path));
    const QByteArray text = MetaText(meta);
    // The freshness first: a tile never lies beside another tile's validators.
    const bool ok = Write(MetaPath(path), text) && Write(path, bytes);
    if (total_ >= 0) total_ += FileSize(path) + FileSize(MetaPath(path)) - before;
    if (ok) problem_.clear();
    if (Size() > limit_) Trim();
    return ok;
}

bool TileCache::Refresh(const QString& source, TileId tile, const TileMeta& meta) {
    const QString path = PathOf(source, tile);
    if (!QFileInfo::exists(path)) return false;
    const qint64 before = FileSize(MetaPath(path));
    const bool ok = Write(MetaPath(path), MetaText(meta));
    if (total_ >= 0) total_ += FileSize(MetaPath(path)) - before;
    return ok;
}

qint64 TileCache::Size() {
    if (total_ < 0) {
        total_ = 0;
        QDirIterator it(root_, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            total_ += it.fileInfo().size();
        }
    }
    return total_;
}

// Drops whole tiles (picture and freshness), those used longest ago first, and what a
// crash left (a freshness without its tile, a temporary never renamed).
void TileCache::Trim() {
    struct Kept {
        QDateTime used;
        std::vector<std::pair<QString, qint64>> files;
    };
    std::map<QString, Kept> tiles;  // by the path without its extension
    qint64 total = 0;
    QDirIterator it(root_, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString suffix = info.suffix();
        Kept& k = tiles[path.left(path.size() - suffix.size() - 1)];
        k.files.push_back({path, info.size()});
        if (suffix == "png" || !k.used.isValid()) k.used = info.lastModified();
        if (suffix != "png" && suffix != "meta") k.used = QDateTime::fromSecsSinceEpoch(0);  // a stray file
        total += info.size();
    }
    std::vector<const Kept*> order;
    for (const auto& [base, k] : tiles) order.push_back(&k);
    std::stable_sort(order.begin(), order.end(), [](const Kept* a, const Kept* b) { return a->used < b->used; });
    const qint64 target = qint64(double(limit_) * kTrimTo);
    for (const Kept* k : order) {
        if (total <= target) break;
        for (const auto& [file, bytes] : k->files)
            if (QFile::remove(file)) total -= bytes;
    }
    total_ = std::max<qint64>(0, total);
}

}  // namespace krelby
