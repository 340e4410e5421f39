// The files of the main window's dialogs: the flights shown last (kept per user, listed in the
// Flight dialog's sidebar), the folder the Flight dialog opens in, the name the export dialogs
// propose, and the line that says where an export went.
#include <QDir>
#include <QFileInfo>

#include "base/program_folder.h"
#include "elided_label.h"
#include "export/exports.h"
#include "file_names.h"
#include "main_window.h"
#include "window_settings.h"

namespace krelby {
namespace {

constexpr const char* kRecentFlightsKey = "Window/RecentFlights";
constexpr qsizetype kRecentKept = 10;

}  // namespace

void MainWindow::RememberFlight(const std::string& path) {
    const QString shown = QFileInfo(ShownPath(path)).absoluteFilePath();
    QStringList recent = UserSettings()->value(kRecentFlightsKey).toStringList();
    recent.removeAll(shown);
    recent.prepend(shown);
    UserSettings()->setValue(kRecentFlightsKey, recent.mid(0, kRecentKept));
}

QStringList MainWindow::RecentFlights() const {
    QStringList recent;
    for (const QString& path : UserSettings()->value(kRecentFlightsKey).toStringList())
        if (IsFileAt(PathBytes(path))) recent << path;
    return recent;
}

FileDialog MainWindow::FlightDialog(FileDialog dialog) const {
    const QFileInfo shown(ShownPath(session_.CurrentFlightFile));
    QString folder = shown.absolutePath();
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    dialog.folder = !session_.CurrentFlightFile.empty() && shown.absoluteDir().exists()
                        ? folder
                        : Folder(kInternalFlightsFolder);
    dialog.recent = RecentFlights();
    return dialog;
}

FileDialog MainWindow::ExportDialog(FileDialog dialog) const {
    dialog.folder = Folder(kExportsFolder);
    const std::string& flight = session_.CurrentFlightFile;
    if (!flight.empty())
        dialog.initialName =
            ShownFileName(ExportsFolderPath(session_.ProgramFolder, flight, dialog.defaultExtension.toStdString()));
    return dialog;
}

// As the CSV export says it, in the status strip: the JPEG and KML exports show no message box.
void MainWindow::ShowWritten(const QString& path) {
    const QFileInfo file(path);
    ShowNote(file.fileName() + " created in " + file.absolutePath() + "/");
}

}  // namespace krelby
