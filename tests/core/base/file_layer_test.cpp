// The file layer on both systems: folder names beyond ASCII, and a replacement that cannot
// happen leaving the old file whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/error.h"
#include "base/file.h"
#include "export/csv_export.h"
#include "import/import.h"
#include "support/messages.h"
#include "support/shown_flight.h"
#include "support/temp_folder.h"

using namespace krelby;
namespace fs = std::filesystem;

namespace {

// A path from UTF-8 text, which std::filesystem takes as the system's narrow code page on
// Windows otherwise.
fs::path U8(const std::string& s) { return fs::path(std::u8string(s.begin(), s.end())); }

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TEST(FileLayer, FoldersNamedBeyondAsciiImportAndExport) {
    const krelby::testing::TempFolder scratch;
    const std::string folder = scratch / "Flüge éte 飛行記録/";
    fs::create_directories(U8(folder + "Flights_INT"));
    fs::create_directories(U8(folder + "Exports"));
    std::string stream;
    for (int s = 0; s < 3; ++s) {
        const auto f = krelby::testing::FlightFrame().PAltitude(100 * s).Clock(10, 0, s).Date(5, 3, 14).Sealed();
        stream.append(f.begin(), f.end());
    }
    std::string recording;
    for (size_t at = 0; at < stream.size(); at += 508) recording += std::string("\x01\x02\x03\x04", 4) + stream.substr(at, 508);
    std::ofstream(U8(folder + "ZelvoBB.DAT"), std::ios::binary) << recording;

    EXPECT_EQ(ImportRecording(folder + "ZelvoBB.DAT", RecordingKind::Internal, folder, {}, {}).FlightCount, 1);
    const std::string flight = folder + "Flights_INT/5-3-14 100000.FLT";
    EXPECT_EQ(Read(U8(flight)), stream);

    krelby::testing::ShownFlight session;
    session.ProgramFolder = folder;
    session.settings.selection.Set(1, true);
    session.CurrentFlightFile = flight;
    session.Csv();
    EXPECT_EQ(Read(U8(folder + "Exports/5-3-14 100000.CSV")).substr(0, 21), "TimeStamp,PAltitude\r\n");
}

TEST(FileLayer, ReplacingAReadOnlyFileKeepsItWholeOrReplacesItWhole) {
    const krelby::testing::TempFolder scratch;
    const fs::path dir = U8(scratch.path());
    const fs::path target = dir / "kept.CSV";
    std::ofstream(target, std::ios::binary) << "old";
    fs::permissions(target, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    AtomicFile file;
    int err = file.Create(TextOf(target));
    if (err == 0) err = file.Write("new", 3);
    if (err == 0) err = file.Commit();
#ifdef _WIN32
    EXPECT_NE(err, 0);  // Windows will not move a file over a read-only one
    EXPECT_EQ(Read(target), "old");
#else
    EXPECT_EQ(Read(target), err == 0 ? "new" : "old");
#endif
    int entries = 0;
    for (const auto& e : fs::directory_iterator(dir)) entries += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(entries, 1);  // no temporary file left
    fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
}

// A replacement that fails at its last steps (the flush to the disk, the rename) keeps the
// old file and leaves no temporary file: a rename before the flush would already have
// replaced it.
TEST(FileLayer, FailedFlushOrRenameKeepsTheOldFileAndNoTemporary) {
    for (const bool renameFails : {false, true}) {
        const krelby::testing::TempFolder scratch;
        const fs::path dir = U8(scratch.path());
        const fs::path target = dir / "kept.CSV";
        if (!renameFails) std::ofstream(target, std::ios::binary) << "old";
        AtomicFile file;
        ASSERT_EQ(file.Create(TextOf(target)), 0);
        ASSERT_EQ(file.Write("new", 3), 0);
        if (renameFails) {
            fs::create_directory(target);  // a folder with something in it is never replaced
            std::ofstream(target / "inside", std::ios::binary) << "old";
        } else {
            krelby::testing::forcedFlushError = EIO;
        }
        EXPECT_NE(file.Commit(), 0) << renameFails;
        krelby::testing::forcedFlushError = 0;
        EXPECT_EQ(Read(renameFails ? target / "inside" : target), "old") << renameFails;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1) << "temporary left, " << renameFails;
    }
}

// An input is read as long as it was when opened: a recording that grows meanwhile is
// imported as it was, and a file that says it is empty (/proc) is empty.
TEST(FileLayer, InputIsReadAsLongAsItWasWhenOpened) {
    const krelby::testing::TempFolder scratch;
    const fs::path dir = U8(scratch.path());
    const fs::path path = dir / "growing";
    std::ofstream(path, std::ios::binary) << std::string(1000, 'a');
    uint8_t buffer[4096];
    {
        InputFile in(TextOf(path));
        std::ofstream(path, std::ios::binary | std::ios::app) << std::string(1000, 'b');
        EXPECT_EQ(in.Read(buffer, sizeof buffer), 1000u);
        in.Rewind();
        EXPECT_EQ(in.Read(buffer, sizeof buffer), 1000u);
    }  // closed first: Windows removes no open file
#ifdef __linux__
    InputFile proc("/proc/self/pagemap");
    EXPECT_EQ(proc.Read(buffer, sizeof buffer), 0u);
#endif
}
