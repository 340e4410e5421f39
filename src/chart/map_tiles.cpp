#include "chart/map_tiles.h"

#include <QCryptographicHash>
#include <QSettings>
#include <QStandardPaths>

namespace krelby {

const char* const kDefaultTileTemplate = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
const char* const kDefaultAttribution = "© OpenStreetMap contributors";

namespace {

constexpr const char* kShownKey = "Map/Shown";
constexpr const char* kSourceKey = "Map/Source";
constexpr const char* kUserTemplateKey = "Map/UserTemplate";
constexpr const char* kUserAttributionKey = "Map/UserAttribution";
constexpr const char* kCacheKey = "Map/CacheMegabytes";

struct ChoiceName {
    MapChoice choice;
    const char* name;
};
constexpr ChoiceName kChoices[] = {
    {MapChoice::None, "None"}, {MapChoice::Default, "OpenStreetMap"}, {MapChoice::User, "User"}};

}  // namespace

QUrl TileSource::Url(TileId tile) const {
    QString url = urlTemplate;
    url.replace("{z}", QString::number(tile.z));
    url.replace("{x}", QString::number(tile.x));
    url.replace("{y}", QString::number(tile.y));
    return QUrl(url);
}

QString TileSource::CacheName() const {
    QString host = Url({}).host().toLower();
    for (QChar& c : host)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != '.' && c != '-') c = '_';
    if (host.isEmpty() || host.startsWith('.')) host.prepend("tiles");
    const QByteArray digest = QCryptographicHash::hash(urlTemplate.toUtf8(), QCryptographicHash::Sha1).toHex();
    return host + "-" + QString::fromLatin1(digest.left(8));
}

TileSource DefaultTileSource() { return {kDefaultTileTemplate, QString::fromUtf8(kDefaultAttribution), 19}; }

QString TemplateProblem(const QString& urlTemplate) {
    QString sample = urlTemplate;
    for (const char* part : {"{z}", "{x}", "{y}"}) sample.replace(part, "0");
    const QUrl url(sample, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != "http" && scheme != "https") || url.host().isEmpty())
        return "The map source must be an http or https address";
    for (const char* part : {"{z}", "{x}", "{y}"})
        if (!urlTemplate.contains(part)) return QString("The map source's address lacks %1").arg(part);
    return {};
}

TileSource MapSettings::Source() const {
    if (!shown || choice == MapChoice::None) return {};
    if (choice == MapChoice::Default) return DefaultTileSource();
    if (!TemplateProblem(userTemplate).isEmpty()) return {};
    // A source without its own credit still names where its tiles come from.
    const QString credit = userAttribution.trimmed().isEmpty() ? "Map tiles: " + QUrl(userTemplate).host()
                                                               : userAttribution.trimmed();
    return {userTemplate, credit, 19};
}

MapSettings ReadMapSettings(const QSettings& s) {
    MapSettings map;
    map.shown = s.value(kShownKey, false).toBool();
    const QString source = s.value(kSourceKey).toString();
    for (const ChoiceName& c : kChoices)
        if (source == c.name) map.choice = c.choice;
    map.userTemplate = s.value(kUserTemplateKey).toString();
    map.userAttribution = s.value(kUserAttributionKey).toString();
    bool ok = false;
    const int megabytes = s.value(kCacheKey).toInt(&ok);
    if (ok && megabytes >= 1 && megabytes <= 100000) map.cacheMegabytes = megabytes;
    return map;
}

void WriteMapSettings(QSettings& s, const MapSettings& map) {
    s.setValue(kShownKey, map.shown);
    for (const ChoiceName& c : kChoices)
        if (map.choice == c.choice) s.setValue(kSourceKey, c.name);
    s.setValue(kUserTemplateKey, map.userTemplate);
    s.setValue(kUserAttributionKey, map.userAttribution);
    s.setValue(kCacheKey, map.cacheMegabytes);
}

QString DefaultTileCacheFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/Krelby/tiles";
}

}  // namespace krelby
