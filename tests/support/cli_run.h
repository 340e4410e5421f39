// Runs build/krelby-cli as a user would, capturing what it prints and its exit code.
#pragma once
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace krelby::testing {

struct CliRun {
    int status = -1;
    std::string out;  // stdout and stderr together (RunCliApart: stdout alone)
    std::string err;  // RunCliApart only
};

// A shell command line's stdout (with its stderr where `line` sends it there) and exit code.
inline CliRun RunShell(const std::string& line) {
    CliRun r;
    FILE* p = popen(line.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

// `env` is put before the program on the shell's command line (e.g. "LC_ALL=C", or
// "cd DIR && LC_ALL=C"); `args` may end in redirections of stdout; `stderrTo` is where
// stderr goes ("&1": with stdout).
inline CliRun RunCli(const std::string& args, const std::string& env = "LC_ALL=C", const std::string& stderrTo = "&1") {
    return RunShell(env + " " + KRELBY_CLI + " " + args + " 2>" + stderrTo);
}

// As RunCli, with stdout and stderr kept apart.
inline CliRun RunCliApart(const std::string& args, const std::string& env = "LC_ALL=C") {
    char errPath[] = "/tmp/krelby-stderr-XXXXXX";
    const int fd = mkstemp(errPath);
    if (fd < 0) return {};
    close(fd);
    CliRun r = RunCli(args, env, errPath);
    std::ifstream in(errPath, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    r.err = s.str();
    std::remove(errPath);
    return r;
}

}  // namespace krelby::testing
