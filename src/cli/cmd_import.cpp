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
    for (const auto& f : args.flags)
        if (f != "--sd" && f != "--ignore-checksums") throw Error("import: unknown option " + f);
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

const Register reg("import", "RECORDING [--sd] [--folder DIR] [--ignore-checksums]", RunImport);

}  // namespace
}  // namespace krelby::cli
