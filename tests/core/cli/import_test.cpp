// krelby-cli import as separate programs meet it: two at once into one folder, a folder held
// by another import, and imports that fail.
#include <chrono>
#include <set>
#include <thread>

#include "base/file.h"
#include "support/cli_run.h"
#include "support/import_fixture.h"

using namespace krelby;
using namespace krelby::test;
using krelby::testing::RunCli;

namespace {

// `count` flights of `recording`, starting in turn at 10:00:00 and 11:00:00, each its own.
std::vector<Bytes> AlternatingFlights(int recording, int count) {
    std::vector<Bytes> flights;
    for (int k = 0; k < count; ++k) {
        Bytes f;
        for (int i = 0; i < 3; ++i) f = Cat({f, Fm(k % 2 * 3600 + i, recording * 100000 + k * 10 + i)});
        flights.push_back(f);
    }
    return flights;
}

Bytes Concatenated(const std::vector<Bytes>& flights) {
    Bytes out;
    for (const Bytes& f : flights) out.insert(out.end(), f.begin(), f.end());
    return out;
}

}  // namespace

// Both imports start together: the second waits for the first, and every flight of both has
// a file of its own (without the folder's lock, 333 to 570 of these 600 were kept).
TEST_F(ImportTest, TwoImportsStartedTogetherKeepEveryFlightOfBoth) {
    std::multiset<Bytes> expected;
    for (int r = 1; r <= 2; ++r) {
        const std::vector<Bytes> flights = AlternatingFlights(r, 300);
        expected.insert(flights.begin(), flights.end());
        WriteFile(root + "rec" + std::to_string(r) + ".dat", Blocks(Concatenated(flights)));
    }
    const std::string import = std::string(KRELBY_CLI) + " import -q --folder " + root + "p " + root;
    const auto r = krelby::testing::RunShell(import + "rec1.dat & a=$!; " + import + "rec2.dat & b=$!; " +
                                             "wait $a; x=$?; wait $b; echo $x $?");
    EXPECT_EQ(r.out, "0 0\n");
    std::multiset<Bytes> kept;
    for (const auto& [name, bytes] : Flights("p/Flights_INT")) kept.insert(bytes);
    EXPECT_EQ(kept.size(), 600u);
    EXPECT_TRUE(kept == expected);
}

TEST_F(ImportTest, AnImportWaitsForTheFolderOrSaysAnotherIsRunning) {
    WriteFile(root + "rec.dat", Blocks(Flight(0, 3)));
    const std::string flights = root + "Flights_INT";
    FileLock other;  // as another import holds it
    ASSERT_EQ(other.TryLock(flights + "/.krelby-import.lock"), 0);
    auto r = RunCli("import --no-wait " + root + "rec.dat --folder " + root);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "krelby-cli: Another import into " + flights + " is running\n");
    EXPECT_EQ(Flights().size(), 1u);  // the lock file alone

    std::thread waiting([&] { r = RunCli("import " + root + "rec.dat --folder " + root); });
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    const size_t whileHeld = Flights().size();
    other.Unlock();
    waiting.join();
    EXPECT_EQ(whileHeld, 1u);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Waiting for another import into " + flights + " to end\nImported 1 flights.\n");
    EXPECT_EQ(Flights().size(), 1u);  // the flight; the lock file went with the lock
}

// An import that fails makes no folder; the other commands do not take a folder that is not
// there for one without settings or flights.
TEST_F(ImportTest, FailedImportsMakeNoFoldersAndAMissingFolderIsAnError) {
    WriteFile(root + "text.dat", "Not a recording at all\r\n");
    const std::string missing = root + "missing";
    struct Case {
        std::string args, out;
    } cases[] = {
        {"import " + root + "none.dat", "krelby-cli: File not found: " + root + "none.dat\n"},
        {"import " + root + "text.dat", "krelby-cli: " + root + "text.dat holds no flight recording\n"},
        {"flights", "krelby-cli: Folder not found: " + missing + "/\n"},
        {"csv " + root + "text.dat", "krelby-cli: Folder not found: " + missing + "/\n"},
    };
    for (const Case& c : cases) {
        const auto r = RunCli(c.args + " --folder " + missing);
        EXPECT_EQ(r.status, 1) << c.args;
        EXPECT_EQ(r.out, c.out) << c.args;
        EXPECT_FALSE(fs::exists(missing)) << c.args;
    }
}
