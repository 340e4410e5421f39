// krelby-cli's manners on every command: --help and -h on stdout with exit 0, --version,
// options in every form getopt_long reads, usage mistakes with exit 2, errors naming the
// program with exit 1, -o - to stdout, --quiet, and output that cannot be written.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "export/exports.h"
#include "support/cli_run.h"
#include "support/export_fixture.h"
#include "settings/settings_file.h"

using namespace krelby;
using namespace krelby::exporttest;
using krelby::testing::CliRun;

namespace {

// Only what the command prints on stdout (`stream` 1) or on stderr (2), and its exit code.
CliRun RunCli(const std::string& args, int stream = 1) {
    const CliRun r = krelby::testing::RunCliApart(args, "LC_ALL=C QT_QPA_PLATFORM=offscreen timeout 20");
    return {r.status, stream == 1 ? r.out : r.err, ""};
}

bool HasJpeg() { return RunCli("--help").out.find("  jpeg ") != std::string::npos; }

// A program folder with its settings, one flight with a GPS track and the sample recording.
struct CliTest : ExportTest {
    std::string flight, recording = std::string(KRELBY_SOURCE_DIR) + "/samples/ZelvoBB.DAT";
    void SetUp() override {
        ExportTest::SetUp();
        Settings s;
        s.selection.Set(1, true);
        SaveSettings(folder / "Krelby.INI", s, "");
        flight = Flight({FlightAt(0, 0, 1000).Sealed(), GpsAt(-4860000, 27000000, 1000).Sealed(),
                         FlightAt(0, 1, 1100).Sealed(), GpsAt(-4860100, 27000100, 1100).Sealed()},
                        "-f.FLT");
        flight = "./-f.FLT";  // relative to the folder, which the commands run in
    }
    CliRun Run(const std::string& args) {
        return krelby::testing::RunCliApart(args, "cd '" + folder.path() + "' && LC_ALL=C QT_QPA_PLATFORM=offscreen timeout 20");
    }
};

}  // namespace

TEST(CliOptions, HelpVersionAndUnknownOptionsOnEveryCommand) {
    const CliRun help = RunCli("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(RunCli("-h").out, help.out);
    EXPECT_EQ(RunCli("--version").out, "krelby-cli " KRELBY_VERSION "\n");
    EXPECT_EQ(RunCli("nonsense").status, 2);
    EXPECT_EQ(RunCli("").status, 2);

    // Every export of the table is a command, with the table's summary.
    std::vector<std::string> commands = {"import", "series", "flights", "exceedances", "analysis"};
    for (const ExportInfo& e : Exports()) commands.emplace_back(e.name);
    for (const std::string& name : commands) {
        if (help.out.find("  " + name + " ") == std::string::npos) {
            EXPECT_TRUE(name == "jpeg" || name == "report") << name << " missing from --help";  // only where the chart is built
            continue;
        }
        for (const char* ask : {" --help", " -h", " x.FLT --help"}) {
            const CliRun r = RunCli(name + ask);
            EXPECT_EQ(r.status, 0) << name << ask;
            EXPECT_EQ(r.out.rfind("usage: krelby-cli " + name + " ", 0), 0u) << r.out;
        }
        if (const ExportInfo* e = ExportNamed(name)) {
            EXPECT_NE(RunCli(name + " -h").out.find(e->summary), std::string::npos) << name;
        }
        const CliRun bad = RunCli(name + " x.FLT --bogus", 2);
        EXPECT_EQ(bad.status, 2) << name;
        EXPECT_EQ(bad.out.rfind("krelby-cli: Unknown option --bogus\nusage: krelby-cli " + name + " ", 0), 0u) << bad.out;
    }
}

// Each mistake in the command line names itself, then gives the usage; exit 2, nothing written.
TEST_F(CliTest, UsageMistakesExitTwo) {
    const struct {
        std::string args, says;
    } cases[] = {
        {"kml " + flight, "Missing -o FILE"},
        {"gpx " + flight + " --folder .", "Missing -o FILE"},
        {"series " + flight + " " + flight, "Unexpected argument ./-f.FLT"},
        {"csv " + flight + " " + flight + " -o x.csv", "-o names one file: the outputs of several flights go to -d DIR"},
        {"kml --all-flights -o x.kml", "-o names one file: the outputs of several flights go to -d DIR"},
        {"gpx --all-flights " + flight, "--all-flights takes no FLIGHT"},
        {"table " + flight + " -o x -d y", "-o and -d cannot be given together"},
        {"table", "Missing FLIGHT"},
        {"table " + flight + " -d ''", "-d needs the name of a folder"},
        {"table " + flight + " --units metric", "Invalid --units metric (recorded, chosen or si)"},
        {"table " + flight + " --format xls", "Invalid --format xls (csv, tsv or jsonl)"},
        {"table " + flight + " --all --items PALT", "--items and --all cannot be given together"},
        {"flights --format jsonl", "Invalid --format jsonl (csv or json)"},
        {"exceedances " + flight + " --format=tsv", "Invalid --format tsv (csv or json)"},
        {"flights x.FLT", "Unexpected argument x.FLT"},
        {"series", "Missing FLIGHT"},
        {"import -q", "Missing RECORDING"},
        {"import - --folder .", "RECORDING must be a file, not standard input (-)"},
        {"csv - -o out.csv", "FLIGHT must be a file, not standard input (-)"},
        {"csv " + flight + " --folder", "Missing value after --folder"},
        {"csv " + flight + " -o ''", "-o needs the name of a file, or - for standard output"},
        {"csv " + flight + " -x", "Unknown option -x"},
        {"csv " + flight + " --size=1x1", "Unknown option --size"},
        {"series " + flight + " -o out.csv", "Unknown option -o"},
        {"import " + recording + " --sd=yes", "Option --sd takes no value"},
        {"jpeg " + flight + " -o out.jpg --size 9000x9000", "Invalid size 9000x9000 (WxH, 1 to 8192)"},
        {"jpeg " + flight + " -o out.jpg --size=10x", "Invalid size 10x (WxH, 1 to 8192)"},
    };
    const bool jpeg = HasJpeg();
    for (const auto& c : cases) {
        const CliRun r = Run(c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        if (!jpeg && c.args.rfind("jpeg", 0) == 0) continue;  // an unknown command there
        const std::string command = c.args.substr(0, c.args.find(' '));
        EXPECT_EQ(r.err.rfind("krelby-cli: " + c.says + "\nusage: krelby-cli " + command + " ", 0), 0u) << r.err;
    }
    for (const char* made : {"out.csv", "out.jpg", "Flights_INT", "x.csv", "x", "y"}) EXPECT_FALSE(std::filesystem::exists(folder / made));
}

// --opt value, --opt=value, -oFILE, -o FILE, --output, options before the operand, and --
// all give the same file; "-o -" gives its bytes on stdout and prints nothing else there.
TEST_F(CliTest, EveryOptionFormAndStandardOutput) {
    std::vector<std::string> commands = {"csv", "kml", "gpx"};
    if (HasJpeg()) commands.push_back("jpeg");
    for (const std::string& c : commands) {
        ASSERT_EQ(Run(c + " " + flight + " -o ref --folder .").status, 0) << c;
        const std::string ref = ReadFile(folder / "ref");
        ASSERT_FALSE(ref.empty()) << c;
        for (const std::string& args : {c + " " + flight + " --folder=. -o a", c + " -oa --folder . " + flight,
                                        c + " -q --output=a --folder . -- -f.FLT", c + " --output a --quiet " + flight + " --folder=."}) {
            std::filesystem::remove(folder / "a");
            const CliRun r = Run(args);
            EXPECT_EQ(r.status, 0) << args << ": " << r.err;
            EXPECT_EQ(ReadFile(folder / "a") == ref, true) << args;
            EXPECT_EQ(r.out.empty(), args.find("-q") != std::string::npos || c == "kml" || c == "gpx") << args;
        }
        const CliRun piped = Run(c + " " + flight + " -o - --folder .");
        EXPECT_EQ(piped.status, 0) << piped.err;
        EXPECT_EQ(piped.out == ref, true) << c;
        EXPECT_FALSE(std::filesystem::exists(folder / "-"));
    }
}

// A failed write to stdout is an error with a message, whatever printed it.
TEST_F(CliTest, UnwritableStandardOutputIsAnError) {
    std::vector<std::string> commands = {"--help", "--version", "csv --help", "import " + recording + " --folder .",
                                         "csv " + flight + " -o x.csv", "kml " + flight + " -o -",
                                         "gpx " + flight + " -o -", "csv " + flight + " -o -",
                                         "series " + flight + " --folder .", "flights --folder ."};
    if (HasJpeg()) commands.push_back("jpeg " + flight + " -o x.jpg");
    for (const std::string& c : commands) {
        for (const char* redirect : {" >&-", " >/dev/full"}) {
            const CliRun r = Run(c + redirect);
            EXPECT_EQ(r.status, 1) << c << redirect;
            EXPECT_EQ(r.err.rfind("krelby-cli: Unable to write to standard output: ", 0), 0u) << c << redirect << ": " << r.err;
        }
    }
    // Quiet, nothing is lost: the import and its flights are whole.
    const CliRun quiet = Run("import " + recording + " --folder q -q >&-");
    EXPECT_EQ(quiet.status, 0) << quiet.err;
    EXPECT_EQ(quiet.err, "");
}

TEST_F(CliTest, MessagesNameTheOutputAndTheFolder) {
    CliRun r = Run("csv " + flight + " -o mine.csv");
    EXPECT_EQ(r.out, "mine.csv created in " + folder.path() + "\n");
    r = Run("flights --folder missing");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "krelby-cli: Folder not found: missing/\n");
    EXPECT_EQ(r.out, "");
    // Not a terminal: no progress; with one, a percentage that is cleared at the end.
    r = Run("import " + recording + " --folder .");
    EXPECT_EQ(r.out, "Imported 3 flights.\n");
    EXPECT_EQ(r.err, "");
    if (std::system("command -v script > /dev/null") == 0) {
        r = krelby::testing::RunShell("cd '" + folder.path() + "' && script -qec '" KRELBY_CLI " import " + recording +
                                      " --folder .' /dev/null");
        EXPECT_NE(r.out.find("\rImporting "), std::string::npos) << r.out;
        EXPECT_NE(r.out.find(" \rImported 3 flights."), std::string::npos) << r.out;
    }
}

// Without /proc the executable's folder is unknown: no folder is guessed, nothing is made.
TEST_F(CliTest, NoExecutableFolderIsAUsageError) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the address sanitizer's runtime needs /proc itself";
#endif
    const CliRun r = krelby::testing::RunCliApart(
        "import " + recording, "cd '" + folder.path() + "' && unshare --mount sh -c 'mount -t tmpfs none /proc && exec \"$0\" \"$@\"'");
    if (r.err.find("unshare") != std::string::npos || r.err.find("mount") != std::string::npos)
        GTEST_SKIP() << "no mount namespace here: " << r.err;
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--folder DIR"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(folder / "Flights_INT"));
    EXPECT_FALSE(std::filesystem::exists("/Flights_INT"));
}

// A program folder the user may not make, or may not look into, is no slip on the command
// line: the system's reason and exit code 1.
TEST_F(CliTest, FolderWithoutPermissionSaysSo) {
    namespace fs = std::filesystem;
    fs::create_directory(folder / "ro");
    fs::create_directory(folder / "locked");
    fs::permissions(folder.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                       fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(folder / "ro", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                       fs::perms::others_exec);
    fs::permissions(folder / "locked", fs::perms::owner_all);
    // Root may write anywhere: the commands run as nobody then.
    const std::string as = geteuid() == 0 ? " setpriv --reuid=65534 --regid=65534 --clear-groups" : "";
    const struct {
        std::string args, says;
    } cases[] = {
        {"import " + recording + " --folder ro/sub", "Cannot use ro/sub/ as the program folder: Permission denied"},
        // An export reads a folder it does not make: one that is not there is not found.
        {"csv " + flight + " --folder ro/sub", "Folder not found: ro/sub/"},
        {"flights --folder locked/sub", "Cannot use locked/sub/ as the program folder: Permission denied"},
    };
    for (const auto& c : cases) {
        const CliRun r = krelby::testing::RunCliApart(c.args, "cd '" + folder.path() + "' && LC_ALL=C" + as);
        EXPECT_EQ(r.status, 1) << c.args << ": " << r.err;
        EXPECT_EQ(r.err, "krelby-cli: " + c.says + "\n") << c.args;
    }
}
