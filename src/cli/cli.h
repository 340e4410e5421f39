// krelby-cli: the batch program over the core. Each command registers itself.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/regional.h"
#include "base/system.h"
#include "format/crc32.h"
#include "replay/replay.h"
#include "settings/records.h"

namespace krelby::cli {

// The command line after parsing. Options are kept under their long spelling ("--folder"),
// except -o, kept as "-o"; a later option of the same name wins.
struct Args {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;  // options with a value
    std::vector<std::string> flags;              // options without one
    bool help = false;
    bool Flag(const std::string& name) const;
    std::optional<std::string> Option(const std::string& name) const;
    bool Quiet() const { return Flag("--quiet"); }
};

using CommandFn = std::function<int(const Args&)>;
// What follows a flight's name in the name of its output file (".KML").
using BatchSuffixFn = std::function<std::string(const Args&)>;
struct Command {
    const char* name;
    const char* usage;    // the arguments, e.g. "FLIGHT -o FILE [--folder DIR]"
    const char* summary;  // one line for --help
    CommandFn run;
    // The options it takes besides --help and --quiet, by the names Args keeps them under.
    std::vector<std::string> options;
    const char* operand = nullptr;  // its one file argument ("FLIGHT"), if it has one
    bool needsOutput = false;       // -o FILE cannot be left out
    // Set for a command of one FLIGHT and -o FILE that also takes several FLIGHTs, or
    // --all-flights, with -d DIR: it runs once per flight, each output DIR/NAME + suffix
    // (batch.cpp); Batch() adds the options and the usage.
    BatchSuffixFn batchSuffix = {};
};
// `c` taking several flights: its batchSuffix set to `suffix`, and -d and --all-flights.
Command Batch(Command c, BatchSuffixFn suffix);
// The suffix of a fixed extension: "." + extension.
BatchSuffixFn Suffix(std::string extension);
std::vector<Command>& Commands();
struct Register {
    explicit Register(Command c) { Commands().push_back(std::move(c)); }
};

// The command's arguments (argv[first] onwards, as getopt_long reads them: "--opt value",
// "--opt=value", "-oFILE", "-o FILE", "--" before operands). Throws UsageError for an unknown
// option, a missing value, a missing or extra operand, "-" as the operand and a missing -o.
Args ParseArgs(const Command& command, int argc, char** argv, int first);

// A mistake in the command line: usage on stderr, exit code 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The program folder, ending in '/': --folder DIR, else the folder of the executable (the
// user's data folder for an installed copy). An empty --folder, or no executable folder to
// fall back on, is a UsageError.
std::string ProgramFolder(const Args& args);
// ProgramFolder, created when it does not exist yet (UsageError when it cannot be).
std::string WritableProgramFolder(const Args& args);
// What the commands read from the program folder, as the window starts with it: its path,
// the regional separators, and the settings of its Krelby.INI.
struct FolderSettings {
    std::string folder;  // ends in '/'
    Regional regional;
    Settings settings;
    ChecksumOptions checks;
    ReplayInputs Inputs() const { return {settings, checks}; }
};
// The folder's settings (the INI is read, never written; a warning goes to stderr).
FolderSettings ReadFolderSettings(const Args& args);
// Throws "No flight data in FLIGHT" when the flight file exists but holds no good Frame.
void RequireFlightData(const ChecksumOptions& checks, const std::string& flight);
// --format csv|json of flights and exceedances: whether JSON; a UsageError for another value.
bool JsonFormat(const Args& args);
// Creates Flights_INT, Flights_SD and Exports in the folder, as the window does at start.
void CreateProgramFolders(const std::string& folder);

// Prints a success message on stdout unless --quiet.
void Say(const Args& args, const std::string& text);
// Each line of `text` on stderr as "krelby-cli: warning: LINE", prefixed like the errors.
void Warn(const std::string& text);

// "-o -" and "-o /dev/stdout": the output goes to stdout instead of a file.
inline bool ToStandardOutput(const std::string& out) { return out == "-" || out == "/dev/stdout"; }
// An export to what -o names: standard output, or a device or FIFO (IsSpecialOutput), gets
// the file `write` makes in the temporary folder, once whole, so that a failed export writes
// nothing there; any other name is handed to `write` itself, which writes beside it and
// renames. Throws krelby::Error when the output fails.
void WriteExport(const std::string& out, const std::function<void(const std::string& path)>& write);

// Text written as it is made: to standard output (no -o, or -o -), to a device or FIFO, or to
// a file written beside its target and renamed into place by Close (never over flight data).
class TextOutput {
public:
    // `input`: the flight the text is made of, which the output may not replace.
    TextOutput(const std::optional<std::string>& out, const std::string& input);
    ~TextOutput();
    TextOutput(const TextOutput&) = delete;
    TextOutput& operator=(const TextOutput&) = delete;
    // Throws krelby::Error when the output fails.
    void Write(std::string_view text);
    void Close();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The flight a FLIGHT argument names: the path itself when it exists; a bare file name
// ("5-3-14 094117.FLT") that does not is looked for in Flights_INT, then Flights_SD of the
// program folder; the name as given when found nowhere (the command then says so).
std::string FlightNamed(const Args& args, const std::string& name);
// A command that takes several flights, run for every one (batch.cpp); its exit code.
int RunBatch(const Command& command, const Args& args);
// Whether the command line asks for a batch: several FLIGHTs, --all-flights or -d DIR.
bool IsBatch(const Command& command, const Args& args);

// A one-line percentage on stderr, drawn only when stderr is a terminal and --quiet is not
// given, and cleared when it goes.
class ProgressLine {
public:
    ProgressLine(const Args& args, std::string label);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    void Show(uint64_t done, uint64_t total);
    // The label and `text` ("table 3 of 12: 5-3-14 094117.FLT").
    void ShowText(const std::string& text);
    // Cleared for a line of its own (an error); drawn again by the next Show.
    void Clear();

private:
    bool on_;
    std::string label_;
    int shown_ = -1;
    size_t width_ = 0;
};

}  // namespace krelby::cli
