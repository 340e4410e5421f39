// What the programs say of themselves stays true: every option that --help prints (from the
// one table of options) is in krelby-cli(1) and completes in bash for each command that takes
// it; the manual's examples run as printed in the C and a German locale; every check box
// number of [DataSelections] stands in krelby(1) and the README with its series title.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "replay/data_items.h"
#include "support/cli_run.h"
#include "support/temp_folder.h"

using namespace krelby::testing;
namespace fs = std::filesystem;

namespace {

const std::string kSource = KRELBY_SOURCE_DIR;

struct Option {
    std::string longName;  // "--output"
    std::string shortName;  // "-o", or ""
};

// The options listed after "options:" in a --help text.
std::vector<Option> OptionsIn(const std::string& help) {
    std::vector<Option> out;
    const std::regex line(R"(^  (-[a-z])?[^-]*(--[a-z-]+))");
    size_t at = help.find("\noptions:\n");
    if (at == std::string::npos) return out;
    std::istringstream in(help.substr(at + 10));
    for (std::string l; std::getline(in, l);) {
        std::smatch m;
        if (l.rfind("      ", 0) == 0 || !std::regex_search(l, m, line)) continue;
        out.push_back({m[2], m[1]});
    }
    return out;
}

std::vector<std::string> CommandsIn(const std::string& help) {
    std::vector<std::string> out;
    const std::regex line(R"(^  ([a-z]+) )");
    std::istringstream in(help.substr(0, help.find("\noptions:\n")));
    for (std::string l; std::getline(in, l);) {
        std::smatch m;
        if (std::regex_search(l, m, line)) out.push_back(m[1]);
    }
    return out;
}

// roff writes a dash as "\-".
std::string Roff(const std::string& s) { return std::regex_replace(s, std::regex("-"), "\\-"); }
// `s` matched as it stands in a regular expression.
std::string Quoted(const std::string& s) { return std::regex_replace(s, std::regex(R"([\\.^$|()\[\]{}*+?-])"), "\\$&"); }

// What the bash completion offers for the words given, the last being completed; the
// functions of bash-completion it calls are stand-ins that say how they were called.
std::set<std::string> Completions(const std::string& words) {
    TempFolder dir;
    WriteFile(dir / "run.sh", R"(
_init_completion() {
    cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} cword=$COMP_CWORD split=false
    words=("${COMP_WORDS[@]}")
    if [[ $1 == -s && $cur == --*=* ]]; then prev=${cur%%=*} cur=${cur#*=} split=true; fi
}
_filedir() { COMPREPLY=("_filedir $*"); }
complete() { :; }
source ")" + kSource + R"(/packaging/krelby-cli.bash-completion"
COMP_WORDS=()" + words + R"()
COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
_krelby_cli
printf '%s\n' "${COMPREPLY[@]}"
)");
    const CliRun r = RunShell("bash " + (dir / "run.sh"));
    std::set<std::string> out;
    std::istringstream in(r.out);
    for (std::string l; std::getline(in, l);) out.insert(l);
    return out;
}

}  // namespace

TEST(Docs, EveryOptionIsInTheManualAndCompletesForItsCommands) {
    const std::string help = RunCli("--help").out;
    const std::vector<Option> options = OptionsIn(help);
    ASSERT_GT(options.size(), 15u) << help;
    const std::string manual = ReadFile(kSource + "/packaging/krelby-cli.1");
    const size_t from = manual.find(".SH OPTIONS"), to = manual.find(".SH FILES");
    ASSERT_LT(from, to);
    const std::string section = manual.substr(from, to - from);
    const std::string completion = ReadFile(kSource + "/packaging/krelby-cli.bash-completion");
    for (const Option& o : options) {
        // An entry of its own: ".BR \-q ", " \-\-quiet", ".BI \-\-folder " DIR"
        const std::string spelt =
            (o.shortName.empty() ? "" : Quoted(Roff(o.shortName)) + "[^\n]*") + Quoted(Roff(o.longName));
        EXPECT_TRUE(std::regex_search(section, std::regex("\n\\.B[IR]? " + spelt + "([ =\"\n]|$)")))
            << o.longName << " has no entry in the OPTIONS of krelby-cli(1)";
        EXPECT_NE(completion.find(o.longName), std::string::npos) << o.longName << " is not in the completion";
    }
    const std::vector<std::string> commands = CommandsIn(help);
    ASSERT_GE(commands.size(), 9u);  // jpeg only where the chart is built
    EXPECT_EQ(Completions("krelby-cli ''").count("analysis"), 1u);
    for (const std::string& c : commands) {
        EXPECT_EQ(Completions("krelby-cli ''").count(c), 1u) << c;
        const std::set<std::string> offered = Completions("krelby-cli " + c + " -");
        for (const Option& o : OptionsIn(RunCli(c + " --help").out)) {
            EXPECT_EQ(offered.count(o.longName), 1u) << c << " " << o.longName;
            if (!o.shortName.empty()) {
                EXPECT_EQ(offered.count(o.shortName), 1u) << c << " " << o.shortName;
            }
        }
    }
}

TEST(Docs, ValuesCompleteAfterTheOptionAndAfterItsEqualsSign) {
    const struct {
        std::string words;
        std::set<std::string> offered;
    } cases[] = {
        {"krelby-cli csv --folder ''", {"_filedir -d"}},
        {"krelby-cli csv --folder=", {"_filedir -d"}},
        {"krelby-cli table -d ''", {"_filedir -d"}},
        {"krelby-cli table --units=''", {"recorded", "chosen", "si"}},
        {"krelby-cli table --format ''", {"csv", "tsv", "jsonl"}},
        {"krelby-cli flights --format=''", {"csv", "json"}},
        {"krelby-cli gpx -o ''", {"_filedir "}},
        {"krelby-cli import ''", {"_filedir @(DAT|dat|REC|rec)"}},
        {"krelby-cli kml ''", {"_filedir @(FLT|flt)"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Completions(c.words), c.offered) << c.words;
}

// As printed, in a folder holding the sample recording, with a home of its own.
TEST(Docs, ManualExamplesRunAsPrintedInEveryLocale) {
    const std::string manual = ReadFile(kSource + "/packaging/krelby-cli.1");
    const size_t section = manual.find(".SH EXAMPLES");
    ASSERT_NE(section, std::string::npos);
    const size_t from = manual.find(".nf\n", section) + 4, to = manual.find(".fi\n", section);
    const std::string examples = std::regex_replace(manual.substr(from, to - from), std::regex(R"(\\-)"), "-");
    ASSERT_NE(examples.find("krelby-cli table"), std::string::npos);
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        if (RunShell(std::string("LC_ALL=") + locale + " locale 2>&1 >/dev/null | grep -q .").status == 0)
            GTEST_SKIP() << locale << " is not installed (scripts/install-deps)";
        TempFolder home;
        fs::create_directory(home / "work");
        fs::copy_file(kSource + "/samples/ZelvoBB.DAT", home / "work/ZelvoBB.DAT");
        WriteFile(home / "examples.sh", examples);
        const CliRun r = RunShell("cd '" + (home / "work") + "' && env -u XDG_DATA_HOME HOME='" + home.path() +
                                  "' LC_ALL=" + locale + " PATH='" + fs::path(KRELBY_CLI).parent_path().string() +
                                  "':\"$PATH\" bash -e -o pipefail '" + (home / "examples.sh") + "' 2>&1");
        EXPECT_EQ(r.status, 0) << locale << ":\n" << r.out;
        EXPECT_FALSE(ReadFile(home / "work/first.csv").empty()) << locale;
        for (const char* made : {"tracks", "tables", "limits"})
            EXPECT_EQ(std::distance(fs::directory_iterator(home / ("work/" + std::string(made))), fs::directory_iterator()), 3)
                << locale << " " << made;
    }
}

// Each check box's number with the title its item is charted and named under.
TEST(Docs, EveryDataSelectionNumberIsDocumentedWithItsTitle) {
    const std::string manual = ReadFile(kSource + "/packaging/krelby.1");
    const std::string readme = ReadFile(kSource + "/README.md");
    for (const krelby::ItemBox& b : krelby::ItemBoxes()) {
        const std::string n = std::to_string(b.checkBox);
        std::string title(b.item.title);
        if (b.source == krelby::Source::Position) title = "LAT";
        if (b.source == krelby::Source::None || b.thermocouple > 1) continue;
        if (b.thermocouple == 1) {  // the inputs of a monitor, as a range of numbers
            EXPECT_NE(manual.find(n + " to " + std::to_string(b.checkBox + 11) + ": the inputs"), std::string::npos) << n;
            EXPECT_NE(readme.find(n + " to " + std::to_string(b.checkBox + 11) + ": the inputs"), std::string::npos) << n;
            continue;
        }
        EXPECT_TRUE(std::regex_search(manual, std::regex("[ \n]" + n + " " + Quoted(Roff(title)) + "[,.; ]"))) << n << " " << title;
        EXPECT_NE(readme.find(" " + n + " `" + title + "`"), std::string::npos) << n << " " << title;
    }
}
