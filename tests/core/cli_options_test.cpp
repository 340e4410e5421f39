// krelby-cli's manners on every command: --help and -h on stdout with exit 0, --version,
// and an unknown option as a usage error (exit 2, usage on stderr).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "cli_run.h"

using krelby::testing::CliRun;

namespace {

// Only what the command prints on stdout (`stream` 1) or on stderr (2), and its exit code.
CliRun RunCli(const std::string& args, int stream = 1) {
    const std::string redirect = stream == 1 ? " 2>/dev/null" : " 2>&1 >/dev/null";
    CliRun r;
    FILE* p = popen(("LC_ALL=C " KRELBY_CLI " " + args + redirect).c_str(), "r");
    if (!p) return r;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) r.out.append(buf, n);
    const int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

}  // namespace

TEST(CliOptions, HelpVersionAndUnknownOptionsOnEveryCommand) {
    const CliRun help = RunCli("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(RunCli("-h").out, help.out);
    EXPECT_EQ(RunCli("--version").out, "krelby-cli " KRELBY_VERSION "\n");
    EXPECT_EQ(RunCli("nonsense").status, 2);
    EXPECT_EQ(RunCli("").status, 2);

    for (const char* command : {"import", "csv", "kml", "gpx", "jpeg", "series", "flights"}) {
        const std::string name = command;
        if (help.out.find("  " + name + " ") == std::string::npos) {
            EXPECT_EQ(name, "jpeg") << "missing from --help";  // only where the chart is built
            continue;
        }
        for (const char* ask : {" --help", " -h", " x.FLT --help"}) {
            const CliRun r = RunCli(name + ask);
            EXPECT_EQ(r.status, 0) << name << ask;
            EXPECT_EQ(r.out.rfind("usage: krelby-cli " + name + " ", 0), 0u) << r.out;
        }
        const CliRun bad = RunCli(name + " x.FLT --bogus", 2);
        EXPECT_EQ(bad.status, 2) << name;
        EXPECT_EQ(bad.out.rfind("Unknown option --bogus\nusage: krelby-cli " + name + " ", 0), 0u) << bad.out;
    }
}
