#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>

#include "base/file.h"
#include "base/system.h"
#include "cli/cli.h"
#include "settings/settings_file.h"

namespace krelby::cli {

bool Args::Flag(const std::string& name) const {
    for (const auto& f : flags)
        if (f == name) return true;
    return false;
}

std::optional<std::string> Args::Option(const std::string& name) const {
    auto it = options.find(name);
    if (it == options.end()) return std::nullopt;
    return it->second;
}

Args ParseArgs(const Command& command, int argc, char** argv, int first) {
    auto has = [](const std::vector<std::string>& list, const std::string& s) {
        for (const auto& o : list)
            if (o == s) return true;
        return false;
    };
    Args a;
    for (int i = first; i < argc; ++i) {
        std::string s = argv[i];
        if (has(command.valueOptions, s)) {
            if (i + 1 >= argc) throw UsageError("Missing value after " + s);
            a.options[s] = argv[++i];
        } else if (has(command.flags, s)) {
            a.flags.push_back(s);
        } else if (s.size() > 1 && s[0] == '-') {
            throw UsageError("Unknown option " + s);
        } else {
            a.positional.push_back(s);
        }
    }
    return a;
}

std::vector<Command>& Commands() {
    static std::vector<Command> commands;
    return commands;
}


std::string ProgramFolder(const Args& args) {
    std::string folder;
    if (auto f = args.Option("--folder")) {
        // An empty name would put the program's folders at the root of the file system.
        if (f->empty()) throw UsageError("--folder needs the name of a folder");
        folder = *f;
    } else {
        folder = ExecutableFolder();
        // An installed copy uses the user's data folder, as the window does.
        if (folder == std::string(KRELBY_INSTALL_BINDIR) + "/") folder = UserDataFolder();
    }
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string WritableProgramFolder(const Args& args) {
    const std::string folder = ProgramFolder(args);
    std::error_code ec;
    std::filesystem::create_directories(PathOf(folder), ec);
    if (!std::filesystem::is_directory(PathOf(folder), ec))
        throw UsageError("Cannot use " + folder + " as the program folder: " +
                         (ec ? ec.message() : std::string("not a folder")));
    return folder;
}

Session FolderSession(const Args& args) {
    Session session;
    session.ProgramFolder = ProgramFolder(args);
    session.regional = SystemRegional();
    std::string remembered;
    const std::string warning = LoadSettings(session.ProgramFolder + "Krelby.INI", session.settings, remembered);
    if (!warning.empty()) std::fprintf(stderr, "%s\n", warning.c_str());
    return session;
}

void CreateProgramFolders(const std::string& folder) {
    std::error_code ec;  // an existing folder or a failure is passed over
    for (const char* sub : {"Flights_INT", "Flights_SD", "Exports"})
        std::filesystem::create_directory(PathOf(folder + sub), ec);
}

}  // namespace krelby::cli

namespace {

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: krelby-cli COMMAND [ARGUMENTS]\n       krelby-cli --help | --version\n\ncommands:\n");
    for (const auto& c : krelby::cli::Commands()) std::fprintf(out, "  %s %s\n      %s\n", c.name, c.usage, c.summary);
    std::fprintf(out, "\n'krelby-cli COMMAND --help' describes a command.\n");
}

void PrintCommandUsage(std::FILE* out, const krelby::cli::Command& c) {
    std::fprintf(out, "usage: krelby-cli %s %s\n%s\n", c.name, c.usage, c.summary);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace krelby::cli;
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");  // the core forms numbers itself
    krelby::UseBinaryStandardStreams();
    krelby::RemoveTemporariesOnSignals();
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    const std::string first = argv[1];
    if (first == "--help" || first == "-h") {
        PrintUsage(stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (first == "--version") {
        std::printf("krelby-cli %s\n", KRELBY_VERSION);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    for (const auto& c : Commands()) {
        if (first != c.name) continue;
        for (int i = 2; i < argc; ++i) {
            const std::string a = argv[i];
            if (a == "--help" || a == "-h") {
                PrintCommandUsage(stdout, c);
                return std::fflush(stdout) == 0 ? 0 : 1;
            }
        }
        try {
            return c.run(ParseArgs(c, argc, argv, 2));
        } catch (const UsageError& e) {
            std::fprintf(stderr, "%s\n", e.what());
            PrintCommandUsage(stderr, c);
            return 2;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
    }
    std::fprintf(stderr, "Unknown command %s\n", first.c_str());
    PrintUsage(stderr);
    return 2;
}
