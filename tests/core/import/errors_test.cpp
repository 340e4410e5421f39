#include "support/cli_run.h"
#include "support/import_fixture.h"

#include <sys/stat.h>

using namespace krelby;
using namespace krelby::test;

namespace {
std::string Text(const std::function<void()>& fn) {
    try { fn(); } catch (const Error& e) { return e.what(); }
    return "no error";
}
size_t OpenFiles() { return size_t(std::distance(fs::directory_iterator("/proc/self/fd"), {})); }
}  // namespace

TEST_F(ImportTest, FileErrorsEndTheImportWithTheirText) {
    WriteFile(root + "rec.dat", Blocks(Flight(0, 3)));
    auto import = [&](const std::string& path) {
        return [&, path] { ImportRecording(path, RecordingKind::Internal, root, {}, checks); };
    };
    EXPECT_EQ(Text(import(root + "missing.dat")), "File not found: " + root + "missing.dat");
    EXPECT_EQ(Text(import(root + "Flights_SD")), "Is a directory: " + root + "Flights_SD");
    fs::remove(root + "Flights_INT");
    EXPECT_EQ(Text(import(root + "rec.dat")), "Path not found: " + root + "Flights_INT");

    // Permissions, as an unprivileged user even when the tests run as root.
    fs::create_directory(root + "Flights_INT");
    chmod(root.c_str(), 0777);
    chmod((root + "Flights_INT").c_str(), 0555);
    auto inChild = [&](const std::string& path) {
        return InChild([&] { import(path)(); return std::string("no error"); }, true);
    };
    EXPECT_EQ(inChild(root + "rec.dat"), "File access denied: " + root + "Flights_INT/5-3-14 100000.FLT");
    chmod((root + "rec.dat").c_str(), 0);
    EXPECT_EQ(inChild(root + "rec.dat"), "File access denied: " + root + "rec.dat");
}

// Disk full: the recording and the flight file are closed, the flights written stay whole.
TEST_F(ImportTest, ErrorClosesRecordingAndFlightFile) {
    WriteFile(root + "rec.dat", Blocks(Cat({Flight(0, 3), Flight(3600, 100), Flight(7200, 3)})));
    const std::string text = InChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &limit);
        const size_t before = OpenFiles();
        const std::string error = Text([&] { ImportRecording(root + "rec.dat", RecordingKind::Internal, root, {}, checks); });
        return error + (OpenFiles() == before ? "" : " (files left open)");
    });
    EXPECT_EQ(text, "Disk full: " + root + "Flights_INT/5-3-14 110000.FLT");
    const auto files = Flights();
    EXPECT_EQ(files.at("5-3-14 100000.FLT"), Flight(0, 3));
    EXPECT_TRUE(files.at("5-3-14 110000.FLT").empty());  // cut back to whole Frames
    EXPECT_EQ(files.count("5-3-14 120000.FLT"), 0u);
}

TEST_F(ImportTest, CliImportPrintsTheMessageOrTheError) {
    WriteFile(root + "rec.dat", Cat({Blocks(Flight(0, 3)), Bytes(512, 0)}));  // ends as an SD card's
    auto run = [&](const std::string& args, int& status) {
        const krelby::testing::CliRun r = krelby::testing::RunShell(std::string(KRELBY_CLI) + " import " + args + " --folder " + root + "new 2>&1");
        status = r.status;
        return r.out;
    };
    int status = -1;
    EXPECT_EQ(run(root + "rec.dat --sd --ignore-checksums", status), "Imported 1 flights.\n");
    EXPECT_EQ(status, 0);
    for (const char* folder : {"Flights_INT", "Flights_SD", "Exports"}) EXPECT_TRUE(fs::is_directory(root + "new/" + folder));
    EXPECT_EQ(Flights("new/Flights_SD").size(), 1u);
    EXPECT_EQ(run(root + "missing.dat", status), "krelby-cli: File not found: " + root + "missing.dat\n");
    EXPECT_EQ(status, 1);
}
