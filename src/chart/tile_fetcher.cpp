#include "chart/tile_fetcher.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>

namespace krelby {

namespace {

// A tile the server gave or confirmed is not asked for again within this time, whatever
// its headers say (no-cache would otherwise ask at every repaint).
constexpr qint64 kRecheckMs = 5 * 60 * 1000;
constexpr qint64 kOfflineCapMs = 5 * 60 * 1000;
constexpr qint64 kTileCapMs = 60 * 60 * 1000;

quint64 ReplyGeneration(const QNetworkReply* reply) { return reply->property("krelby.generation").toULongLong(); }

CacheHeaders HeadersOf(const QNetworkReply& reply) {
    return {reply.rawHeader("Cache-Control"), reply.rawHeader("Expires"), reply.rawHeader("Date"),
            reply.rawHeader("Age"),           reply.rawHeader("ETag"),    reply.rawHeader("Last-Modified")};
}

}  // namespace

TileFetcher::TileFetcher(const QString& cacheFolder, qint64 cacheBytes, QObject* parent)
    : QObject(parent), cache_(cacheFolder, cacheBytes), memory_(int(kDefaultMemoryBytes / 1024)) {
    clock_.start();
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, [this] {
        Pump();
        emit Changed();
    });
}

TileFetcher::~TileFetcher() {
    ++generation_;
    for (QNetworkReply* reply : std::as_const(replies_)) reply->abort();
}

QByteArray TileFetcher::UserAgent() { return "Krelby/" KRELBY_VERSION " (flight data viewer)"; }

qint64 TileFetcher::Now() const { return clock_.elapsed(); }

void TileFetcher::SetSource(const TileSource& source) {
    if (source == source_) return;
    ++generation_;
    const auto replies = replies_;
    replies_.clear();
    for (QNetworkReply* reply : replies) reply->abort();
    queue_.clear();
    memory_.clear();
    absent_.clear();
    failures_.clear();
    offline_ = false;
    offlineAttempts_ = 0;
    offlineUntil_ = 0;
    retry_.stop();
    source_ = source;
    sourceName_ = source_.None() ? QString() : source_.CacheName();
    emit Changed();
}

QImage TileFetcher::Find(TileId tile, bool* stale) {
    if (stale) *stale = false;
    if (!Enabled()) return {};
    const quint64 key = tile.Key();
    Held* held = memory_.object(key);
    if (!held && !absent_.contains(key)) {
        if (auto entry = cache_.Load(sourceName_, tile)) {
            Hold(tile, std::move(entry->image), entry->meta);
            held = memory_.object(key);
        } else {
            absent_.insert(key, true);
        }
    }
    if (!held) return {};
    if (stale)
        *stale = !held->meta.FreshAt(QDateTime::currentDateTimeUtc()) &&
                 (held->checkedAt < 0 || Now() - held->checkedAt > kRecheckMs);
    return held->image;
}

void TileFetcher::Hold(TileId tile, QImage image, const TileMeta& meta) {
    // Drawn many times, converted once: palette tiles would be expanded at every paint.
    if (image.format() != QImage::Format_ARGB32_Premultiplied && image.format() != QImage::Format_RGB32)
        image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    const int cost = int(std::max<qint64>(1, image.sizeInBytes() / 1024));
    memory_.insert(tile.Key(), new Held{std::move(image), meta}, cost);
}

void TileFetcher::Want(const std::vector<TileId>& tiles) {
    queue_.clear();
    if (!Enabled()) return;
    const qint64 now = Now();
    for (const TileId& t : tiles) {
        const quint64 key = t.Key();
        if (replies_.contains(key)) continue;
        if (auto f = failures_.constFind(key); f != failures_.cend() && f->retryAt > now) continue;
        if (std::find(queue_.begin(), queue_.end(), t) == queue_.end()) queue_.push_back(t);
    }
    Pump();
}

bool TileFetcher::Pending(TileId tile) const {
    return replies_.contains(tile.Key()) || std::find(queue_.begin(), queue_.end(), tile) != queue_.end();
}

void TileFetcher::Pump() {
    if (!Enabled()) return;
    if (offline_ && Now() < offlineUntil_) return;
    while (!queue_.empty() && replies_.size() < kMaxRequests) {
        // Offline, one request at a time finds out whether the server is back.
        if (offline_ && !replies_.isEmpty()) return;
        const TileId tile = queue_.front();
        queue_.pop_front();
        Send(tile);
    }
}

void TileFetcher::Send(TileId tile) {
    if (!network_) {
        network_ = new QNetworkAccessManager(this);
        // Our own cache keeps the tiles; Qt's is not asked.
        network_->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    }
    QNetworkRequest request(source_.Url(tile));
    request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent());
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    if (const Held* held = memory_.object(tile.Key())) {
        if (!held->meta.etag.isEmpty()) request.setRawHeader("If-None-Match", held->meta.etag);
        if (!held->meta.lastModified.isEmpty()) request.setRawHeader("If-Modified-Since", held->meta.lastModified);
    }
    QNetworkReply* reply = network_->get(request);
    const quint64 generation = generation_;
    reply->setProperty("krelby.generation", generation);
    replies_.insert(tile.Key(), reply);
    QTimer::singleShot(timeoutMs_, reply, [reply] {
        reply->setProperty("krelby.timedOut", true);
        reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, tile, generation] { Finished(reply, tile, generation); });
}

void TileFetcher::Finished(QNetworkReply* reply, TileId tile, quint64 generation) {
    reply->deleteLater();
    if (generation != generation_ || ReplyGeneration(reply) != generation_) return;  // another source's
    replies_.remove(tile.Key());
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const Freshness freshness = FreshnessOf(HeadersOf(*reply), QDateTime::currentDateTimeUtc());
    if (status == 200 && reply->error() == QNetworkReply::NoError)
        Arrived(tile, reply->readAll(), freshness);
    else if (status == 304)
        Confirmed(tile, freshness);
    else if (status >= 500 || status == 429)  // the server's own trouble: ask it nothing for a while
        Unreachable(tile);
    else if (status >= 400)
        TileFailed(tile);
    else
        Unreachable(tile);  // refused, no such host, timed out, cut off
    Pump();
    emit Changed();
}

void TileFetcher::Arrived(TileId tile, const QByteArray& bytes, const Freshness& freshness) {
    QImage image;
    if (!image.loadFromData(bytes) || image.isNull()) {
        TileFailed(tile);  // not a picture: neither kept nor drawn
        return;
    }
    Answered();
    failures_.remove(tile.Key());
    if (freshness.storable && cache_.Store(sourceName_, tile, bytes, freshness.meta)) absent_.remove(tile.Key());
    Hold(tile, std::move(image), freshness.meta);
    if (Held* held = memory_.object(tile.Key())) held->checkedAt = Now();
}

void TileFetcher::Confirmed(TileId tile, const Freshness& freshness) {
    Answered();
    failures_.remove(tile.Key());
    Held* held = memory_.object(tile.Key());
    if (!held) {
        // Dropped from memory while asked: read it back from the disk.
        Find(tile);
        held = memory_.object(tile.Key());
        if (!held) return;
    }
    // A 304 may leave out validators it does not change.
    TileMeta meta = freshness.meta;
    if (meta.etag.isEmpty()) meta.etag = held->meta.etag;
    if (meta.lastModified.isEmpty()) meta.lastModified = held->meta.lastModified;
    held->meta = meta;
    held->checkedAt = Now();
    if (freshness.storable) cache_.Refresh(sourceName_, tile, meta);
}

void TileFetcher::TileFailed(TileId tile) {
    Answered();  // the server answered: the map is not offline, this tile is failed
    Failure& f = failures_[tile.Key()];
    ++f.attempts;
    const qint64 delay = Backoff(f.attempts, kTileCapMs);
    f.retryAt = Now() + delay;
    // Asked for again when due, if a view still wants it.
    QTimer::singleShot(delay, this, [this] { emit Changed(); });
}

void TileFetcher::Unreachable(TileId tile) {
    if (std::find(queue_.begin(), queue_.end(), tile) == queue_.end()) queue_.push_front(tile);
    // The other request of the same outage adds no second step to the backoff.
    if (offline_ && Now() < offlineUntil_) return;
    offline_ = true;
    ++offlineAttempts_;
    const qint64 delay = Backoff(offlineAttempts_, kOfflineCapMs);
    offlineUntil_ = Now() + delay;
    retry_.start(int(delay));
}

void TileFetcher::Answered() {
    if (!offline_) return;
    offline_ = false;
    offlineAttempts_ = 0;
    retry_.stop();
}

qint64 TileFetcher::Backoff(int attempts, qint64 capMs) const {
    const qint64 base = std::max(1, retryMs_);
    return std::min(capMs, base << std::min(attempts - 1, 20));
}

}  // namespace krelby
