// krelby-cli exceedances: the bundled samples under chosen limits against a reference file,
// the same bytes in every locale; without limits the header alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "support/cli_run.h"
#include "support/temp_folder.h"

using namespace krelby::testing;
namespace fs = std::filesystem;

namespace {

const std::string kReference = KRELBY_SOURCE_DIR "/tests/golden/samples_exceedances.txt";
const std::string kHeader = "item,limit_kind,limit,start,end,duration_s,peak\n";

// Inputs 1-4 EGT, 5-8 CHT, 9-12 Other on monitors 1 and 2.
std::string Kinds() {
    std::string ini;
    for (const char* monitor : {"[ZEDA1]\r\n", "[ZEDA2]\r\n"}) {
        ini += monitor;
        for (int i = 0; i < 12; ++i) ini += "TC" + std::to_string(i) + "=" + std::to_string(i / 4) + "\r\n";
    }
    return ini;
}

}  // namespace

TEST(CliExceedances, SamplesMatchTheReferenceInEveryLocale) {
    TempFolder folder;
    for (const std::string import : {"import " KRELBY_SOURCE_DIR "/samples/ZelvoBB.DAT",
                                     "import --sd " KRELBY_SOURCE_DIR "/samples/Zelvo.REC"})
        ASSERT_EQ(RunCli(import + " -q --folder " + folder.path()).status, 0);
    std::vector<std::string> flights;
    for (const char* sub : {"Flights_INT", "Flights_SD"})
        for (const auto& e : fs::directory_iterator(folder / sub)) flights.push_back(std::string(sub) + "/" + e.path().filename().string());
    std::sort(flights.begin(), flights.end());
    ASSERT_EQ(flights.size(), 6u);

    auto listing = [&](const std::string& env) {
        std::string out;
        for (const std::string& f : flights) {
            const CliRun r = RunCliApart("exceedances '" + (folder / f) + "' --folder " + folder.path(), env);
            EXPECT_EQ(r.status, 0) << r.err;
            out += "== " + f + "\n" + r.out;
        }
        return out;
    };
    WriteFile(folder / "Krelby.INI", Kinds());
    EXPECT_EQ(RunCliApart("exceedances '" + (folder / flights[0]) + "' --folder " + folder.path()).out, kHeader);

    WriteFile(folder / "Krelby.INI", Kinds() + "[Limits]\r\nRpmMax=2650\r\nOilPressureMin=2.72\r\nOilTempMax=80\r\n"
                                               "ChtMax=180\r\nEgtMax=735\r\nEgtSpreadMax=30\r\nMapMax=1e3\r\n"
                                               "ExceedanceMinSeconds=ten\r\n");
    // Each warning on a line of its own, prefixed like the errors.
    const CliRun warned = RunCliApart("exceedances '" + (folder / flights[0]) + "' --folder " + folder.path());
    EXPECT_EQ(warned.err,
              "krelby-cli: warning: The limit MapMax=1e3 in [Limits] is not a number such as 2.75 or -10; that limit "
              "is off.\n"
              "krelby-cli: warning: ExceedanceMinSeconds=ten in [Limits] is not a whole number of seconds such as 0; 0 "
              "is used.\n");
    const std::string got = listing("LC_ALL=C");
    if (std::getenv("KRELBY_UPDATE_GOLDEN")) WriteFile(kReference, got);
    EXPECT_EQ(got, ReadFile(kReference));
    EXPECT_EQ(listing("LC_ALL=de_DE.UTF-8"), got);

    const CliRun missing = RunCliApart("exceedances " + (folder / "none.FLT") + " --folder " + folder.path());
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("\nkrelby-cli: Cannot open flight file "), std::string::npos) << missing.err;
    WriteFile(folder / "empty.FLT", "");
    const CliRun empty = RunCliApart("exceedances " + (folder / "empty.FLT") + " --folder " + folder.path());
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("No flight data in "), std::string::npos) << empty.err;
}
