#include "support/replay_fixture.h"
#include "support/cli_run.h"

#include "settings/settings_file.h"

using namespace krelby;
using namespace krelby::testing;

TEST_F(ReplayTest, SeriesCommandPrintsAxesAndPoints) {
    Settings settings;
    for (int box : {9, 1, 3}) settings.selection.Set(box, true);
    settings.units.Altitude = 1;
    SaveSettings(folder / "Krelby.INI", settings, "");
    const std::string flight = WriteFrames(folder / "f.FLT", {FlightAt(0, 0).PAltitude(1000).ASI(1000).OAT(20).Sealed()});

    const CliRun r = RunCli("series " + flight + " --folder " + folder.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "margin 165\n"
              "axis 0 position 0 label ALT x 170\n"
              "axis 1 position -50 label Speed x 120\n"
              "axis 3 position -100 label Temp x 70\n"
              "slot 0 title PALT axis 0 points 1\n45365.416666666664 305\n"
              "slot 1 title ASI axis 1 points 1\n45365.416666666664 62\n"
              "slot 2 title OAT axis 3 points 1\n45365.416666666664 20\n");

    const CliRun missing = RunCli("series " + folder / "none.FLT" + " --folder " + folder.path());
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("none.FLT"), std::string::npos);
}
