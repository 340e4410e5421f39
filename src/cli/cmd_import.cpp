// krelby-cli import RECORDING [--sd] [--folder DIR] [--ignore-checksums] [--force] [--no-wait] [-q]
#include <cstdio>
#include <filesystem>

#include "base/error.h"
#include "base/file.h"
#include "base/program_folder.h"
#include "cli/cli.h"
#include "import/import.h"
#include "import/recording_kind.h"

namespace krelby::cli {
namespace {

// The block headers say the other kind: a likely mistake, refused unless --force insists.
void RefuseTheOtherKind(const Args& args, const std::string& recording, RecordingKind kind) {
    const std::optional<RecordingKind> seen = RecordingKindOfHeaders(recording);
    if (!seen || *seen == kind) return;
    const bool sd = *seen == RecordingKind::SdCard;
    if (!args.Flag("--force"))
        throw Error(recording + (sd ? " looks like an SD card recording: import it with --sd "
                                      "(or with --force as an internal recording)"
                                    : " looks like an internal recording: import it without --sd "
                                      "(or with --force as an SD card recording)"));
    Warn(recording + (sd ? " looks like an SD card recording; importing it as an internal recording"
                         : " looks like an internal recording; importing it as an SD card recording"));
}

int RunImport(const Args& args) {
    // The folders are made only for a recording that holds flights: a failed import leaves none.
    const std::string folder = ProgramFolder(args);
    std::error_code ec;
    if (std::filesystem::exists(PathOf(folder), ec) && !std::filesystem::is_directory(PathOf(folder), ec))
        throw UsageError("Cannot use " + folder + " as the program folder: not a folder");
    const std::string& recording = args.positional[0];
    const RecordingKind kind = args.Flag("--sd") ? RecordingKind::SdCard : RecordingKind::Internal;
    RefuseTheOtherKind(args, recording, kind);

    ChecksumOptions checks;
    checks.IgnoreChecksums = args.Flag("--ignore-checksums");
    const std::string flights = folder + (kind == RecordingKind::SdCard ? kSdFlightsFolder : kInternalFlightsFolder);
    ImportOptions options;
    options.wait = !args.Flag("--no-wait");
    options.waiting = [&args, &flights, told = false]() mutable {
        if (!told && !args.Quiet()) std::fprintf(stderr, "Waiting for another import into %s to end\n", flights.c_str());
        told = true;
        return true;
    };
    const auto makeFolders = [&args] { CreateProgramFolders(WritableProgramFolder(args)); };
    options.beforeWriting = makeFolders;
    ImportResult result;
    {
        ProgressLine progress(args, "Importing");
        options.progress = [&progress](uint64_t done, uint64_t total) { progress.Show(done, total); };
        result = ImportRecording(recording, kind, folder, SystemRegional(), checks, options);
    }
    if (result.ValidFrames == 0) throw Error(recording + " holds no flight recording");
    makeFolders();  // as the window's start makes them
    Say(args, result.Message());
    return 0;
}

const Register reg({"import", "RECORDING [--sd] [--folder DIR] [--ignore-checksums] [--force] [--no-wait] [-q]",
                    "Cuts a recording into flight files in DIR/Flights_INT (DIR/Flights_SD with --sd).", RunImport,
                    {"--sd", "--ignore-checksums", "--folder", "--force", "--no-wait"}, "RECORDING"});

}  // namespace
}  // namespace krelby::cli
