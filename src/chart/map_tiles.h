// Where map tiles come from: a URL template with its attribution, and the pilot's choice of
// source, kept with the window's other per-user state in the desktop's settings (never in
// Krelby.INI, which belongs to the program folder).
#pragma once
#include <QString>
#include <QUrl>

#include "replay/web_mercator.h"

class QSettings;

namespace krelby {

extern const char* const kDefaultTileTemplate;  // https://tile.openstreetmap.org/{z}/{x}/{y}.png
extern const char* const kDefaultAttribution;   // © OpenStreetMap contributors

struct TileSource {
    QString urlTemplate;  // empty: no map
    QString attribution;
    int maxZoom = 19;

    bool None() const { return urlTemplate.isEmpty(); }
    // The tile's address: {z}, {x} and {y} of the template replaced.
    QUrl Url(TileId tile) const;
    // The cache's folder for this source: its host and a digest of the whole template, in
    // characters safe in a file name on every system ("tile.openstreetmap.org-1b2c3d4e").
    QString CacheName() const;
    bool operator==(const TileSource&) const = default;
};

TileSource DefaultTileSource();
// Why a template cannot serve tiles, or empty when it can: an http or https address with
// {z}, {x} and {y} in it.
QString TemplateProblem(const QString& urlTemplate);

enum class MapChoice { None, Default, User };

// Per-user keys (QSettings, organisation and application "Krelby"):
//   Map/Shown            the "Map" box (false)
//   Map/Source           "None", "OpenStreetMap" or "User" ("OpenStreetMap")
//   Map/UserTemplate     the user's URL template, kept while another source is chosen
//   Map/UserAttribution  its attribution text
//   Map/CacheMegabytes   the disk cache's bound (200)
struct MapSettings {
    static constexpr int kDefaultCacheMegabytes = 200;
    bool shown = false;
    MapChoice choice = MapChoice::Default;
    QString userTemplate, userAttribution;
    int cacheMegabytes = kDefaultCacheMegabytes;

    // What the pane draws from: none while the map is off or None is chosen, or while the
    // user's template cannot serve.
    TileSource Source() const;
    qint64 CacheBytes() const { return qint64(cacheMegabytes) * 1024 * 1024; }
    bool operator==(const MapSettings&) const = default;
};

// Unknown or broken values read as their defaults.
MapSettings ReadMapSettings(const QSettings& settings);
void WriteMapSettings(QSettings& settings, const MapSettings& map);

// The tiles' cache: $XDG_CACHE_HOME/Krelby/tiles (~/.cache/Krelby/tiles without it, the
// user's local cache folder on other systems).
QString DefaultTileCacheFolder();

}  // namespace krelby
