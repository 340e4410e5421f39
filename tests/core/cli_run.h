// Runs build/krelby-cli as a user would, capturing what it prints and its exit code.
#pragma once
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace krelby::testing {

struct CliRun {
    int status = -1;
    std::string out;  // stdout and stderr together
};

// `env` is prefixed to the command line (e.g. "LC_ALL=C").
inline CliRun RunCli(const std::string& args, const std::string& env = "LC_ALL=C") {
    CliRun r;
    FILE* p = popen((env + " " + KRELBY_CLI + " " + args + " 2>&1").c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

}  // namespace krelby::testing
