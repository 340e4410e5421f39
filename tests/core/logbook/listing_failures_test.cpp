// The listing when things go wrong around it: a worker out of memory, a full disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <new>

#include "support/cli_run.h"
#include "support/messages.h"
#include "support/temp_folder.h"
#include "logbook/columns.h"
#include "logbook/logbook.h"

using namespace krelby;
using namespace krelby::testing;
namespace fs = std::filesystem;

namespace {

Frame Fm(int s) { return FlightFrame().ClockAt(36000 + s).Date(14, 3, 24).Sealed(); }

struct LogbookFailing : ::testing::Test {
    TempFolder folder;
    ThermocoupleKinds kinds{};
    void SetUp() override { fs::create_directory(folder / "Flights_INT"); }
};

}  // namespace

// A worker that runs out of memory never ends the program: that flight is listed without its
// figures, with a warning, and the others as usual.
TEST_F(LogbookFailing, WorkerOutOfMemoryListsTheFlightWithAWarning) {
    WriteFrames(folder / "Flights_INT/a.FLT", {Fm(0)});
    WriteFrames(folder / "Flights_INT/b.FLT", {Fm(60)});
    krelby::testing::summarizeFlight = [](const std::string& path, const ThermocoupleKinds& k, const Limits& l) {
        if (path.find("b.FLT") != std::string::npos) throw std::bad_alloc();
        return SummarizeFlight(path, k, l);
    };
    std::string warnings;
    LogbookOptions o;
    o.warn = [&](const std::string& w) { warnings += w + "\n"; };
    const std::string csv = LogbookCsv(ListFlights(folder.path(), kinds, o));
    krelby::testing::summarizeFlight = nullptr;
    EXPECT_NE(csv.find("\nFlights_INT/a.FLT,1,2024-03-14T10:00:00,"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\nFlights_INT/b.FLT,1" + std::string(LogbookColumns().size(), ',') + "\n"), std::string::npos) << csv;
    EXPECT_EQ(warnings, "Not enough memory to read " + (folder / "Flights_INT/b.FLT") + "; it is listed without its figures\n");
}

// On a full disk the cache cannot be brought up to date: the listing says so, and is right.
// A small file system of its own in a mount namespace; skipped where there is none.
TEST_F(LogbookFailing, FullDiskIsSaidAndTheListingIsRight) {
    const std::string disk = folder / "disk", cli = KRELBY_CLI;
    fs::create_directory(disk);
    const std::string fill = "dd if=/dev/zero of=" + disk + "/fill bs=1k 2>/dev/null; ";
    const std::string script =
        "mount -t tmpfs -o size=600k none " + disk + " || exit 99; " + cli + " import " KRELBY_SOURCE_DIR
        "/samples/ZelvoBB.DAT -q --folder " + disk + " || exit 98; " + fill + cli + " flights --folder " + disk +
        "; rm " + disk + "/fill " + disk + "/Logbook.sqlite*; " + cli + " flights -q --folder " + disk + " >/dev/null; " +
        "mv '" + disk + "/Flights_INT/5-3-14 094117.FLT' " + disk + "/Flights_INT/new.FLT; " + fill + cli +
        " flights --folder " + disk;
    const auto r = krelby::testing::RunShell("unshare --mount sh -c \"" + script + "\" 2>&1");
    if (r.status == 99 || r.out.find("unshare:") == 0) GTEST_SKIP() << "no mount namespace here: " << r.out;
    const std::string said = "krelby-cli: warning: The disk holding " + disk +
                             "/Logbook.sqlite is full, so it was not brought up to date; the flights are listed all the "
                             "same, and right\n";
    ASSERT_EQ(r.status, 0) << r.out;
    for (size_t at = 0, n = 0; n < 2; ++n) {
        at = r.out.find(said, at);
        ASSERT_NE(at, std::string::npos) << n << ": " << r.out;
        at += said.size();
        // The listing that follows: the header and three flights.
        const size_t next = r.out.find("krelby-cli: warning: ", at);
        const std::string listing = r.out.substr(at, next == std::string::npos ? std::string::npos : next - at);
        EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 4) << listing;
        EXPECT_NE(listing.find(n == 0 ? "Flights_INT/5-3-14 094117.FLT," : "Flights_INT/new.FLT,"), std::string::npos);
    }
}
