#include "cli/options.h"

#include <getopt.h>

#include <algorithm>
#include <string>

namespace krelby::cli {
namespace {

constexpr OptionSpec kOptions[] = {
    {"--folder", "folder", 0, "DIR",
     "The program folder, which holds Flights_INT, Flights_SD, Exports and Krelby.INI (by default the "
     "executable's folder, or ~/.local/share/Krelby for an installed copy)."},
    {"-o", "output", 'o', "FILE",
     "The file to write. - or /dev/stdout: standard output; a device or FIFO (/dev/null, >(...)) is written as it "
     "is; a file is written beside and renamed into place."},
    {"-d", "directory", 'd', "DIR",
     "With several flights or --all-flights: the folder of the outputs, one per flight, named after it (by "
     "default Exports in the program folder)."},
    {"--all-flights", "all-flights", 0, nullptr,
     "Every flight of the program folder, in Flights_INT and Flights_SD (copies of a flight once)."},
    {"--items", "items", 0, "LIST", "The table's items by series title, comma-separated: PALT,ASI,EGT1_1,CHT5_1."},
    {"--all", "all", 0, nullptr, "Every item the flight holds (else the items charted: those ticked, at most 16)."},
    {"--units", "units", 0, "SYSTEM",
     "recorded (the recording's own: ft, km/h, bar, mbar, l), chosen (in Options, the default) or si."},
    {"--format", "format", 0, "FORMAT", "table: csv (the default), tsv or jsonl; flights, exceedances: csv or json."},
    {"--size", "size", 0, "WxH", "The picture's size in pixels: 1280x800 by default, 8192x8192 at most."},
    {"--strips", "strips", 0, nullptr, "Each value axis in a strip of its own, as the window's Strips view."},
    {"--track", "track", 0, nullptr, "The flight's ground track in the right three tenths of the picture."},
    {"--paper", "paper", 0, "PAPER", "The report's paper: a4 or letter (by default the locale's)."},
    {"--charted", "charted", 0, nullptr,
     "The report charts the items ticked in Krelby.INI's data selection, not each monitor's engine items."},
    {"--sd", "sd", 0, nullptr, "The recording is an SD card's (Zelvo.REC): its flights go to Flights_SD."},
    {"--ignore-checksums", "ignore-checksums", 0, nullptr,
     "Keeps the Frames whose CRC-32 does not match as well, as the window's option \"Ignore checksums when "
     "importing recording\" does."},
    {"--force", "force", 0, nullptr, "Imports a recording whose block headers say it is the other kind, as told."},
    {"--no-wait", "no-wait", 0, nullptr, "Ends at once when another import writes into the flight folder."},
    {"--quiet", "quiet", 'q', nullptr, "No progress line and no success message."},
    {"--help", "help", 'h', nullptr, "Prints the usage of the program, or of the command it follows."},
    {"--version", "version", 0, nullptr, "Prints the version (krelby-cli --version)."},
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

// The option as the user wrote it, without an "=value".
std::string AsWritten(const char* arg) {
    const std::string s = arg;
    return s.substr(0, s.find('='));
}

// "-o FILE, --output=FILE", "--folder DIR", "--strips".
std::string Spelling(const OptionSpec& s) {
    std::string out;
    const std::string value = s.value ? s.value : "";
    if (s.shortName) out = std::string("-") + s.shortName + (s.value ? " " + value : "") + ", ";
    out += std::string("--") + s.longName;
    if (s.value) out += (s.shortName ? "=" : " ") + value;
    return out;
}

void PrintOption(std::FILE* out, const OptionSpec& s) {
    std::fprintf(out, "  %s\n      %s\n", Spelling(s).c_str(), s.help);
}

void CheckOperands(const Command& command, const Args& a) {
    const bool all = a.Flag("--all-flights");
    const auto out = a.Option("-o");
    if (command.batchSuffix) {
        if (all && !a.positional.empty()) throw UsageError("--all-flights takes no " + std::string(command.operand));
        if (!all && a.positional.empty()) throw UsageError(std::string("Missing ") + command.operand);
        if (out && (all || a.positional.size() > 1))
            throw UsageError("-o names one file: the outputs of several flights go to -d DIR");
        if (out && a.Option("-d")) throw UsageError("-o and -d cannot be given together");
    } else {
        const size_t operands = command.operand ? 1 : 0;
        if (a.positional.size() > operands) throw UsageError("Unexpected argument " + a.positional[operands]);
        if (a.positional.size() < operands) throw UsageError(std::string("Missing ") + command.operand);
    }
    // Recordings and flights are read twice and by position, which a pipe cannot give.
    for (const std::string& p : a.positional)
        if (p == "-") throw UsageError(std::string(command.operand) + " must be a file, not standard input (-)");
    if (command.needsOutput && !out && !IsBatch(command, a)) throw UsageError("Missing -o FILE");
    if (out && out->empty()) throw UsageError("-o needs the name of a file, or - for standard output");
    if (const auto d = a.Option("-d"); d && d->empty()) throw UsageError("-d needs the name of a folder");
}

}  // namespace

std::span<const OptionSpec> OptionSpecs() { return kOptions; }

bool Takes(const Command& command, const OptionSpec& s) {
    const std::string key = s.key;
    return key == "--help" || key == "--quiet" ||
           std::find(command.options.begin(), command.options.end(), key) != command.options.end();
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
    if (!a.help) CheckOperands(command, a);
    return a;
}

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: krelby-cli COMMAND [ARGUMENTS]\n       krelby-cli --help | --version\n\ncommands:\n");
    for (const Command& c : Commands()) std::fprintf(out, "  %s %s\n      %s\n", c.name, c.usage, c.summary);
    std::fprintf(out, "\noptions:\n");
    for (const OptionSpec& s : kOptions) PrintOption(out, s);
    std::fprintf(out,
                 "\nEvery command takes -q and -h; -- ends the options.\n"
                 "'krelby-cli COMMAND --help' describes a command.\n");
}

void PrintCommandUsage(std::FILE* out, const Command& c, bool withOptions) {
    std::fprintf(out, "usage: krelby-cli %s %s\n%s\n", c.name, c.usage, c.summary);
    if (!withOptions) return;
    std::fprintf(out, "\noptions:\n");
    for (const OptionSpec& s : kOptions)
        if (Takes(c, s)) PrintOption(out, s);
}

}  // namespace krelby::cli
