// How long a fetched tile may be drawn without asking the server again, and what to ask it
// with then: HTTP caching as a private cache keeps it (RFC 9111).
#pragma once
#include <QByteArray>
#include <QDateTime>

namespace krelby {

struct TileMeta {
    QDateTime expires;              // UTC; invalid: stale at once
    QByteArray etag, lastModified;  // the validators as the server sent them

    bool FreshAt(const QDateTime& now) const { return expires.isValid() && now < expires; }
    bool operator==(const TileMeta&) const = default;
};

// The response headers that bear on caching (empty when absent).
struct CacheHeaders {
    QByteArray cacheControl, expires, date, age, etag, lastModified;
};

struct Freshness {
    TileMeta meta;
    bool storable = true;  // false for Cache-Control: no-store
};

// Fresh for Cache-Control max-age less Age; else for Expires less Date (so that a clock
// set wrong here or there changes nothing); else a tenth of the time since Last-Modified,
// at most a week (the usual heuristic); else a day. no-cache is stale at once.
Freshness FreshnessOf(const CacheHeaders& headers, const QDateTime& now);

// An HTTP date ("Sun, 06 Nov 1994 08:49:37 GMT", also the two obsolete forms); invalid
// when it is none.
QDateTime ParseHttpDate(const QByteArray& text);

// A meta kept beside a tile: "key: value" lines, as read and written by these two.
QByteArray MetaText(const TileMeta& meta);
TileMeta ParseMetaText(const QByteArray& text);

}  // namespace krelby
