#include <gtest/gtest.h>

#include <sys/stat.h>

#include <optional>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "support/text_lines.h"
#include "base/error.h"
#include "settings/ini_file.h"
#include "settings/limits.h"
#include "settings/settings_file.h"
#include "settings/settings_merge.h"

using namespace krelby;
using krelby::testing::ReadFile;
using krelby::testing::TempFolder;
using krelby::testing::WriteFile;

namespace {

Settings LoadFrom(const std::string& iniText, std::string* flight = nullptr) {
    TempFolder dir;
    WriteFile(dir / "Krelby.INI", iniText);
    Settings s;
    std::string f;
    LoadSettings(dir / "Krelby.INI", s, f);
    if (flight) *flight = f;
    return s;
}

using krelby::testing::CrlfLines;

}  // namespace

TEST(IniInteger, PlatformWholeNumberRule) {
    const struct {
        const char* text;
        std::optional<int32_t> value;
    } cases[] = {
        {"12", 12},         {"+7", 7},          {"-3", -3},         {"0009", 9},
        {"0x1F", 31},       {"0X10", 16},       {"$ff", 255},       {"-$10", -16},
        {"2147483647", 2147483647},             {"-2147483648", INT32_MIN},
        {"2147483648", {}}, {"99999999999999999999", {}},           {"0x100000000", {}},
        {"", {}},           {"-", {}},          {"0x", {}},         {"$", {}},
        {"abc", {}},        {"12abc", {}},      {"1.5", {}},        {"0x1G", {}},
        {"1 2", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseIniInteger(c.text), c.value) << c.text;
}

TEST(SettingsLoad, ReadingRules) {
    using Get = int (*)(const Settings&);
    const struct {
        const char* what;
        std::string ini;
        Get get;
        int expected;
    } cases[] = {
        {"negative reads as 0", "[KML]\r\nLineColor=-3\r\n", [](const Settings& s) { return int{s.kml.LineColor}; }, 0},
        {"out of table stays", "[KML]\r\nLineColor=9\r\n", [](const Settings& s) { return int{s.kml.LineColor}; }, 9},
        {"low 8 bits", "[KML]\r\nLineWidth=300\r\n", [](const Settings& s) { return int{s.kml.LineWidth}; }, 44},
        {"low 16 bits", "[Units]\r\nAltitude=70000\r\n", [](const Settings& s) { return int{s.units.Altitude}; }, 4464},
        {"low 16 bits signed", "[Units]\r\nVSI=40000\r\n", [](const Settings& s) { return int{s.units.VSI}; }, -25536},
        {"letters give the default", "[Units]\r\nAltitude=feet\r\n", [](const Settings& s) { return int{s.units.Altitude}; }, 0},
        {"letters give the default 2", "[KML]\r\nPolyColor=blue\r\n", [](const Settings& s) { return int{s.kml.PolyColor}; }, 2},
        {"0x hexadecimal", "[Units]\r\nSpeed=0x2\r\n", [](const Settings& s) { return int{s.units.Speed}; }, 2},
        {"$ hexadecimal", "[Units]\r\nGeoPos=$A\r\n", [](const Settings& s) { return int{s.units.GeoPos}; }, 10},
        {"lower-case names", "[zeda2]\r\ntc3=1\r\n", [](const Settings& s) { return int{s.thermocouples[15]}; }, CHT},
        {"other monitors untouched", "[zeda2]\r\ntc3=1\r\n", [](const Settings& s) { return int{s.thermocouples[3]}; }, EGT},
        {"TC0 is the first input", "[ZEDA4]\r\nTC0=2\r\n", [](const Settings& s) { return int{s.thermocouples[36]}; }, Other},
        {"Selection193", "[DataSelections]\r\nSelection193=1\r\n", [](const Settings& s) { return int{s.selection.Ticked(193)}; }, 1},
        {"boolean of any non-zero", "[General]\r\n3DView=5\r\n", [](const Settings& s) { return int{s.general.View3D}; }, 1},
        {"boolean default true", "[KML]\r\nExtrudePoly=yes\r\n", [](const Settings& s) { return int{s.kml.ExtrudePoly}; }, 1},
        {"boolean stored as 1", "[KML]\r\nClamp2GND=-7\r\n", [](const Settings& s) { return int{s.kml.Clamp2GND}; }, 1},
        {"first of equal keys wins", "[KML]\r\nLineColor=4\r\nlinecolor=5\r\n", [](const Settings& s) { return int{s.kml.LineColor}; }, 4},
        {"first of repeated sections wins", "[KML]\r\nLineColor=4\r\n[kml]\r\nLineColor=5\r\nPolyColor=6\r\n",
         [](const Settings& s) { return s.kml.LineColor * 10 + s.kml.PolyColor; }, 46},
        {"no trailing newline", "[KML]\nPolyOpacity=2", [](const Settings& s) { return int{s.kml.PolyOpacity}; }, 2},
        {"lone CR ends a line", "[KML]\rLineColor=3\rPolyColor=4", [](const Settings& s) { return s.kml.LineColor * 10 + s.kml.PolyColor; }, 34},
        {"blanks trimmed", "  [ KML ]  \n\t LineColor \t=  3  \n", [](const Settings& s) { return int{s.kml.LineColor}; }, 3},
        {"junk lines skipped", "garbage\n[KML\n=7\nLineColor\n[KML]\n;LineColor=6\nLineColor=5\n",
         [](const Settings& s) { return int{s.kml.LineColor}; }, 5},
        {"keys before a section ignored", "LineColor=5\n[KML]\n", [](const Settings& s) { return int{s.kml.LineColor}; }, 0},
        {"huge value gives the default", "[KML]\nPolyColor=123456789012345678901234567890\n",
         [](const Settings& s) { return int{s.kml.PolyColor}; }, 2},
        {"keys of other sections stay there", "[KML]\nLineColor=4\n[Junk]\nLineColor=5\n[kml]\nPolyColor=3\n",
         [](const Settings& s) { return s.kml.LineColor * 10 + s.kml.PolyColor; }, 43},
        {"missing section gives defaults", "[Other]\nLineWidth=3\n", [](const Settings& s) { return int{s.kml.PolyOpacity}; }, 1},
        {"binary junk", std::string("\0\xff[\x01]\n\x80=\x90\n[KML]\nExtrudePoly=0", 29), [](const Settings& s) { return int{s.kml.ExtrudePoly}; }, 0},
        {"negative unit reads as 0", "[Units]\r\nSpeed=-1\r\n", [](const Settings& s) { return int{s.units.Speed}; }, 0},
        {"byte-order mark before [Limits]", "\xEF\xBB\xBF[Limits]\r\nRpmMax=2700\r\n",
         [](const Settings& s) { return int(s.limits[LimitKey::RpmMax].value_or(0)); }, 2700},
        {"byte-order mark before [KML]", "\xEF\xBB\xBF[KML]\rLineColor=3\r", [](const Settings& s) { return int{s.kml.LineColor}; }, 3},
        {"merge seconds", "[Limits]\nExceedanceMergeSeconds=30\n", [](const Settings& s) { return int(s.limits.mergeSeconds.value); }, 30},
        {"merge seconds by default", "[Limits]\nRpmMax=1\n", [](const Settings& s) { return int(s.limits.mergeSeconds.value); }, 10},
        {"merge seconds digits only", "[Limits]\nExceedanceMergeSeconds=-1\n", [](const Settings& s) { return int(s.limits.mergeSeconds.value); }, 10},
        {"minimum seconds digits only", "[Limits]\nExceedanceMinSeconds=1.5\n", [](const Settings& s) { return int(s.limits.minSeconds.value); }, 0},
        {"minimum seconds huge", "[Limits]\nExceedanceMinSeconds=99999999999999999999\n",
         [](const Settings& s) { return int(s.limits.minSeconds.value == kSecondsCeiling); }, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(c.get(LoadFrom(c.ini)), c.expected) << c.what;
}

TEST(SettingsLoad, MissingOrUnreadableFileGivesDefaults) {
    TempFolder dir;
    Settings s;
    s.kml.LineColor = 5;
    std::string flight = "stale";
    LoadSettings(dir / "none.INI", s, flight);
    EXPECT_EQ(s.kml.LineColor, 0);
    EXPECT_EQ(s.kml.PolyColor, 2);
    EXPECT_EQ(s.kml.ExtrudePoly, 1);
    EXPECT_EQ(flight, "");

    std::filesystem::create_directory(dir / "Krelby.INI");  // a folder where the file should be
    s.kml.PolyOpacity = 0;
    EXPECT_THROW(LoadSettings(dir / "Krelby.INI", s, flight), Error);  // reported, defaults kept
    EXPECT_EQ(s.kml.PolyOpacity, 1);
    EXPECT_EQ(s.selection.Count(), 0);
}

TEST(SettingsLoad, CurrentFilenameTextLimit) {
    std::string flight;
    LoadFrom("[General]\r\nCurrentFilename= /a b/c.FLT \r\n", &flight);
    EXPECT_EQ(flight, "/a b/c.FLT");
    LoadFrom("[General]\r\nCurrentFilename=" + std::string(5000, 'x') + "\r\n", &flight);
    EXPECT_EQ(flight.size(), kIniTextLimit);
    LoadFrom("[General]\r\nCurrentFilename=" + std::string(2046, 'x') + " y\r\n", &flight);
    EXPECT_EQ(flight, std::string(2046, 'x'));  // cut, then trimmed, so it saves and reads back alike
}

TEST(SettingsSave, NewFileHasAllKeysInOrder) {
    TempFolder dir;
    Settings s;
    s.kml.LineColor = 9;
    s.kml.LineWidth = 200;
    s.units.Altitude = -1;
    s.thermocouples[47] = 255;
    s.selection.Set(193, true);
    s.general.View3D = true;
    SaveSettings(dir / "Krelby.INI", s, "/f/2024.FLT");

    const auto lines = CrlfLines(ReadFile(dir / "Krelby.INI"));
    std::vector<std::string> sections, keys;
    for (const auto& l : lines) {
        if (l.empty()) continue;
        if (l[0] == '[')
            sections.push_back(l);
        else
            keys.push_back(l);
    }
    EXPECT_EQ(sections, (std::vector<std::string>{"[KML]", "[Units]", "[ZEDA1]", "[ZEDA2]", "[ZEDA3]", "[ZEDA4]",
                                                  "[DataSelections]", "[General]"}));
    ASSERT_EQ(keys.size(), 281u);
    EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + 7),
              (std::vector<std::string>{"LineWidth=200", "LineColor=9", "LineOpacity=0", "Clamp2GND=0",
                                        "ExtrudePoly=1", "PolyColor=2", "PolyOpacity=1"}));
    EXPECT_EQ(keys[7], "Altitude=-1");
    EXPECT_EQ(keys[17], "GeoPos=0");
    EXPECT_EQ(keys[18], "TC0=0");
    EXPECT_EQ(keys[65], "TC11=255");
    EXPECT_EQ(keys[66], "Selection1=0");
    EXPECT_EQ(keys[66 + 192], "Selection193=1");
    EXPECT_EQ(keys[278], "Selection213=0");
    EXPECT_EQ(keys[279], "CurrentFilename=/f/2024.FLT");
    EXPECT_EQ(keys[280], "3DView=1");
}

TEST(SettingsSave, RoundTripKeepsValues) {
    TempFolder dir;
    const std::string path = dir / "Krelby.INI";
    WriteFile(path, "[KML]\nLineColor=9\n[Units]\nAltitude=70000\n[General]\n3DView=5\nCurrentFilename=/x/y.FLT\n");
    Settings s;
    std::string flight;
    LoadSettings(path, s, flight);
    SaveSettings(path, s, flight);
    const std::string text = ReadFile(path);
    EXPECT_NE(text.find("LineColor=9\r\n"), std::string::npos);
    EXPECT_NE(text.find("Altitude=4464\r\n"), std::string::npos);
    EXPECT_NE(text.find("3DView=1\r\n"), std::string::npos);

    Settings again;
    std::string flight2;
    LoadSettings(path, again, flight2);
    EXPECT_EQ(flight2, "/x/y.FLT");
    EXPECT_EQ(again.kml.LineColor, 9);
    EXPECT_EQ(again.units.Altitude, 4464);
    EXPECT_TRUE(again.general.View3D);
}

TEST(SettingsSave, KeepsUnknownKeysAndSections) {
    TempFolder dir;
    const std::string path = dir / "Krelby.INI";
    WriteFile(path, "[Window]\nLeft=10\nLeft=20\n[kml]\nlinecolor=3\nTrail=on\n");
    SaveSettings(path, Settings{}, "");
    const std::string text = ReadFile(path);
    EXPECT_NE(text.find("LineColor=0\r\nLineOpacity"), std::string::npos);  // ours replaces theirs
    EXPECT_EQ(text.find("linecolor"), std::string::npos);
    EXPECT_NE(text.find("PolyOpacity=1\r\nTrail=on\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Window]\r\nLeft=10\r\n"), std::string::npos);
    EXPECT_EQ(text.find("Left=20"), std::string::npos);
    EXPECT_LT(text.find("[General]"), text.find("[Window]"));
}

TEST(SettingsSave, PathWithLineBreakCannotAddKeys) {
    TempFolder dir;
    const std::string path = dir / "Krelby.INI";
    SaveSettings(path, Settings{}, "/a.FLT\r\n3DView=1");
    Settings s;
    std::string flight;
    LoadSettings(path, s, flight);
    EXPECT_EQ(flight, "/a.FLT");
    EXPECT_FALSE(s.general.View3D);
}

// A save that fails must not leave a half-written settings file behind.
TEST(SettingsSave, FailedSaveLeavesPreviousFileWhole) {
    TempFolder dir;
    const std::string path = dir / "Krelby.INI";
    const std::string previous = "[KML]\r\nLineColor=3\r\n";
    Settings s;
    s.kml.LineColor = 6;

    auto expectFailure = [&](const char* what) {
        try {
            SaveSettings(path, s, "");
            ADD_FAILURE() << what << ": no error";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "Unable to write to " + path) << what;
        }
        EXPECT_EQ(ReadFile(path), previous) << what;
    };

    // The new file cannot be made beside the old one.
    WriteFile(path, previous);
    std::filesystem::create_directories(dir / "Krelby.INI.new/blocked");
    expectFailure("blocked new file");
    std::filesystem::remove_all(dir / "Krelby.INI.new");
    WriteFile(dir / "Krelby.INI.new", "left by a save that was cut short");

    // A settings file marked read-only is left alone.
    ::chmod(path.c_str(), 0444);
    expectFailure("read-only file");
    ::chmod(path.c_str(), 0644);

    SaveSettings(path, s, "");
    EXPECT_NE(ReadFile(path).find("LineColor=6"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "Krelby.INI.new"));

    EXPECT_THROW(SaveSettings(dir / "missing/Krelby.INI", s, ""), Error);
}

TEST(Limits, ValueRuleAndText) {
    const struct {
        const char* text;
        std::optional<double> value;
    } reads[] = {
        {"2.75", 2.75}, {"-10", -10}, {"230", 230}, {"0.0001", 0.0001}, {"007", 7},
        {"", {}},       {"1e3", {}},  {"2,75", {}}, {"+5", {}},         {"2.", {}},
        {".5", {}},     {"-", {}},    {"1 2", {}},  {"0x10", {}},       {"inf", {}},
    };
    for (const auto& c : reads) EXPECT_EQ(ParseLimit(c.text), c.value) << c.text;
    // Within a million either way; a well-formed number beyond is refused as out of range.
    const std::string digits401 = "1" + std::string(400, '0');
    const struct {
        std::string text;
        LimitRead read;
    } ranges[] = {{"1000000", LimitRead::Ok},           {"-1000000.0000", LimitRead::Ok},
                  {"1000000.0001", LimitRead::OutOfRange}, {"-" + digits401, LimitRead::OutOfRange},
                  {digits401 + ".5", LimitRead::OutOfRange}, {"", LimitRead::Empty}, {"1e300", LimitRead::NotANumber}};
    for (const auto& c : ranges) {
        double v = 0;
        EXPECT_EQ(ReadLimit(c.text, v), c.read) << c.text;
    }
    // Written in full, as the rule compares it: more than 4 decimals are kept.
    const struct {
        double value;
        const char* text;
    } writes[] = {{2.75, "2.75"},           {230, "230"},          {700.5, "700.5"},       {2.123456, "2.123456"},
                  {-10, "-10"},             {0.00004, "0.00004"},  {-0.00004, "-0.00004"}, {1e-4, "0.0001"},
                  {2700.99999, "2700.99999"}, {-0.0, "0"},         {1e6, "1000000"}};
    for (const auto& c : writes) EXPECT_EQ(LimitText(c.value), c.text) << c.value;
    EXPECT_EQ(RoundedLimit(204.44444444444446), 204.4444);
    EXPECT_EQ(RoundedLimit(-0.00004), 0.0);
}

// Read as written, a bad value kept for the pilot to mend, a cleared limit emptied, none
// set: no section at all.
TEST(Limits, LoadWarnsAndSaveWritesBackAsRead) {
    TempFolder dir;
    const std::string path = dir / "Krelby.INI";
    const std::string huge = "-1" + std::string(400, '0');
    WriteFile(path, "[Limits]\r\nOilPressureMin=2.50\r\nChtMax=2,75\r\nEgtMax=\r\nRpmMax=2700\r\nMapMax=" + huge +
                        "\r\nExceedanceMinSeconds=ten\r\n");
    Settings s;
    std::string flight;
    EXPECT_EQ(LoadSettings(path, s, flight),
              "The limit MapMax=" + huge + " in [Limits] is beyond the range -1000000 to 1000000; that limit is off.\n"
              "The limit ChtMax=2,75 in [Limits] is not a number such as 2.75 or -10; that limit is off.\n"
              "ExceedanceMinSeconds=ten in [Limits] is not a whole number of seconds such as 0; 0 is used.");
    EXPECT_EQ(s.limits[LimitKey::MapMax], std::nullopt);
    EXPECT_EQ(s.limits.minSeconds.value, 0);
    EXPECT_EQ(s.limits[LimitKey::OilPressureMin], 2.5);
    EXPECT_EQ(s.limits[LimitKey::ChtMax], std::nullopt);
    EXPECT_EQ(s.limits[LimitKey::EgtMax], std::nullopt);
    s.limits.Set(LimitKey::RpmMax, std::nullopt);
    s.limits.Set(LimitKey::EgtSpreadMax, 30.00001);
    SaveSettings(path, s, flight);
    const std::string text = ReadFile(path);
    EXPECT_NE(text.find("[General]\r\nCurrentFilename=\r\n3DView=0\r\n\r\n[Limits]\r\nRpmMax=\r\nMapMax=" + huge +
                        "\r\nOilPressureMin=2.50\r\nEgtMax=\r\nChtMax=2,75\r\nEgtSpreadMax=30.00001\r\n"
                        "ExceedanceMinSeconds=ten\r\n"),
              std::string::npos)
        << text;

    SaveSettings(dir / "fresh.INI", Settings{}, "");
    EXPECT_EQ(ReadFile(dir / "fresh.INI").find("[Limits]"), std::string::npos);
}

// The window's close: what it changed over the file as it now stands; a file nobody touched
// comes out byte for byte as it was.
TEST(SettingsSave, ChangesMergedOverTheFileAsItNowStands) {
    TempFolder dir;
    const std::string path = dir / "Krelby.INI";
    Settings first;
    first.kml.LineColor = 3;
    first.limits.Set(LimitKey::EgtMax, 735);
    SaveSettings(path, first, "/a.FLT");
    const std::string written = ReadFile(path);
    LoadedSettings loaded;
    LoadSettings(path, loaded.settings, loaded.currentFlightFile);
    SaveChangedSettings(path, loaded.settings, loaded.currentFlightFile, loaded);
    EXPECT_EQ(ReadFile(path), written);

    // Meanwhile by hand: a limit, a unit, and the colour the window changes too.
    std::string edited = written;
    edited.replace(edited.find("Speed=0"), 7, "Speed=2");
    edited.replace(edited.find("LineColor=3"), 11, "LineColor=5");
    WriteFile(path, edited + "\r\n[Extra]\r\nKey=1\r\n");
    WriteFile(path, ReadFile(path).replace(ReadFile(path).find("EgtMax=735"), 10, "EgtMax=740\r\nRpmMax=2700"));
    Settings ours = loaded.settings;
    ours.kml.LineColor = 4;
    ours.units.Altitude = 1;
    SaveChangedSettings(path, ours, "/b.FLT", loaded);
    Settings now;
    std::string flight;
    LoadSettings(path, now, flight);
    EXPECT_EQ(now.kml.LineColor, 4);  // changed here and there: ours
    EXPECT_EQ(now.units.Altitude, 1);
    EXPECT_EQ(now.units.Speed, 2);
    EXPECT_EQ(now.limits[LimitKey::EgtMax], 740);
    EXPECT_EQ(now.limits[LimitKey::RpmMax], 2700);
    EXPECT_EQ(flight, "/b.FLT");
    EXPECT_NE(ReadFile(path).find("[Extra]\r\nKey=1\r\n"), std::string::npos);
}
