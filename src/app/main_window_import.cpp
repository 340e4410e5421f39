// The Import commands of the main window: a recording cut into flight files.
#include "base/program_folder.h"
#include "file_names.h"
#include "import/recording_kind.h"
#include "import_wait.h"
#include "main_window.h"

namespace krelby {
namespace {

// The recordings' own choices first, as the displays name their files; then both names in
// one, and any file (a recording copied under another name).
const FileDialog kOpenInternal{"Select EFIS recording file for import",
                               "Zelvo recording (Zelvobb.dat)|Zelvobb.dat|VQ5 recording (VQ5bb.dat)|VQ5bb.dat"
                               "|Zelvo or VQ5 recording|ZelvoBB.DAT;VQ5bb.dat|All files|*",
                               "dat", "Zelvobb*.dat", {}};
const FileDialog kOpenSd{"Select EFIS recording file for import", "Zelvo recording (Zelvo.REC)|Zelvo.REC|All files|*",
                         "REC", "Zelvo*.REC", {}};

bool IsFile(const QString& path) { return IsFileAt(PathBytes(path)); }

}  // namespace

void MainWindow::ImportInternal() {
    RunCommand("Importing recording...", [this] {
        const QString path = prompter_.OpenFile(this, InFolder(kOpenInternal));
        if (!IsFile(path)) return QString();  // a name typed that is not there: nothing
        const std::optional<RecordingKind> kind = ConfirmKind(path, RecordingKind::Internal);
        return kind ? Import(PathBytes(path), *kind) : QString();
    });
}

void MainWindow::ImportSd() {
    RunCommand("Importing recording...", [this] {
        const QString path = prompter_.OpenFile(this, InFolder(kOpenSd));
        if (!IsFile(path)) return QString();
        const std::optional<RecordingKind> kind = ConfirmKind(path, RecordingKind::SdCard);
        return kind ? Import(PathBytes(path), *kind) : QString();
    });
}

QString MainWindow::Import(const std::string& path, RecordingKind kind) {
    ImportWait wait(this, kind == RecordingKind::SdCard ? kSdFlightsFolder : kInternalFlightsFolder);
    ImportOptions options;
    options.progress = session_.progress;
    options.waiting = [&wait] { return wait(); };
    const ImportResult result =
        ImportRecording(path, kind, session_.ProgramFolder, session_.regional, session_.checks, options);
    RefreshLogbook();
    QString message = QString::fromStdString(result.Message());
    if (result.ValidFrames == 0) {
        message += "\n" + ShownFileName(path) + " holds no recording data (no valid Frames).";
        messageIsWarning_ = true;
    }
    return message;
}

std::optional<RecordingKind> MainWindow::ConfirmKind(const QString& path, RecordingKind chosen) {
    const std::optional<RecordingKind> seen = RecordingKindOfHeaders(PathBytes(path));
    if (!seen || *seen == chosen) return chosen;
    const QString question = *seen == RecordingKind::SdCard
                                 ? "This looks like an SD card recording. Import it as one?"
                                 : "This looks like an internal recording. Import it as one?";
    switch (prompter_.Ask(this, question)) {
        case Answer::Yes: return *seen;
        case Answer::No: return chosen;
        case Answer::Cancel: break;
    }
    return std::nullopt;
}

}  // namespace krelby
