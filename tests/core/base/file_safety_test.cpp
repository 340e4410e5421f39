// Flight files are the pilot's only copy once the display has overwritten its recording:
// nothing the program does, or dies in the middle of, may destroy one.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "base/file.h"
#include "support/cli_run.h"
#include "export/csv_export.h"
#include "support/temp_folder.h"
#include "base/error.h"
#include "gen/generator.h"
#include "import/import.h"
#include "settings/ini_file.h"
#include "settings/settings_file.h"
#include "support/shown_flight.h"

using namespace krelby;
using krelby::testing::ReadFile;
using krelby::testing::TempFolder;
using krelby::testing::WriteFile;
namespace fs = std::filesystem;

namespace {

using Files = std::map<std::string, std::string>;

// Every entry of a folder, hidden ones too, with its bytes.
Files Listing(const std::string& folder) {
    Files out;
    for (const auto& e : fs::directory_iterator(folder)) out[e.path().filename()] = ReadFile(e.path());
    return out;
}

// Runs `fn` in a child process and says whether the child was killed by SIGKILL.
bool KilledInChild(const std::function<void()>& fn) {
    const pid_t pid = fork();
    if (pid == 0) {
        try { fn(); } catch (...) { _exit(1); }
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

struct Reimport : ::testing::Test {
    TempFolder folder;
    std::string recording = folder / "ZelvoBB.DAT";
    std::string flights = folder / "Flights_INT";
    Files reference;

    void SetUp() override {
        fs::create_directory(flights);
        gen::RecordingOptions o;
        o.flights = 5;
        o.secondsPerFlight = 900;
        o.wrap = true;  // the second pass joins the file's start to the last flight
        const auto bytes = gen::Recording(o);
        WriteFile(recording, std::string(bytes.begin(), bytes.end()));
        reference = Import();
        ASSERT_EQ(opened, reference.size() + 1);  // the first flight was joined to the last
    }
    Files Import(const Progress& progress = {}) {
        opened = size_t(ImportRecording(recording, RecordingKind::Internal, folder.path(), {}, {}, progress).FlightCount);
        return Listing(flights);
    }
    size_t opened = 0;
    // Every flight of the earlier import is there, whole; the only other flight file may be
    // the first flight, written again before the second pass took it into the last one.
    void ExpectFlightsWhole(const std::string& when) {
        for (const auto& [name, bytes] : Listing(flights)) {
            if (name[0] == '.') continue;  // a killed import's temporary file
            if (reference.count(name)) {
                EXPECT_TRUE(bytes == reference.at(name)) << name << " damaged " << when;
            }
        }
        size_t present = 0;
        for (const auto& [name, bytes] : reference) present += fs::exists(flights + "/" + name);
        EXPECT_EQ(present, reference.size()) << "a flight is missing " << when;
    }
};

}  // namespace

// A re-import killed at any moment (while a flight is written, at every rename into place,
// and between the last flight's rename and the removal of the first flight it took over)
// leaves every earlier flight file whole; the next import tidies up and gives the same files.
TEST_F(Reimport, KilledAnywhereLosesNoFlight) {
    int renames = 0;
    for (int k = 1;; ++k) {
        const bool killed = KilledInChild([&] {
            static int count;
            static int at;
            count = 0;
            at = k;
            krelby::testing::afterCommit = [](const std::string&) { if (++count == at) raise(SIGKILL); };
            Import();
        });
        if (!killed) break;
        renames = k;
        ExpectFlightsWhole("after rename " + std::to_string(k));
    }
    EXPECT_EQ(size_t(renames), opened);
    for (int step = 1; step <= 8; ++step) {
        const bool killed = KilledInChild([&] {
            int calls = 0;
            Import([&](uint64_t, uint64_t) { if (++calls == step) raise(SIGKILL); });
        });
        if (!killed) break;
        ExpectFlightsWhole("after read " + std::to_string(step));
    }
    EXPECT_TRUE(Import() == reference);  // no temporary file or stray first flight stays
}

// A write failure keeps an earlier file of the same name as it was; a flight without one
// keeps the whole Frames that were written.
TEST_F(Reimport, WriteFailureKeepsTheEarlierFile) {
    ASSERT_FALSE(KilledInChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 << 10, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            Import();
        } catch (const Error& e) {
            if (std::string(e.what()).rfind("Disk full: ", 0) == 0) _exit(0);
        }
        _exit(1);
    }));
    ExpectFlightsWhole("after a write failure");
    for (const auto& entry : Listing(flights)) EXPECT_NE(entry.first[0], '.') << "temporary file left";
}

// An export reads the one flight file it opened, so a re-import replacing it meanwhile can
// neither empty nor mix the result, and never does an export report success on less.
TEST_F(Reimport, ExportRacingImportsIsWholeOrAnError) {
    krelby::testing::ShownFlight session;
    session.ProgramFolder = folder.path();
    session.settings.selection.Set(1, true);
    session.CurrentFlightFile = flights + "/" + reference.begin()->first;
    const std::string out = folder / "out.CSV";
    session.Csv(out);
    const std::string expected = ReadFile(out);

    const pid_t importer = fork();
    if (importer == 0) {
        for (int i = 0; i < 40; ++i) {
            try { Import(); } catch (...) { _exit(1); }
        }
        _exit(0);
    }
    int exports = 0, status = 0;
    while (waitpid(importer, &status, WNOHANG) == 0 && exports < 400) {
        ++exports;
        fs::remove(out);
        try {
            session.Csv(out);
            ASSERT_TRUE(ReadFile(out) == expected) << "export " << exports;
        } catch (const Error&) {
        }
    }
    waitpid(importer, &status, 0);
    EXPECT_GT(exports, 1);
}

namespace {

using krelby::testing::CliRun;

struct SafetyCli : ::testing::Test {
    TempFolder folder;
    std::string flight;
    std::string recording = std::string(KRELBY_SOURCE_DIR) + "/samples/ZelvoBB.DAT";
    void SetUp() override {
        fs::create_directory(folder / "Flights_INT");
        ASSERT_EQ(Cli("import " + recording).status, 0);
        for (const auto& e : fs::directory_iterator(folder / "Flights_INT")) flight = e.path();
        Settings s;
        s.selection.Set(1, true);
        SaveSettings(folder / "Krelby.INI", s, "");
    }
    // Within a time limit, so that a command that hangs fails instead of stopping the tests.
    CliRun Cli(const std::string& args) {
        return krelby::testing::RunCli(args + " --folder '" + folder.path() + "'",
                                       "LC_ALL=C QT_QPA_PLATFORM=offscreen timeout 5");
    }
};

}  // namespace

// Every export refuses to write over the flight it exports, however the name leads to it.
TEST_F(SafetyCli, ExportsNeverWriteOverTheirFlight) {
    const std::string before = ReadFile(flight);
    fs::create_hard_link(flight, folder / "hard.FLT");
    fs::create_symlink(flight, folder / "soft.FLT");
    std::vector<std::string> commands = {"csv", "kml", "gpx"};
    if (Cli("").out.find("jpeg FLIGHT") != std::string::npos) commands.push_back("jpeg");  // where the chart is built
    for (const std::string& out : {flight, folder / "hard.FLT", folder / "soft.FLT"}) {
        for (const std::string& command : commands) {
            const CliRun r = Cli(command + " '" + flight + "' -o '" + out + "'");
            EXPECT_EQ(r.status, 1) << command << " " << out;
            EXPECT_NE(r.out.find("it is the flight file being exported"), std::string::npos) << r.out;
        }
    }
    EXPECT_TRUE(ReadFile(flight) == before);
    EXPECT_TRUE(fs::is_symlink(folder / "soft.FLT"));
}

// FIFOs, devices, sockets and folders given as recording, flight or settings file are
// refused at once with their name; nothing waits for a writer or reads without end.
TEST_F(SafetyCli, SpecialFilesAreRefusedAtOnce) {
    const std::string fifo = folder / "fifo", zero = folder / "zero", dir = folder / "dir",
                      sock = folder / "sock";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", zero);
    fs::create_directory(dir);
    const int s = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", sock.c_str());
    ASSERT_EQ(bind(s, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);

    for (const std::string& special : {fifo, zero, sock, dir}) {
        const std::string want = (special == dir ? "Is a directory: " : "Not a regular file: ") + special;
        for (const std::string& command : {"import " + special, "csv " + special, "kml " + special + " -o " + (folder / "t.KML"),
                                           "series " + special}) {
            const CliRun r = Cli(command);
            EXPECT_EQ(r.status, 1) << command;
            EXPECT_NE(r.out.find(want), std::string::npos) << command << ": " << r.out;
        }
    }
    for (const std::string& special : {fifo, zero, sock, dir}) {
        fs::remove(folder / "Krelby.INI");
        fs::create_symlink(special, folder / "Krelby.INI");
        const CliRun r = Cli("series '" + flight + "'");
        EXPECT_EQ(r.status, 1) << special;
        const char* kind = special == dir ? "Is a directory: " : "Not a regular file: ";
        EXPECT_NE(r.out.find(kind + folder.path() + "Krelby.INI"), std::string::npos) << r.out;
    }
    close(s);
}

// Files of /proc say they are empty and may hold endless data or block for ever: as a
// recording, a flight, a flight file in the folder or the settings, they are empty at once.
TEST_F(SafetyCli, ProcFilesAreEmptyAtOnce) {
    for (const std::string proc : {"/proc/self/pagemap", "/proc/kmsg"}) {
        if (access(proc.c_str(), R_OK) != 0) continue;
        EXPECT_NE(Cli("import " + proc).status, 124) << proc;
        EXPECT_NE(Cli("series " + proc).status, 124) << proc;
        fs::create_symlink(proc, folder / "Flights_INT/9-9-99.FLT");
        EXPECT_NE(Cli("flights").status, 124) << proc;
        fs::remove(folder / "Flights_INT/9-9-99.FLT");
        fs::rename(folder / "Krelby.INI", folder / "Krelby.INI.kept");
        fs::create_symlink(proc, folder / "Krelby.INI");
        EXPECT_NE(Cli("series '" + flight + "'").status, 124) << proc;
        fs::remove(folder / "Krelby.INI");
        fs::rename(folder / "Krelby.INI.kept", folder / "Krelby.INI");
    }
}

// An import tidies away only what a killed import of its own left: hidden files of the user
// that merely look alike stay.
TEST_F(SafetyCli, ImportRemovesOnlyItsOwnTemporaries) {
    const Files mine = {{".logbook.krelby-backup", "a"}, {".notes.txt.krelby-2024v1", "b"},
                        {".5-3-14 094117.krelby-abc123", "c"}, {".5-3-14 094117.FLT.krelby-backup", "d"},
                        {".5-3-14 094117.FLT.krelby-12-abcdefghi", "e"}, {".5-3-14 094117.FLT.krelby--abcdefghij", "f"}};
    for (const auto& [name, bytes] : mine) WriteFile(folder / ("Flights_INT/" + name), bytes);
    WriteFile(folder / "Flights_INT/.5-3-14 094117 (2).FLT.krelby-4242-Ab12cdEf34", "stale");
    ASSERT_EQ(Cli("import " + recording).status, 0);
    Files hidden;
    for (const auto& [name, bytes] : Listing(folder / "Flights_INT"))
        if (name[0] == '.') hidden[name] = bytes;
    EXPECT_EQ(hidden, mine);
}

// An empty program folder is a mistake on the command line, not the root of the disk.
TEST_F(SafetyCli, EmptyFolderIsAUsageError) {
    const bool hadRootFolders = fs::exists("/Flights_INT") || fs::exists("/Exports");
    for (const std::string& command : {"import " + recording, "csv '" + flight + "'"}) {
        const CliRun r = krelby::testing::RunCli(command + " --folder ''");
        EXPECT_EQ(r.status, 2) << r.out;
        EXPECT_NE(r.out.find("--folder"), std::string::npos) << r.out;
    }
    if (!hadRootFolders) {
        EXPECT_FALSE(fs::exists("/Flights_INT") || fs::exists("/Exports"));
    }
    const CliRun r = krelby::testing::RunCli("import " + recording + " --folder /proc/none");
    EXPECT_EQ(r.status, 2) << r.out;
}

// A CSV export killed half-way, or failing for want of space, leaves the previous CSV whole.
TEST_F(SafetyCli, CutShortExportKeepsThePreviousFile) {
    const std::string out = folder / "Exports/flight.CSV";
    ASSERT_EQ(Cli("csv '" + flight + "' -o '" + out + "'").status, 0);
    const std::string previous = ReadFile(out);
    krelby::testing::ShownFlight session;
    session.ProgramFolder = folder.path();
    session.settings.selection.Set(1, true);
    session.settings.selection.Set(11, true);  // a different file, were it written
    session.CurrentFlightFile = flight;
    EXPECT_TRUE(KilledInChild([&] {
        int calls = 0;  // the last report of the second pass comes before the file is complete
        session.progress = [&](uint64_t done, uint64_t total) { if (done == total && ++calls == 2) raise(SIGKILL); };
        session.Csv(out);
    }));
    EXPECT_FALSE(KilledInChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &limit);
        try { session.Csv(out); } catch (const Error&) { _exit(0); }
        _exit(1);
    }));
    EXPECT_EQ(ReadFile(out), previous);
    // The next export of that file takes away what the killed one left, and nothing that
    // merely looks alike.
    for (const char* name : {".mine.CSV.krelby-abc123", ".flight.CSV.krelby-backup"})
        WriteFile(folder / (std::string("Exports/") + name), "the user's");
    ASSERT_EQ(Cli("csv '" + flight + "' -o '" + out + "'").status, 0);
    EXPECT_EQ(Listing(folder / "Exports"), (Files{{"flight.CSV", previous},
                                                 {".mine.CSV.krelby-abc123", "the user's"},
                                                 {".flight.CSV.krelby-backup", "the user's"}}));
}

// SIGINT or SIGTERM during an export removes its temporary file and ends the program with
// the signal's own status, also when another signal comes while the file is being removed
// (`timeout` sends two).
TEST_F(SafetyCli, InterruptedExportLeavesNoTemporary) {
    const std::string out = folder / "Exports/flight.CSV";
    krelby::testing::ShownFlight session;
    session.ProgramFolder = folder.path();
    session.settings.selection.Set(1, true);
    session.CurrentFlightFile = flight;
    for (const bool twice : {false, true})
        for (const int sig : {SIGINT, SIGTERM}) {
            const pid_t pid = fork();
            if (pid == 0) {
                RemoveTemporariesOnSignals();
                if (twice) krelby::testing::inSignalCleanup = [] { raise(SIGTERM); };
                int calls = 0;  // as above: the second pass's last report, the file being written
                session.progress = [&](uint64_t done, uint64_t total) { if (done == total && ++calls == 2) raise(sig); };
                try { session.Csv(out); } catch (...) {}
                _exit(0);
            }
            int status = 0;
            waitpid(pid, &status, 0);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig << " twice " << twice;
            EXPECT_TRUE(Listing(folder / "Exports").empty()) << sig << " twice " << twice;
        }
}

// Saving through a symbolic link replaces the file it points to; the link stays.
TEST(SettingsFile, SaveThroughALinkKeepsTheLink) {
    TempFolder dir;
    fs::create_directory(dir / "real");
    fs::create_symlink("real/Krelby.INI", dir / "Krelby.INI");
    Settings s;
    s.kml.LineColor = 6;
    SaveSettings(dir / "Krelby.INI", s, "");
    SaveSettings(dir / "Krelby.INI", s, "");
    EXPECT_TRUE(fs::is_symlink(dir / "Krelby.INI"));
    EXPECT_NE(ReadFile(dir / "real/Krelby.INI").find("LineColor=6"), std::string::npos);
}

// Only the first MiB of an overlong settings file is read, and the user is told.
TEST(SettingsFile, OverlongFileIsCutAndReported) {
    TempFolder dir;
    WriteFile(dir / "Krelby.INI", "[KML]\r\nLineColor=4\r\n" + std::string(kIniSizeLimit, ';') + "\r\n[Units]\r\nAltitude=1\r\n");
    Settings s;
    std::string flight;
    const std::string warning = LoadSettings(dir / "Krelby.INI", s, flight);
    EXPECT_NE(warning.find(dir / "Krelby.INI"), std::string::npos);
    EXPECT_EQ(s.kml.LineColor, 4);
    EXPECT_EQ(s.units.Altitude, 0);
}

// The command-line CSV export charts nothing, so its memory does not grow with the flight
// (it held 55 MB for this 78 MB flight when it still filled a chart).
TEST(CsvCliMemory, StaysFlatForALongFlight) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers' own memory would be measured";
#endif
    TempFolder folder;
    fs::create_directory(folder / "Flights_INT");
    gen::RecordingOptions o;
    o.flights = 1;
    o.secondsPerFlight = 40 * 3600;
    o.engineMonitors = 4;
    gen::WriteRecording(folder / "rec.dat", o);
    ImportRecording(folder / "rec.dat", RecordingKind::Internal, folder.path(), {}, {});
    fs::remove(folder / "rec.dat");
    std::string flight;
    for (const auto& e : fs::directory_iterator(folder / "Flights_INT")) flight = e.path();
    Settings s;
    for (int box : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17}) s.selection.Set(box, true);
    SaveSettings(folder / "Krelby.INI", s, "");

    const pid_t pid = fork();
    if (pid == 0) {
        execl(KRELBY_CLI, "krelby-cli", "csv", flight.c_str(), "--folder", folder.path().c_str(), "-o",
              (folder / "out.CSV").c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    ASSERT_EQ(wait4(pid, &status, 0, &usage), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_GT(fs::file_size(folder / "out.CSV"), 10u << 20);
    EXPECT_LT(usage.ru_maxrss, 32 << 10) << "kB";
}
