// The main window's start once it is up, and the files it is given: `krelby FILE` and a drop.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>

#include "file_names.h"
#include "import/recording_kind.h"
#include "main_window.h"

namespace krelby {

void MainWindow::Start(const std::string& file) {
    if (!file.empty()) {
        OpenFileAt(file);
        return;
    }
    // A flight file that is gone (or on a disk not mounted) leaves nothing selected; its
    // name is still written back at the close.
    if (lastFlight_.empty() || !IsFileAt(lastFlight_)) return;
    RunCommand("Reading flight...", [this] {
        Replay(lastFlight_);
        return QString();
    });
    ShowFlightLabel();
}

void MainWindow::OpenDropped(const QString& path) { OpenFileAt(PathBytes(path)); }

void MainWindow::OpenFileAt(const std::string& path) {
    if (QFileInfo(ShownPath(path)).suffix().compare("FLT", Qt::CaseInsensitive) == 0) {
        RunCommand("Reading flight...", [this, path] {
            Replay(path);
            return QString();
        });
        ShowFlightLabel();
        return;
    }
    RunCommand("Importing recording...", [this, path] { return Import(path, GuessRecordingKind(path)); });
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return;
    event->acceptProposedAction();
    // After the drop has finished, so the program it came from is not kept waiting.
    const QString path = urls.first().toLocalFile();
    QTimer::singleShot(0, this, [this, path] { OpenDropped(path); });
}

}  // namespace krelby
