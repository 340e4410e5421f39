// krelby-cli import RECORDING [--sd] [--folder DIR] [--ignore-checksums]
#include <cstdio>
#include <filesystem>

#include "cli/cli.h"
#include "format/error.h"
#include "import/import.h"

namespace krelby::cli {
namespace {

int RunImport(const Args& args) {
    if (args.positional.size() != 1) throw Error("import: give exactly one recording file");
    const std::string folder = WritableProgramFolder(args);
    CreateProgramFolders(folder);
    ChecksumOptions checks;
    checks.IgnoreChecksums = args.Flag("--ignore-checksums");
    SampleClock clock;
    const ImportResult result =
        ImportRecording(args.positional[0], args.Flag("--sd") ? RecordingKind::SdCard : RecordingKind::Internal,
                        folder, SystemRegional(), checks, clock);
    std::printf("%s\n", result.Message().c_str());
    return 0;
}

const Register reg({"import", "RECORDING [--sd] [--folder DIR] [--ignore-checksums]",
                    "Cuts a recording into flight files in DIR/Flights_INT (DIR/Flights_SD with --sd).", RunImport,
                    {"--sd", "--ignore-checksums"}, {"--folder"}});

}  // namespace
}  // namespace krelby::cli
