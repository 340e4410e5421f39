#include <string>
#include <vector>

#include "export/csv_export.h"
#include "support/export_fixture.h"
#include "support/text_lines.h"
#include "base/error.h"
#include "replay/replay.h"

using namespace krelby;
using namespace krelby::exporttest;

namespace {

struct CsvExportTest : ExportTest {
    std::vector<std::string> Export() {
        EXPECT_EQ(session.Csv(), "240314.CSV created in " + folder.path() + "Exports/");
        return krelby::testing::CrlfLines(ReadFile(folder / "Exports/240314.CSV"));
    }
};

}  // namespace

// Each row holds the values decoded from its FlightMessage up to the next one, under its own time.
TEST_F(CsvExportTest, RowValuesCarryTheirOwnTime) {
    Tick({1, 38});
    Flight({FlightAt(0, 0, 1000).Sealed(), GpsAt(0, 0, 0, 7).Sealed(), FlightAt(0, 1, 1100).Sealed(),
            GpsAt(0, 0, 0, 8).Sealed(), FlightAt(0, 2, 1200).Sealed()});
    EXPECT_EQ(Export(), (std::vector<std::string>{"TimeStamp,PAltitude,SatellitesTracked",
                                                  "2024/03/14 10:00:00 ,1000,7", "2024/03/14 10:00:01 ,1100,8",
                                                  "2024/03/14 10:00:02 ,1200,8"}));
}

// Values left at the end of the first pass must not show up before they are decoded again.
TEST_F(CsvExportTest, ValuesClearedBetweenPasses) {
    Tick({1, 38, 193});
    Flight({FlightAt(0, 0, 1000).Sealed(), FlightAt(0, 1, 1100).Sealed(),
            GpsAt(-4860000, 27000000, 0, 9).Sealed()});
    EXPECT_EQ(Export(), (std::vector<std::string>{"TimeStamp,PAltitude,SatellitesTracked,Latitude,Longitude",
                                                  "2024/03/14 10:00:00 ,1000,,,",
                                                  "2024/03/14 10:00:01 ,1100,9,-27.0000000,150.0000000"}));
}

TEST_F(CsvExportTest, NothingTickedGivesTimeStampsOnly) {
    Flight({FlightAt(0, 0).Sealed(), GpsAt(1, 2, 3).Sealed(), FlightAt(0, 1).Sealed()});
    EXPECT_EQ(Export(), (std::vector<std::string>{"TimeStamp", "2024/03/14 10:00:00 ", "2024/03/14 10:00:01 "}));
}

TEST_F(CsvExportTest, SeventeenItemsGiveSixteenColumnsInColumnOrder) {
    Tick({1, 2, 3, 4, 5, 6, 7, 8, 9, 32, 33, 34, 35, 36, 37, 38, 39});
    Flight({GpsAt(0, 0, 0).Sealed(), FlightAt(0, 0).Sealed()});  // GPS items take their slots first
    const auto lines = Export();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              "TimeStamp,PAltitude,BAltitude,ASI,TAS,AOA,VSI,Baro,Local,GPSAltitude,AGL,DownVelocity,"
              "Groundspeed,TrackTrue,Variation,SatellitesTracked,RAIM Horizontal");
    EXPECT_EQ(std::count(lines[1].begin(), lines[1].end(), ','), 16);
}

TEST_F(CsvExportTest, FlightWithoutGoodFlightMessageGivesEmptyFile) {
    Tick({1, 32});
    Flight({GpsAt(1, 2, 3).Sealed(), FlightAt(0, 0).BadCrc()});
    EXPECT_EQ(session.Csv(), "240314.CSV created in " + folder.path() + "Exports/");
    EXPECT_EQ(ReadFile(folder / "Exports/240314.CSV"), "");
}

TEST_F(CsvExportTest, FlightWithoutExtensionGetsACsvNameAndAMessage) {
    Flight({FlightAt(0, 0).Sealed()}, "flight");
    EXPECT_EQ(session.Csv(), "flight.CSV created in " + folder.path() + "Exports/");
    EXPECT_EQ(ReadFile(folder / "Exports/flight.CSV"), "TimeStamp\r\n2024/03/14 10:00:00 \r\n");
}

TEST_F(CsvExportTest, RegionalSeparatorsInRows) {
    session.regional.dateSeparator = '.';
    session.regional.decimalSeparator = ',';
    Tick({1, 5});
    Flight({FlightAt(0, 0, 900).AOA(53).Sealed()});
    EXPECT_EQ(Export(), (std::vector<std::string>{"TimeStamp,PAltitude,AOA", "2024.03.14 10:00:00 ,900,\"5,300\""}));
}

TEST_F(CsvExportTest, UntickedItemLeavesNextExport) {
    Tick({1, 38});
    Flight({FlightAt(0, 0).Sealed(), GpsAt(0, 0, 0, 7).Sealed()});
    EXPECT_EQ(Export()[0], "TimeStamp,PAltitude,SatellitesTracked");
    Tick({38}, false);
    EXPECT_EQ(Export()[0], "TimeStamp,PAltitude");
}

TEST_F(CsvExportTest, NoValidFlightFileWritesNothingAndSaysSo) {
    for (const std::string& current : {std::string(), folder / "gone.FLT", folder.path()}) {
        session.CurrentFlightFile = current;
        EXPECT_FALSE(IsFlightFile(current));
        try {
            session.Csv(folder / "Exports/x.CSV");
            ADD_FAILURE() << current;
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "No valid data file selected yet");
        }
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder / "Exports"));
}

// An export that ends on an error lets go of the replay: later replays write and store nothing.
TEST_F(CsvExportTest, ExportEndingEarlyClearsFlagAndClosesFile) {
    Tick({1});
    const std::string flight = Flight({FlightAt(0, 0, 5).Sealed(), FlightAt(0, 1, 6).Sealed()});
    std::vector<std::string> targets = {folder / "missing/x.CSV"};
    if (std::filesystem::exists("/dev/full")) targets.push_back("/dev/full");
    for (const auto& target : targets) {
        EXPECT_THROW(session.Csv(target), Error) << target;
    }
    session.Show(flight);

    EXPECT_THROW(session.Csv(flight), Error);  // would wipe the flight it reads
    EXPECT_EQ(std::filesystem::file_size(flight), 88u);

    std::filesystem::remove(folder / "Exports");
    EXPECT_THROW(session.Csv(), Error);
}
