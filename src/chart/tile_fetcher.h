// The map tiles a view needs, from memory, the disk cache or the tile server: at most two
// requests at a time, each given up after a timeout, never waited for on the window's
// thread. Failures leave what was there and are not asked again before a backoff: a
// server that cannot be reached makes the map "offline" (stale and lower-level tiles serve),
// a tile refused (404) or not a picture is failed on its own.
#pragma once
#include <QCache>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QTimer>

#include <deque>
#include <vector>

#include "chart/map_tiles.h"
#include "chart/tile_cache.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace krelby {

class TileFetcher : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxRequests = 2;
    static constexpr int kDefaultTimeoutMs = 10000;
    static constexpr int kDefaultRetryMs = 15000;
    static constexpr qint64 kDefaultMemoryBytes = 48 * 1024 * 1024;

    // Tiles kept under `cacheFolder` (a folder per source), at most `cacheBytes` on disk.
    explicit TileFetcher(const QString& cacheFolder = DefaultTileCacheFolder(),
                         qint64 cacheBytes = MapSettings().CacheBytes(), QObject* parent = nullptr);
    ~TileFetcher() override;

    // The source to draw from. Another source forgets the tiles held and the failures; no
    // source stops every request and sends none until one is set.
    void SetSource(const TileSource& source);
    const TileSource& Source() const { return source_; }
    bool Enabled() const { return !source_.None(); }
    void SetCacheLimit(qint64 bytes) { cache_.SetLimit(bytes); }
    TileCache& Cache() { return cache_; }

    // The tile's picture from memory or the disk, however old; null when neither has it.
    // `stale` says whether it wants asking for again.
    QImage Find(TileId tile, bool* stale = nullptr);
    // The tiles a view lacks or holds stale, most wanted first. They replace those still
    // waiting from an earlier view (requests on the way go on); tiles failed recently and
    // requests while there is no source are left out.
    void Want(const std::vector<TileId>& tiles);
    bool Pending(TileId tile) const;  // waiting or on the way
    bool Busy() const { return !queue_.empty() || !replies_.isEmpty(); }
    // The last request of this tile failed (404, not a picture, the server's trouble).
    bool Failed(TileId tile) const { return failures_.contains(tile.Key()); }
    // The server could not be reached (refused, timed out, no network, 5xx): requests wait
    // for a retry after a growing delay; the first answer ends it.
    bool Offline() const { return offline_; }
    // Why the disk cache could not keep the last tile; empty when it could.
    QString CacheProblem() const { return cache_.Problem(); }
    // Bytes the pictures held in memory take.
    qint64 MemoryBytes() const { return qint64(memory_.totalCost()) * 1024; }

    // The longest a request may take (10 s) and the first wait before asking again after a
    // failure (15 s, doubled at each failure); shorter in tests.
    void SetTimeout(int ms) { timeoutMs_ = ms; }
    void SetRetryDelay(int ms) { retryMs_ = ms; }
    // "Krelby/VERSION": every request names the program, as tile servers ask.
    static QByteArray UserAgent();

signals:
    // A tile came, failed, or the map went offline or back: the view should be drawn again.
    void Changed();

private:
    struct Held {
        QImage image;
        TileMeta meta;
        qint64 checkedAt = -1;  // on clock_, when the server last gave or confirmed it
    };
    struct Failure {
        int attempts = 0;
        qint64 retryAt = 0;  // on clock_
    };
    void Pump();
    void Send(TileId tile);
    void Finished(QNetworkReply* reply, TileId tile, quint64 generation);
    void Arrived(TileId tile, const QByteArray& bytes, const Freshness& freshness);
    void Confirmed(TileId tile, const Freshness& freshness);
    void TileFailed(TileId tile);
    void Unreachable(TileId tile);
    void Answered();
    void Hold(TileId tile, QImage image, const TileMeta& meta);
    qint64 Backoff(int attempts, qint64 capMs) const;
    qint64 Now() const;

    TileSource source_;
    QString sourceName_;
    TileCache cache_;
    QNetworkAccessManager* network_ = nullptr;  // made at the first request
    QCache<quint64, Held> memory_;              // cost in KiB
    QHash<quint64, bool> absent_;               // known not on disk
    QHash<quint64, Failure> failures_;
    QHash<quint64, QNetworkReply*> replies_;
    std::deque<TileId> queue_;
    quint64 generation_ = 0;  // a new source's replies are no longer wanted
    bool offline_ = false;
    int offlineAttempts_ = 0;
    qint64 offlineUntil_ = 0;
    QTimer retry_;
    int timeoutMs_ = kDefaultTimeoutMs;
    int retryMs_ = kDefaultRetryMs;
    QElapsedTimer clock_;
};

}  // namespace krelby
