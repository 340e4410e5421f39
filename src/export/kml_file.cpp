#include "export/kml_file.h"

#include <array>
#include <filesystem>

#include "base/file.h"
#include "base/text.h"
#include "format/datetime.h"
#include "format/messages.h"
#include "replay/units.h"
#include "replay/value_text.h"

namespace krelby {
namespace {

constexpr std::array<const char*, 7> kKmlColorCodes = {"00ffff", "00ff00", "ff0000", "0000ff",
                                                       "000000", "ff00ff", "ffffff"};
constexpr std::array<const char*, 3> kKmlOpacityCodes = {"ff", "80", "00"};

}  // namespace

std::string XmlEscaped(std::string_view text) {
    const std::string valid = ValidUtf8(text);
    std::string out;
    out.reserve(valid.size());
    for (size_t i = 0; i < valid.size(); ++i) {
        const char c = valid[i];
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\t': case '\n': case '\r': out += c; break;
            default:
                // XML has no way to write the other control characters, nor U+FFFE and U+FFFF.
                if (static_cast<unsigned char>(c) < 0x20) break;
                if (valid.compare(i, 3, "\xEF\xBF\xBE") == 0 || valid.compare(i, 3, "\xEF\xBF\xBF") == 0) {
                    i += 2;
                    break;
                }
                out += c;
        }
    }
    return out;
}

std::string TrackName(const ReplayEnd& end, const std::string& flightFile, const Regional& regional) {
    return TrackName(end.anyFlightMessage ? std::optional<double>(end.lastTime) : std::nullopt, flightFile, regional);
}

std::string TrackName(const std::optional<double>& time, const std::string& flightFile, const Regional& regional) {
    return time ? FormatTimeStamp(*time, regional) : TextOf(PathOf(flightFile).stem());
}

std::string KmlColor(uint8_t opacity, uint8_t defaultOpacity, uint8_t color, uint8_t defaultColor) {
    if (opacity >= kKmlOpacityCodes.size()) opacity = defaultOpacity;
    if (color >= kKmlColorCodes.size()) color = defaultColor;
    return std::string(kKmlOpacityCodes[opacity]) + kKmlColorCodes[color];
}

std::string KmlCoordinateText(int32_t latitude, int32_t longitude, int32_t gpsAltitudeFeet) {
    const double lon = PositionDegrees(longitude);
    const double lat = PositionDegrees(latitude);
    const long double metres = static_cast<long double>(gpsAltitudeFeet) / kFeetPerMetre;
    std::string line = "  ";
    line += GeneralText(lon);
    line += ',';
    line += GeneralText(lat);
    line += ',';
    line += GeneralText(metres);
    return line;
}

void ApplyOpacityRule(KmlStyle& style) {
    if (style.PolyOpacity == 2 && style.LineOpacity == 2) style.LineOpacity = 0;
}

void KmlFile::WriteHead(std::string_view name, const KmlStyle& style) {
    const KmlStyle defaults;
    file_.Line("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    file_.Line("<kml xmlns=\"http://earth.google.com/kml/2.1\">");
    file_.Line("<Placemark>");
    file_.Line("  <name>" + XmlEscaped(name) + "</name>");
    file_.Line("  <description>Tarvik Flight data recording</description>");
    file_.Line("  <Style id=\"TarvikStyleOptionSelection\">");
    file_.Line("    <LineStyle>");
    file_.Line("      <color>" + KmlColor(style.LineOpacity, defaults.LineOpacity, style.LineColor, defaults.LineColor) +
               "</color>");
    file_.Line("       <width>" + IntegerText(style.LineWidth + 1) + "</width>");
    file_.Line("    </LineStyle>");
    file_.Line("    <PolyStyle>");
    file_.Line("      <color>" + KmlColor(style.PolyOpacity, defaults.PolyOpacity, style.PolyColor, defaults.PolyColor) +
               "</color>");
    file_.Line("      <outline>1</outline>");
    file_.Line("    </PolyStyle>");
    file_.Line("  </Style>");
    file_.Line("  <LineString>");
    file_.Line(style.ExtrudePoly ? "  <extrude>1</extrude>" : "  <extrude>0</extrude>");
    file_.Line("  <tessellate>1</tessellate>");
    file_.Line(style.Clamp2GND ? "  <altitudeMode>clampToGround</altitudeMode>" : "  <altitudeMode>absolute</altitudeMode>");
    file_.Line("  <coordinates>");
}

void KmlFile::KmlCoordinate(const GpsMessage& m) {
    file_.Line(KmlCoordinateText(m.Latitude(), m.Longitude(), m.GPSAltitude()));
}

void KmlFile::WriteTail() {
    file_.Line("  </coordinates>");
    file_.Line("  </LineString>");
    file_.Line("</Placemark>");
    file_.Line("</kml>");
}

}  // namespace krelby
