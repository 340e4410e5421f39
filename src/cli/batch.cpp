// Several flights in one command: every FLIGHT given, or --all-flights, each written to
// -d DIR (Exports by default) under its own name; a flight that fails is said and passed over.
#include <cstdio>
#include <filesystem>
#include <set>

#include "base/error.h"
#include "base/file.h"
#include "base/program_folder.h"
#include "cli/cli.h"
#include "logbook/logbook.h"

namespace krelby::cli {
namespace {

bool IsBareName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos
#ifdef _WIN32
           && name.find('\\') == std::string::npos && name.find(':') == std::string::npos
#endif
        ;
}

// Every flight of the folder, as the logbook lists them: copies once, the files without a
// good Frame (no flights) left out.
std::vector<std::string> AllFlights(const Args& args) {
    const FolderSettings folder = ReadFolderSettings(args);
    LogbookOptions options;
    options.warn = Warn;
    std::vector<LogbookEntry> entries;
    {
        ProgressLine progress(args, "Reading flights");
        options.onEntry = [&progress](const LogbookEntry&, size_t done, size_t total) { progress.Show(done, total); };
        entries = ListFlights(folder.folder, folder.settings.thermocouples, folder.settings.limits, options);
    }
    std::vector<std::string> flights;
    for (const LogbookEntry& e : entries)
        if (e.IsFlight()) flights.push_back(folder.folder + e.file);
    return flights;
}

// "NAME.KML" for a flight, or "NAME (2).KML" where an earlier flight of this run took it.
std::string OutputName(const std::string& flight, const std::string& suffix, std::set<std::string>& taken) {
    const std::string stem = TextOf(PathOf(flight).stem());
    std::string name = stem + suffix;
    for (int n = 2; !taken.insert(name).second; ++n) name = stem + " (" + std::to_string(n) + ")" + suffix;
    return name;
}

std::string Plural(size_t n, const char* one, const char* many) { return std::to_string(n) + (n == 1 ? one : many); }

}  // namespace

Command Batch(Command c, BatchSuffixFn suffix) {
    c.batchSuffix = std::move(suffix);
    c.options.push_back("-d");
    c.options.push_back("--all-flights");
    return c;
}

BatchSuffixFn Suffix(std::string extension) {
    return [extension = "." + std::move(extension)](const Args&) { return extension; };
}

bool IsBatch(const Command& command, const Args& args) {
    return command.batchSuffix &&
           (args.positional.size() > 1 || args.Flag("--all-flights") || args.Option("-d").has_value());
}

std::string FlightNamed(const Args& args, const std::string& name) {
    std::error_code ec;
    if (!IsBareName(name) || std::filesystem::exists(PathOf(name), ec) || Exists(name)) return name;
    try {
        const std::string folder = ProgramFolder(args);
        for (const char* sub : kFlightFolders) {
            const std::string path = folder + sub + "/" + name;
            if (std::filesystem::is_regular_file(PathOf(path), ec)) return path;
        }
    } catch (const UsageError&) {
        // No program folder to look in: the name stands, and the command says it is missing.
    }
    return name;
}

int RunBatch(const Command& command, const Args& args) {
    std::vector<std::string> flights;
    if (args.Flag("--all-flights")) flights = AllFlights(args);
    else
        for (const std::string& name : args.positional) flights.push_back(FlightNamed(args, name));

    const std::optional<std::string> given = args.Option("-d");
    const std::string dir = given ? *given : ProgramFolder(args) + kExportsFolder;
    std::error_code ec;
    std::filesystem::create_directories(PathOf(dir), ec);
    if (!std::filesystem::is_directory(PathOf(dir), ec))
        throw Error("Cannot use " + dir + " for the outputs: " + (ec ? ec.message() : "not a folder"));
    const std::string into = dir.back() == '/' ? dir : dir + "/";

    Args each = args;
    each.options.erase("-d");
    std::erase(each.flags, "--all-flights");
    each.flags.push_back("--quiet");  // the summary below says what was written
    const std::string suffix = command.batchSuffix(args);
    std::set<std::string> taken;
    size_t written = 0, failed = 0;
    {
        ProgressLine progress(args, command.name);
        for (size_t i = 0; i < flights.size(); ++i) {
            progress.ShowText(std::to_string(i + 1) + " of " + std::to_string(flights.size()) + ": " + flights[i]);
            each.positional = {flights[i]};
            each.options["-o"] = into + OutputName(flights[i], suffix, taken);
            try {
                if (command.run(each) == 0) ++written;
                else ++failed;
            } catch (const UsageError&) {
                throw;  // the command line is wrong for every flight alike
            } catch (const std::exception& e) {
                progress.Clear();
                std::fprintf(stderr, "krelby-cli: %s\n", e.what());
                ++failed;
            }
        }
    }
    Say(args, Plural(written, " file", " files") + " written to " + dir +
                  (failed ? "; " + Plural(failed, " flight", " flights") + " failed" : ""));
    return failed ? 1 : 0;
}

}  // namespace krelby::cli
