#include "chart/http_freshness.h"

#include <QList>

#include <algorithm>
#include <optional>

namespace krelby {

namespace {

constexpr qint64 kDay = 24 * 3600;
constexpr qint64 kWeek = 7 * kDay;

std::optional<qint64> Seconds(const QByteArray& text) {
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    if (!ok) return std::nullopt;
    return std::max<qint64>(0, v);
}

int Month(const QByteArray& name) {
    static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                          "jul", "aug", "sep", "oct", "nov", "dec"};
    const QByteArray lower = name.toLower();
    for (int i = 0; i < 12; ++i)
        if (lower == kMonths[i]) return i + 1;
    return 0;
}

QDateTime Make(const QByteArray& day, const QByteArray& month, const QByteArray& year, const QByteArray& time) {
    bool okDay = false, okYear = false;
    const int d = day.toInt(&okDay);
    int y = year.toInt(&okYear);
    const int m = Month(month);
    if (!okDay || !okYear || m == 0) return {};
    if (year.size() == 2) y += y < 70 ? 2000 : 1900;  // the obsolete two-digit year
    const QList<QByteArray> hms = time.split(':');
    if (hms.size() != 3) return {};
    const QTime t(hms[0].toInt(), hms[1].toInt(), hms[2].toInt());
    const QDate date(y, m, d);
    if (!t.isValid() || !date.isValid()) return {};
    return QDateTime(date, t, Qt::UTC);
}

}  // namespace

QDateTime ParseHttpDate(const QByteArray& text) {
    const QByteArray s = text.simplified();
    const int comma = s.indexOf(',');
    if (comma >= 0) {
        const QList<QByteArray> parts = s.mid(comma + 1).trimmed().split(' ');
        if (parts.size() == 5 && parts[4] == "GMT") return Make(parts[0], parts[1], parts[2], parts[3]);
        if (parts.size() == 3 && parts[2] == "GMT") {  // Sunday, 06-Nov-94 08:49:37 GMT
            const QList<QByteArray> dmy = parts[0].split('-');
            if (dmy.size() == 3) return Make(dmy[0], dmy[1], dmy[2], parts[1]);
        }
        return {};
    }
    const QList<QByteArray> parts = s.split(' ');  // Sun Nov 6 08:49:37 1994
    if (parts.size() == 5) return Make(parts[2], parts[1], parts[4], parts[3]);
    return {};
}

Freshness FreshnessOf(const CacheHeaders& h, const QDateTime& now) {
    Freshness f;
    f.meta.etag = h.etag.trimmed();
    f.meta.lastModified = h.lastModified.trimmed();
    bool noCache = false;
    std::optional<qint64> maxAge;
    for (const QByteArray& part : h.cacheControl.split(',')) {
        const QByteArray d = part.trimmed().toLower();
        if (d == "no-store") f.storable = false;
        if (d == "no-cache" || d.startsWith("no-cache=")) noCache = true;
        if (d.startsWith("max-age=")) maxAge = Seconds(QByteArray(d.mid(8)).replace('"', ""));
    }
    const qint64 age = Seconds(h.age).value_or(0);
    const QDateTime utc = now.toUTC();
    const QDateTime date = ParseHttpDate(h.date);
    const QDateTime base = date.isValid() ? date : utc;
    qint64 lifetime = kDay;
    if (noCache) {
        lifetime = 0;
    } else if (maxAge) {
        lifetime = *maxAge - age;
    } else if (!h.expires.trimmed().isEmpty()) {
        // An Expires that is no date ("0", "-1") means expired already.
        const QDateTime expires = ParseHttpDate(h.expires);
        lifetime = expires.isValid() ? base.secsTo(expires) - age : 0;
    } else if (const QDateTime modified = ParseHttpDate(h.lastModified); modified.isValid()) {
        lifetime = std::min(kWeek, std::max<qint64>(0, modified.secsTo(base)) / 10);
    }
    f.meta.expires = utc.addSecs(std::max<qint64>(0, lifetime));
    return f;
}

QByteArray MetaText(const TileMeta& meta) {
    QByteArray text;
    if (meta.expires.isValid()) text += "expires: " + meta.expires.toUTC().toString(Qt::ISODate).toLatin1() + "\n";
    if (!meta.etag.isEmpty()) text += "etag: " + meta.etag + "\n";
    if (!meta.lastModified.isEmpty()) text += "last-modified: " + meta.lastModified + "\n";
    return text;
}

TileMeta ParseMetaText(const QByteArray& text) {
    TileMeta meta;
    for (const QByteArray& line : text.split('\n')) {
        const int colon = line.indexOf(": ");
        if (colon < 0) continue;
        const QByteArray key = line.left(colon), value = line.mid(colon + 2).trimmed();
        if (key == "expires") meta.expires = QDateTime::fromString(QString::fromLatin1(value), Qt::ISODate).toUTC();
        if (key == "etag") meta.etag = value;
        if (key == "last-modified") meta.lastModified = value;
    }
    return meta;
}

}  // namespace krelby
