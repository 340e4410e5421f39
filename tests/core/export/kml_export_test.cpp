#include <string>

#include "export/kml_export.h"
#include "support/export_fixture.h"
#include "base/error.h"
#include "replay/replay.h"

using namespace krelby;
using namespace krelby::exporttest;

namespace {

constexpr const char* kTail = "  </coordinates>\r\n  </LineString>\r\n</Placemark>\r\n</kml>\r\n";

struct KmlExportTest : ExportTest {
    std::string Export() {
        session.Kml(folder / "track.KML");
        return ReadFile(folder / "track.KML");
    }
    static std::string Name(const std::string& doc) {
        size_t a = doc.find("<name>") + 6;
        return doc.substr(a, doc.find("</name>") - a);
    }
    static std::string Body(const std::string& doc) {
        size_t a = doc.find("<coordinates>\r\n") + 15;
        return doc.substr(a);
    }
};

}  // namespace

TEST_F(KmlExportTest, OneCoordinateLinePerGpsMessage) {
    Flight({FlightAt(0, 0).Sealed(), GpsAt(-4860000, 27000000, 1000).Sealed(), GpsAt(-4860000, 27000000, 1000).Sealed(),
            GpsAt(9, 18, 0).BadCrc(), FlightAt(0, 5).Sealed(), GpsAt(1, 0, 0).Sealed()});
    const std::string doc = Export();
    EXPECT_EQ(doc.substr(0, 100).find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"), 0u);
    EXPECT_EQ(Body(doc), std::string("  150,-27,304.800919279573\r\n"
                                     "  150,-27,304.800919279573\r\n"
                                     "  0,5.55555555555556E-6,0\r\n") + kTail);
}

TEST_F(KmlExportTest, FlightWithoutGpsGivesEmptyCoordinates) {
    Flight({FlightAt(0, 0).Sealed()});
    EXPECT_EQ(Body(Export()), kTail);
}

TEST_F(KmlExportTest, CommaDecimalSeparatorStillWritesFullStops) {
    session.regional.decimalSeparator = ',';
    session.regional.dateSeparator = '.';
    Flight({FlightAt(2, 3).Sealed(), GpsAt(-4860000, 27000000, 1000).Sealed()});
    const std::string doc = Export();
    EXPECT_EQ(Body(doc), std::string("  150,-27,304.800919279573\r\n") + kTail);
    EXPECT_EQ(Name(doc), "2024.03.14 10:02:03");
}

// The name is the flight's own time, whatever an earlier replay left in the session.
TEST_F(KmlExportTest, NameNamesTheFlightExported) {
    session.CurrentFlightEnd = 12345.5;  // left by an earlier replay
    Flight({FlightAt(0, 0).Sealed(), GpsAt(0, 0, 0).Sealed(), FlightAt(7, 30).Sealed(), FlightAt(8, 0).BadCrc()});
    EXPECT_EQ(Name(Export()), "2024/03/14 10:07:30");

    krelby::testing::ShownFlight fresh;  // nothing shown since the start: no zero date either
    fresh.ProgramFolder = session.ProgramFolder;
    std::swap(session, fresh);
    Flight({GpsAt(0, 0, 0).Sealed(), FlightAt(0, 0).BadCrc()}, "2024-03-14 1000.FLT");
    EXPECT_EQ(Name(Export()), "2024-03-14 1000");
}

TEST_F(KmlExportTest, OpacityRuleAppliesToTheStyleWritten) {
    session.settings.kml.LineOpacity = 2;
    session.settings.kml.PolyOpacity = 2;
    Flight({});
    EXPECT_NE(Export().find("      <color>ff00ffff</color>\r\n"), std::string::npos);
}

TEST_F(KmlExportTest, ExportEndingEarlyClearsFlagAndClosesFile) {
    session.CurrentFlightFile = folder / "gone.FLT";
    EXPECT_THROW(session.Kml(folder / "track.KML"), Error);
    EXPECT_FALSE(std::filesystem::exists(folder / "track.KML"));

    const std::string flight = Flight({GpsAt(0, 0, 0).Sealed()});
    EXPECT_THROW(session.Kml(folder / "no/track.KML"), Error);
    EXPECT_THROW(session.Kml(flight), Error);  // would wipe the flight it reads
    EXPECT_EQ(std::filesystem::file_size(flight), 56u);
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_THROW(session.Kml("/dev/full"), Error);
    }
}
