// krelby-cli's options as one table: getopt_long reads the command line by it, --help prints
// it, and a test holds krelby-cli(1) and the bash completion to it.
#pragma once
#include <cstdio>
#include <span>

#include "cli/cli.h"

namespace krelby::cli {

struct OptionSpec {
    const char* key;       // the name Args keeps it under and messages use: "--folder", "-o", "-d"
    const char* longName;  // for getopt_long: "folder"
    char shortName;        // 0: long only
    const char* value;     // what follows it ("DIR"); null for a flag
    const char* help;      // one line for --help
};

// Every option, in the order --help lists them. Each command takes those its Command lists,
// and every command --quiet and --help; --version only the program itself.
std::span<const OptionSpec> OptionSpecs();
// Whether `command` takes the option.
bool Takes(const Command& command, const OptionSpec& s);

// `krelby-cli --help`: the commands with their usage and summary, then every option.
void PrintUsage(std::FILE* out);
// `krelby-cli COMMAND --help`: its usage and summary, then (`withOptions`) the options it takes.
void PrintCommandUsage(std::FILE* out, const Command& c, bool withOptions = true);

}  // namespace krelby::cli
