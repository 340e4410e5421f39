// The map tiles kept on disk, so that a flight viewed once can be viewed again offline:
// ROOT/SOURCE/z/x/y.png with its HTTP freshness beside it in y.meta. Written to a temporary
// beside the file and renamed; bounded in size, the tiles used longest ago dropped first.
#pragma once
#include <QImage>
#include <QString>

#include <optional>

#include "chart/http_freshness.h"
#include "replay/web_mercator.h"

namespace krelby {

class TileCache {
public:
    TileCache(QString root, qint64 limitBytes);

    const QString& Root() const { return root_; }
    qint64 Limit() const { return limit_; }
    // A smaller bound drops tiles at once.
    void SetLimit(qint64 bytes);

    struct Entry {
        QImage image;
        TileMeta meta;
    };
    // The tile kept for `source`, stale or not. A file that holds no picture is removed, so
    // the tile is fetched again; one read counts as a use (the bound drops it last).
    std::optional<Entry> Load(const QString& source, TileId tile);
    // Keeps a fetched tile's bytes and freshness. False when the disk refused, with the
    // system's reason in Problem(); the tile is then only drawn from memory.
    bool Store(const QString& source, TileId tile, const QByteArray& bytes, const TileMeta& meta);
    // A tile the server confirmed unchanged: only its freshness is written anew.
    bool Refresh(const QString& source, TileId tile, const TileMeta& meta);
    const QString& Problem() const { return problem_; }

    // Bytes kept under the root, every source together (counted once, then followed).
    qint64 Size();
    QString PathOf(const QString& source, TileId tile) const;

private:
    bool Write(const QString& path, const QByteArray& bytes);
    void Trim();

    QString root_;
    qint64 limit_;
    qint64 total_ = -1;  // not counted yet
    QString problem_;
};

}  // namespace krelby
