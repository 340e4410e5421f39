// krelby-cli jpeg: the chart of a flight as a JPEG file of the asked size (only where the
// window's chart is built).
#include <sys/wait.h>

#include <cstdio>
#include <map>
#include <string>

#include "support/cli_run.h"
#include "support/export_fixture.h"
#include "support/jpeg_decode.h"
#include "settings/settings_file.h"

using namespace krelby;
using namespace krelby::exporttest;

namespace {

using krelby::testing::CliRun;
CliRun Cli(const std::string& args) { return krelby::testing::RunCli(args, "LC_ALL=C QT_QPA_PLATFORM=offscreen"); }

struct JpegCliTest : ExportTest {
    std::string flight;
    void SetUp() override {
        ExportTest::SetUp();
        if (Cli("").out.find("jpeg FLIGHT") == std::string::npos) GTEST_SKIP() << "built without the chart";
        Settings s;
        s.selection.Set(1, true);
        SaveSettings(folder / "Krelby.INI", s, "");
        flight = Flight({FlightAt(0, 0, 1000).Sealed(), FlightAt(0, 1, 1500).Sealed(), FlightAt(0, 2, 1200).Sealed()});
    }
};

}  // namespace

TEST_F(JpegCliTest, WritesTheChartAtTheAskedSize) {
    struct Case {
        std::string option;
        int w, h;
    };
    std::map<std::string, std::string> pictures;
    for (const Case& c : {Case{"", 1280, 800}, Case{"--size 764x530", 764, 530}, Case{"--size 1x1", 1, 1},
                          Case{"--strips --size 764x530", 764, 530}, Case{"--size 764x530 --track", 764, 530}}) {
        const std::string out = folder / "chart.JPG";
        const CliRun r = Cli("jpeg " + flight + " -o " + out + " --folder " + folder.path() + " " + c.option);
        ASSERT_EQ(r.status, 0) << r.out;
        const auto h = krelby::testing::DecodeJpeg(ReadFile(out));
        EXPECT_EQ(h.width, c.w);
        EXPECT_EQ(h.height, c.h);
        EXPECT_EQ(h.components, 3);
        EXPECT_TRUE(h.progressive);
        pictures[c.option] = ReadFile(out);
    }
    EXPECT_NE(pictures["--strips --size 764x530"], pictures["--size 764x530"]);  // the strip view is drawn
}

TEST_F(JpegCliTest, BadSizesAndPlacesAreReported) {
    const std::string out = folder / "chart.JPG";
    for (const char* size : {"0x10", "10", "10x", "axb", "10x10x", "-5x5", "99999x10", "8193x10", "10x8193"}) {
        const CliRun r = Cli("jpeg " + flight + " -o " + out + " --folder " + folder.path() + " --size " + size);
        EXPECT_EQ(r.status, 2) << size;
        EXPECT_NE(r.out.find("Invalid size"), std::string::npos) << r.out;
    }
    const std::string nowhere = folder / "missing/chart.JPG";
    const CliRun r = Cli("jpeg " + flight + " -o " + nowhere + " --folder " + folder.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "krelby-cli: Cannot create file " + nowhere + "\n");
    EXPECT_FALSE(std::filesystem::exists(out));
}
