// Where krelby-cli keeps its folders when none is named: beside itself, but never where the
// system keeps programs.
#include <unistd.h>

#include <cstdlib>

#include "base/system.h"
#include "support/cli_run.h"
#include "support/import_fixture.h"

using namespace krelby;
using namespace krelby::test;

TEST(ProgramsFolder, TheSystemsProgramFoldersAreNeverTheProgramFolder) {
    const krelby::testing::TempFolder own;
    for (const char* f : {"/usr/bin/", "/usr/local/bin/", "/bin/", "/sbin", "/usr/games/", "/opt/krelby/bin/"})
        EXPECT_TRUE(IsProgramsFolder(f)) << f;
    EXPECT_FALSE(IsProgramsFolder(own.path()));
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (own.path() + ":" + path).c_str(), 1);  // root's folder that the shell searches
    EXPECT_EQ(IsProgramsFolder(own.path()), geteuid() == 0);
    setenv("PATH", path.c_str(), 1);
}

// Run by root from a folder of PATH, as an installed copy is: the flights go to the user's data
// folder, and nothing is left beside the program.
TEST_F(ImportTest, ACopyRunFromAFolderOfPathWritesNothingBesideItself) {
    if (geteuid() != 0) GTEST_SKIP() << "a folder of PATH owned by root needs root";
    fs::create_directory(root + "bin");
    fs::copy_file(KRELBY_CLI, root + "bin/krelby-cli");
    WriteFile(root + "rec.dat", Blocks(Flight(0, 3)));
    const auto r = krelby::testing::RunShell("cd " + root + " && env -u XDG_DATA_HOME HOME=" + root + "home PATH=" +
                                             root + "bin:$PATH krelby-cli import rec.dat 2>&1");
    EXPECT_EQ(r.out, "Imported 1 flights.\n");
    EXPECT_EQ(Flights("home/.local/share/Krelby/Flights_INT").size(), 1u);
    EXPECT_EQ(std::distance(fs::directory_iterator(root + "bin"), {}), 1);  // krelby-cli alone
}
