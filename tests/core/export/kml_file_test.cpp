#include <gtest/gtest.h>

#include <string>

#include "export/kml_file.h"
#include "support/temp_folder.h"
#include "base/error.h"

using namespace krelby;
using krelby::testing::ReadFile;
using krelby::testing::TempFolder;

namespace {

std::string Head(KmlStyle& style, const std::string& name = "2024/06/14 09:35:00") {
    TempFolder dir;
    {
        KmlFile file(dir / "t.KML");
        ApplyOpacityRule(style);
        file.WriteHead(name, style);
        file.Close();
    }
    return ReadFile(dir / "t.KML");
}

std::string Line(const std::string& text, int number) {
    size_t start = 0;
    for (int i = 1; i < number; ++i) start = text.find("\r\n", start) + 2;
    return text.substr(start, text.find("\r\n", start) - start);
}

}  // namespace

TEST(KmlHead, DefaultStyleByteForByte) {
    KmlStyle style;
    EXPECT_EQ(Head(style),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<kml xmlns=\"http://earth.google.com/kml/2.1\">\r\n"
              "<Placemark>\r\n"
              "  <name>2024/06/14 09:35:00</name>\r\n"
              "  <description>Tarvik Flight data recording</description>\r\n"
              "  <Style id=\"TarvikStyleOptionSelection\">\r\n"
              "    <LineStyle>\r\n"
              "      <color>ff00ffff</color>\r\n"
              "       <width>1</width>\r\n"
              "    </LineStyle>\r\n"
              "    <PolyStyle>\r\n"
              "      <color>80ff0000</color>\r\n"
              "      <outline>1</outline>\r\n"
              "    </PolyStyle>\r\n"
              "  </Style>\r\n"
              "  <LineString>\r\n"
              "  <extrude>1</extrude>\r\n"
              "  <tessellate>1</tessellate>\r\n"
              "  <altitudeMode>absolute</altitudeMode>\r\n"
              "  <coordinates>\r\n");
}

TEST(KmlHead, StyleChoices) {
    KmlStyle s;
    s.LineWidth = 4;
    s.LineColor = 6;
    s.LineOpacity = 1;
    s.Clamp2GND = 1;
    s.ExtrudePoly = 0;
    s.PolyColor = 3;
    s.PolyOpacity = 2;
    const std::string head = Head(s);
    EXPECT_EQ(Line(head, 8), "      <color>80ffffff</color>");
    EXPECT_EQ(Line(head, 9), "       <width>5</width>");
    EXPECT_EQ(Line(head, 12), "      <color>000000ff</color>");
    EXPECT_EQ(Line(head, 17), "  <extrude>0</extrude>");
    EXPECT_EQ(Line(head, 19), "  <altitudeMode>clampToGround</altitudeMode>");
    EXPECT_EQ(s.LineOpacity, 1);
}

TEST(KmlHead, BothTransparentMakesLineOpaqueInTheSettings) {
    KmlStyle s;
    s.LineOpacity = 2;
    s.PolyOpacity = 2;
    const std::string head = Head(s);
    EXPECT_EQ(Line(head, 8), "      <color>ff00ffff</color>");
    EXPECT_EQ(Line(head, 12), "      <color>00ff0000</color>");
    EXPECT_EQ(s.LineOpacity, 0);
    EXPECT_EQ(s.PolyOpacity, 2);
}

// Indexes from a hand-edited settings file have no table entry: the setting's default is used.
TEST(KmlHead, ColorIndexWithoutTableEntryTakesDefault) {
    KmlStyle s;
    s.LineColor = 9;
    s.LineOpacity = 3;
    s.PolyColor = 255;
    s.PolyOpacity = 44;
    const std::string head = Head(s);
    EXPECT_EQ(Line(head, 8), "      <color>ff00ffff</color>");
    EXPECT_EQ(Line(head, 12), "      <color>80ff0000</color>");
    EXPECT_EQ(s.LineColor, 9);  // the setting itself is kept
}

TEST(KmlHead, NameIsEscapedForXml) {
    KmlStyle s;
    EXPECT_EQ(Line(Head(s, "A&B <1>"), 4), "  <name>A&amp;B &lt;1&gt;</name>");
}

TEST(KmlCoordinate, Texts) {
    const struct {
        int32_t lat, lon, alt;
        const char* line;
    } cases[] = {
        {-4860000, 27000000, 1000, "  150,-27,304.800919279573"},
        {0, 0, 0, "  0,0,0"},
        {1, -1, -1, "  -5.55555555555556E-6,5.55555555555556E-6,-0.304800919279573"},
        {18, 9, 3, "  5E-5,0.0001,0.914402757838718"},
        {INT32_MIN, INT32_MAX, INT32_MAX, "  11930.4647055556,-11930.4647111111,654554989.743449"},
    };
    for (const auto& c : cases) EXPECT_EQ(KmlCoordinateText(c.lat, c.lon, c.alt), c.line);
}

