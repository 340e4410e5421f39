#include <getopt.h>

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
#include "settings/settings_file.h"

namespace krelby::cli {
namespace {

// Every option of every command; a command takes those its Command lists, and all take
// --help and --quiet.
struct OptionSpec {
    const char* key;       // the name Args keeps it under and messages use
    const char* longName;  // for getopt_long
    char shortName;        // 0: long only
    bool value;
};
constexpr OptionSpec kOptions[] = {
    {"--folder", "folder", 0, true},
    {"-o", "output", 'o', true},
    {"--size", "size", 0, true},
    {"--paper", "paper", 0, true},
    {"--charted", "charted", 0, false},
    {"--strips", "strips", 0, false},
    {"--sd", "sd", 0, false},
    {"--ignore-checksums", "ignore-checksums", 0, false},
    {"--track", "track", 0, false},
    {"--force", "force", 0, false},
    {"--no-wait", "no-wait", 0, false},
    {"--quiet", "quiet", 'q', false},
    {"--help", "help", 'h', false},
};
constexpr int kLongOnly = 256;  // getopt_long's code of a long-only option: this + its index

int CodeOf(const OptionSpec& s) {
    return s.shortName ? s.shortName : kLongOnly + static_cast<int>(&s - kOptions);
}

const OptionSpec* SpecOf(int code) {
    for (const OptionSpec& s : kOptions)
        if (CodeOf(s) == code) return &s;
    return nullptr;
}

bool Takes(const Command& command, const OptionSpec& s) {
    const std::string key = s.key;
    return key == "--help" || key == "--quiet" ||
           std::find(command.options.begin(), command.options.end(), key) != command.options.end();
}

// The option as the user wrote it, without an "=value".
std::string AsWritten(const char* arg) {
    const std::string s = arg;
    return s.substr(0, s.find('='));
}

}  // namespace

bool Args::Flag(const std::string& name) const {
    return std::find(flags.begin(), flags.end(), name) != flags.end();
}

std::optional<std::string> Args::Option(const std::string& name) const {
    auto it = options.find(name);
    if (it == options.end()) return std::nullopt;
    return it->second;
}

Args ParseArgs(const Command& command, int argc, char** argv, int first) {
    // '-': operands come back in order (code 1), so options may follow them whatever
    // POSIXLY_CORRECT says; ':': a missing value is told apart from an unknown option.
    std::string shorts = "-:";
    std::vector<option> longs;
    for (const OptionSpec& s : kOptions) {
        if (!Takes(command, s)) continue;
        longs.push_back({s.longName, s.value ? required_argument : no_argument, nullptr, CodeOf(s)});
        if (s.shortName) shorts += std::string(1, s.shortName) + (s.value ? ":" : "");
    }
    longs.push_back({nullptr, 0, nullptr, 0});
    // getopt_long starts after argv[0]; the command's name stands in for it.
    std::vector<char*> av(argv + first - 1, argv + argc);
    const int n = static_cast<int>(av.size());
    av.push_back(nullptr);
    optind = 0;  // a fresh scan
    opterr = 0;  // the messages are ours

    Args a;
    for (int c; (c = getopt_long(n, av.data(), shorts.c_str(), longs.data(), nullptr)) != -1;) {
        if (c == 1) {
            a.positional.emplace_back(optarg);
            continue;
        }
        const OptionSpec* s = SpecOf(c == ':' || c == '?' ? optopt : c);
        if (c == ':' || c == '?') {
            if (s && Takes(command, *s)) {
                if (s->value) throw UsageError(std::string("Missing value after ") + s->key);
                throw UsageError(std::string("Option ") + s->key + " takes no value");
            }
            if (optopt > 0 && optopt < kLongOnly) throw UsageError(std::string("Unknown option -") + char(optopt));
            throw UsageError("Unknown option " + AsWritten(av[optind - 1]));
        }
        if (s->value) a.options[s->key] = optarg;
        else if (c == 'h') a.help = true;
        else a.flags.emplace_back(s->key);
    }
    for (int i = optind; i < n; ++i) a.positional.emplace_back(av[i]);  // after "--"
    if (a.help) return a;

    const size_t operands = command.operand ? 1 : 0;
    if (a.positional.size() > operands) throw UsageError("Unexpected argument " + a.positional[operands]);
    if (a.positional.size() < operands) throw UsageError(std::string("Missing ") + command.operand);
    // Recordings and flights are read twice and by position, which a pipe cannot give.
    if (operands && a.positional[0] == "-")
        throw UsageError(std::string(command.operand) + " must be a file, not standard input (-)");
    const auto out = a.Option("-o");
    if (command.needsOutput && !out) throw UsageError("Missing -o FILE");
    if (out && out->empty()) throw UsageError("-o needs the name of a file, or - for standard output");
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
    if (!warning.empty()) Warn(warning);
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

void WriteToStandardOutput(const std::function<void(const std::string& path)>& write) {
    std::random_device random;
    const uint64_t tag = (uint64_t{random()} << 32) ^ random();
    char hex[17] = {};
    std::to_chars(hex, hex + 16, tag, 16);
    const std::string path = TextOf(std::filesystem::temp_directory_path() / ("krelby-cli-" + std::string(hex)));
    struct Remove {
        const std::string& path;
        ~Remove() { RemoveFile(path); }
    } remove{path};
    write(path);
    InputFile file(path);
    RemoveFile(path);  // gone at once, even if a closed pipe ends the program while copying
    std::vector<uint8_t> buffer(1 << 20);
    while (const size_t got = file.Read(buffer.data(), buffer.size()))
        if (std::fwrite(buffer.data(), 1, got, stdout) != got)
            throw Error(UnableToWriteTo(kStandardOutput, SystemErrorText(errno)));
}

ProgressLine::ProgressLine(const Args& args, std::string label)
    : on_(!args.Quiet() && StandardErrorIsTerminal()), label_(std::move(label)) {}

ProgressLine::~ProgressLine() {
    if (!on_ || shown_ < 0) return;
    std::fprintf(stderr, "\r%*s\r", static_cast<int>(width_), "");
    std::fflush(stderr);
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

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: krelby-cli COMMAND [ARGUMENTS]\n       krelby-cli --help | --version\n\ncommands:\n");
    for (const auto& c : krelby::cli::Commands()) std::fprintf(out, "  %s %s\n      %s\n", c.name, c.usage, c.summary);
    std::fprintf(out,
                 "\nEvery command takes -q (--quiet: no progress, no success message) and -h (--help).\n"
                 "-o - writes to standard output; -- ends the options.\n"
                 "'krelby-cli COMMAND --help' describes a command.\n");
}

void PrintCommandUsage(std::FILE* out, const krelby::cli::Command& c) {
    std::fprintf(out, "usage: krelby-cli %s %s\n%s\n", c.name, c.usage, c.summary);
}

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
            const Args args = ParseArgs(c, argc, argv, 2);
            if (args.help) {
                PrintCommandUsage(stdout, c);
                return Finish();
            }
            const int status = c.run(args);
            return status == 0 ? Finish() : status;
        } catch (const UsageError& e) {
            std::fprintf(stderr, "krelby-cli: %s\n", e.what());
            PrintCommandUsage(stderr, c);
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
