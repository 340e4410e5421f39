// krelby-cli: the batch program over the core. Each command registers itself.
#pragma once
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/regional.h"
#include "base/system.h"
#include "replay/session.h"

namespace krelby::cli {

struct Args {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;  // "--name value"
    std::vector<std::string> flags;              // "--name" without value
    bool Flag(const std::string& name) const;
    std::optional<std::string> Option(const std::string& name) const;
};

using CommandFn = int (*)(const Args&);
struct Command {
    const char* name;
    const char* usage;    // the arguments, e.g. "FLIGHT -o FILE [--folder DIR]"
    const char* summary;  // one line for --help
    CommandFn run;
    std::vector<std::string> flags;         // options without a value
    std::vector<std::string> valueOptions;  // options followed by a value
};
std::vector<Command>& Commands();
struct Register {
    explicit Register(Command c) { Commands().push_back(std::move(c)); }
};

// The command's arguments; an option it does not know, or one without its value, is a
// UsageError.
Args ParseArgs(const Command& command, int argc, char** argv, int first);

// A mistake in the command line: usage on stderr, exit code 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The program folder, ending in '/': --folder DIR, else the folder of the executable.
// An empty --folder is a UsageError.
std::string ProgramFolder(const Args& args);
// ProgramFolder, created when it does not exist yet (UsageError when it cannot be).
std::string WritableProgramFolder(const Args& args);
// A session as the window starts one: program folder, regional separators, and the
// settings of the folder's Krelby.INI (read, never written; a warning goes to stderr).
Session FolderSession(const Args& args);
// Throws "No flight data in FLIGHT" when the flight file exists but holds no good Frame.
void RequireFlightData(const Session& session, const std::string& flight);
// Creates Flights_INT, Flights_SD and Exports in the folder, as the window does at start.
void CreateProgramFolders(const std::string& folder);

}  // namespace krelby::cli
