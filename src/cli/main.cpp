#include <algorithm>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <random>

#include "base/error.h"
#include "base/file.h"
#include "base/program_folder.h"
#include "base/system.h"
#include "cli/cli.h"
#include "cli/options.h"
#include "settings/settings_file.h"

namespace krelby::cli {

bool Args::Flag(const std::string& name) const {
    return std::find(flags.begin(), flags.end(), name) != flags.end();
}

std::optional<std::string> Args::Option(const std::string& name) const {
    auto it = options.find(name);
    if (it == options.end()) return std::nullopt;
    return it->second;
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
        folder = DefaultProgramFolder();
        // Without it (no /proc in a chroot, say) there is no folder to guess: the root or the
        // working folder would get the program's folders.
        if (folder.empty()) throw UsageError("The program's own folder cannot be found; name one with --folder DIR");
    }
    if (folder.back() != '/') folder += '/';
    return folder;
}

std::string WritableProgramFolder(const Args& args) {
    const std::string folder = ProgramFolder(args);
    std::error_code made, found;
    std::filesystem::create_directories(PathOf(folder), made);
    if (std::filesystem::is_directory(PathOf(folder), found)) return folder;
    const std::string problem = "Cannot use " + folder + " as the program folder: ";
    const std::string bare = folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder;  // without its '/'
    if (std::filesystem::exists(PathOf(bare), found)) throw UsageError(problem + "not a folder");
    // A folder the user may not make, or that the disk cannot take, is no slip on the command
    // line: the system says why, and the exit code is that of any other failure.
    const std::error_code why = made ? made : found;
    for (const std::errc e : {std::errc::permission_denied, std::errc::operation_not_permitted,
                              std::errc::read_only_file_system, std::errc::no_space_on_device})
        if (why == e) throw Error(problem + why.message());
    throw UsageError(problem + why.message());
}

FolderSettings ReadFolderSettings(const Args& args) {
    FolderSettings folder;
    folder.folder = ProgramFolder(args);
    // A mistyped folder would otherwise be read as one without settings or flights.
    std::error_code ec;
    if (!std::filesystem::is_directory(PathOf(folder.folder), ec)) {
        // One that exists but may not be looked into is not "not found".
        if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory)
            throw Error("Cannot use " + folder.folder + " as the program folder: " + ec.message());
        throw Error("Folder not found: " + folder.folder);
    }
    folder.regional = SystemRegional();
    std::string remembered;
    const std::string warning = LoadSettings(folder.folder + kSettingsFile, folder.settings, remembered);
    // Said once, however many flights a batch reads the folder's settings for.
    static std::vector<std::string> warned;
    if (!warning.empty() && std::find(warned.begin(), warned.end(), folder.folder) == warned.end()) {
        warned.push_back(folder.folder);
        Warn(warning);
    }
    return folder;
}

void CreateProgramFolders(const std::string& folder) {
    std::error_code ec;  // an existing folder or a failure is passed over
    for (const char* sub : kProgramSubfolders)
        std::filesystem::create_directory(PathOf(folder + sub), ec);
}

void Say(const Args& args, const std::string& text) {
    if (!args.Quiet()) std::printf("%s\n", text.c_str());
}

void Warn(const std::string& text) {
    for (size_t at = 0; at <= text.size();) {
        const size_t end = std::min(text.find('\n', at), text.size());
        std::fprintf(stderr, "krelby-cli: warning: %.*s\n", static_cast<int>(end - at), text.data() + at);
        at = end + 1;
    }
}

ProgressLine::ProgressLine(const Args& args, std::string label)
    : on_(!args.Quiet() && StandardErrorIsTerminal()), label_(std::move(label)) {}

ProgressLine::~ProgressLine() { Clear(); }

void ProgressLine::ShowText(const std::string& text) {
    if (!on_) return;
    const std::string line = label_ + " " + text;
    if (line.size() < width_) std::fprintf(stderr, "\r%*s", static_cast<int>(width_), "");
    width_ = std::max(width_, line.size());
    std::fprintf(stderr, "\r%s", line.c_str());
    std::fflush(stderr);
    shown_ = 0;
}

void ProgressLine::Clear() {
    if (!on_ || shown_ < 0) return;
    std::fprintf(stderr, "\r%*s\r", static_cast<int>(width_), "");
    std::fflush(stderr);
    shown_ = -1;
}

void ProgressLine::Show(uint64_t done, uint64_t total) {
    if (!on_ || total == 0) return;
    const int percent = static_cast<int>(std::min<uint64_t>(done, total) * 100 / total);
    if (percent == shown_) return;
    shown_ = percent;
    const std::string line = label_ + " " + std::to_string(percent) + "%";
    width_ = std::max(width_, line.size());
    std::fprintf(stderr, "\r%s", line.c_str());
    std::fflush(stderr);
}

}  // namespace krelby::cli

namespace {

// What a command printed must reach stdout: a closed stdout or a full disk is an error.
int Finish() {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
    const int err = errno;
    const std::string said = krelby::UnableToWriteTo(krelby::kStandardOutput, krelby::SystemErrorText(err));
    std::fprintf(stderr, "krelby-cli: %s\n", said.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace krelby::cli;
    krelby::GuardStandardStreams();
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
        return Finish();
    }
    if (first == "--version") {
        std::printf("krelby-cli %s\n", KRELBY_VERSION);
        return Finish();
    }
    for (const auto& c : Commands()) {
        if (first != c.name) continue;
        try {
            Args args = ParseArgs(c, argc, argv, 2);
            if (args.help) {
                PrintCommandUsage(stdout, c);
                return Finish();
            }
            if (IsBatch(c, args)) {
                const int status = RunBatch(c, args);
                const int finished = Finish();
                return status ? status : finished;
            }
            if (c.operand && std::string_view(c.operand) == "FLIGHT")
                for (std::string& flight : args.positional) flight = FlightNamed(args, flight);
            const int status = c.run(args);
            return status == 0 ? Finish() : status;
        } catch (const UsageError& e) {
            std::fprintf(stderr, "krelby-cli: %s\n", e.what());
            PrintCommandUsage(stderr, c, false);
            return 2;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "krelby-cli: %s\n", e.what());
            return 1;
        }
    }
    std::fprintf(stderr, "krelby-cli: Unknown %s %s\n", first[0] == '-' ? "option" : "command", first.c_str());
    PrintUsage(stderr);
    return 2;
}
