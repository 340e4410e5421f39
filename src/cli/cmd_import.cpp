// krelby-cli import RECORDING [--sd] [--folder DIR] [--ignore-checksums] [-q]
#include <cstdio>
#include <filesystem>

#include "cli/cli.h"
#include "import/import.h"
#include "import/recording_kind.h"

namespace krelby::cli {
namespace {

int RunImport(const Args& args) {
    const std::string folder = WritableProgramFolder(args);
    CreateProgramFolders(folder);
    ChecksumOptions checks;
    checks.IgnoreChecksums = args.Flag("--ignore-checksums");
    const std::string& recording = args.positional[0];
    const RecordingKind kind = args.Flag("--sd") ? RecordingKind::SdCard : RecordingKind::Internal;
    // A script gets what it asked for; the warning tells its reader of a likely mistake.
    const std::optional<RecordingKind> seen = RecordingKindOfHeaders(recording);
    if (seen && *seen != kind) {
        const char* text = *seen == RecordingKind::SdCard
                               ? "Warning: %s looks like an SD card recording (--sd imports it as one); "
                                 "importing it as an internal recording\n"
                               : "Warning: %s looks like an internal recording (without --sd it is imported "
                                 "as one); importing it as an SD card recording\n";
        std::fprintf(stderr, text, recording.c_str());
    }
    ImportResult result;
    {
        ProgressLine progress(args, "Importing");
        result = ImportRecording(recording, kind, folder, SystemRegional(), checks,
                                 [&progress](uint64_t done, uint64_t total) { progress.Show(done, total); });
    }
    Say(args, result.Message());
    return 0;
}

const Register reg({"import", "RECORDING [--sd] [--folder DIR] [--ignore-checksums] [-q]",
                    "Cuts a recording into flight files in DIR/Flights_INT (DIR/Flights_SD with --sd).", RunImport,
                    {"--sd", "--ignore-checksums", "--folder"}, "RECORDING"});

}  // namespace
}  // namespace krelby::cli
