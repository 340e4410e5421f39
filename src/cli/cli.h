// krelby-cli: the batch program over the core. Each command registers itself.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "format/regional.h"

namespace krelby::cli {

struct Args {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;  // "--name value"
    std::vector<std::string> flags;              // "--name" without value
    bool Flag(const std::string& name) const;
    std::optional<std::string> Option(const std::string& name) const;
};

// Options that take a value; every other "--name" is a flag.
const std::vector<std::string>& ValueOptions();
Args ParseArgs(int argc, char** argv, int first);

using CommandFn = int (*)(const Args&);
struct Command {
    const char* name;
    const char* usage;
    CommandFn run;
};
std::vector<Command>& Commands();
struct Register {
    Register(const char* name, const char* usage, CommandFn fn) { Commands().push_back({name, usage, fn}); }
};

// The program folder, ending in '/': --folder DIR, else the folder of the executable.
std::string ProgramFolder(const Args& args);
// Date, time and decimal separators of the system locale.
Regional SystemRegional();
// Creates Flights_INT, Flights_SD and Exports in the folder, as the window does at start.
void CreateProgramFolders(const std::string& folder);

}  // namespace krelby::cli
