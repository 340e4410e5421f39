// The GPX export: one track point per GpsMessage with a position, as map programs read it.
#include <cstdlib>

#include "export/gpx_export.h"
#include "support/cli_run.h"
#include "support/export_fixture.h"

using namespace krelby;
using namespace krelby::exporttest;

namespace {

struct GpxExportTest : ExportTest {
    std::string Export() {
        session.Gpx(folder / "t.gpx");
        return ReadFile(folder / "t.gpx");
    }
    // The output of a command line, or "" when the program is not installed.
    std::string Run(const std::string& command) {
        const krelby::testing::CliRun r = krelby::testing::RunShell(command + " 2>&1");
        return r.status != 0 && r.out.find("not found") != std::string::npos ? std::string() : r.out;
    }
};

}  // namespace

// The track is named after the flight's start, as its file is, and each point carries the
// satellites tracked.
TEST_F(GpxExportTest, PointsWithPositionElevationTimeBeforeThemAndSatellites) {
    session.regional.dateSeparator = '.';
    Flight({GpsAt(1800000, 3600000, 1000, 4).Sealed(),  // before any FlightMessage: no time
            FlightAt(0, 0).Sealed(), GpsAt(-4860000, 27000000, 3281, 9).Sealed(),
            GpsAt(0, 0, 0).Sealed(),                  // no position
            GpsAt(16200001, 0, 0).Sealed(),           // beyond the pole
            GpsAt(9, 18, 0).BadCrc(), FlightAt(0, 7).Sealed(), GpsAt(0, 32400000, -100, 12).Sealed()});
    const std::string doc = Export();
    EXPECT_NE(doc.find("    <name>2024.03.14 10:00:00</name>\r\n    <trkseg>\r\n"
                       "      <trkpt lat=\"10.0000000\" lon=\"20.0000000\"><ele>304.80</ele><sat>4</sat></trkpt>\r\n"
                       "      <trkpt lat=\"-27.0000000\" lon=\"150.0000000\"><ele>1000.05</ele><time>2024-03-14T10:00:00</time><sat>9</sat></trkpt>\r\n"
                       "      <trkpt lat=\"0.0000000\" lon=\"-180.0000000\"><ele>-30.48</ele><time>2024-03-14T10:00:07</time><sat>12</sat></trkpt>\r\n"
                       "    </trkseg>\r\n  </trk>\r\n</gpx>\r\n"),
              std::string::npos)
        << doc;

    const std::string xmllint = Run("xmllint --noout --schema " KRELBY_SOURCE_DIR "/tests/data/gpx.xsd " + (folder / "t.gpx"));
    if (!xmllint.empty()) {
        EXPECT_NE(xmllint.find("validates"), std::string::npos) << xmllint;
    }
    const std::string ogr = Run("ogrinfo -ro -so " + (folder / "t.gpx") + " track_points");
    if (!ogr.empty()) {
        EXPECT_NE(ogr.find("Feature Count: 3"), std::string::npos) << ogr;
    }
}

TEST_F(GpxExportTest, FlightWithoutFlightMessageIsNamedAfterItsFile) {
    Flight({GpsAt(0, 0, 0).Sealed()}, "lone.FLT");
    EXPECT_NE(Export().find("<name>lone</name>\r\n    <trkseg>\r\n    </trkseg>"), std::string::npos);
}
