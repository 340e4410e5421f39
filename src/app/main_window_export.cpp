// Print and the Export menu of the main window. Each export is a row of export/exports.h,
// which gives its caption, save dialog, progress label and writer; the window adds only
// its command, named in kExportCommands.
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>
#include <string_view>

#include "base/program_folder.h"
#include "chart/chart_widget.h"
#include "chart/flight_report.h"
#include "chart/track_view.h"
#include "export/csv_export.h"
#include "export/kml_file.h"
#include "file_names.h"
#include "main_window.h"

namespace krelby {
namespace {

struct ExportCommand {
    std::string_view name;  // the export's row
    void (MainWindow::*run)();
};
const ExportCommand kExportCommands[] = {
    {"jpeg", &MainWindow::JpegCommand},
    {"kml", &MainWindow::KmlCommand},
    {"csv", &MainWindow::CsvCommand},
    {"gpx", &MainWindow::GpxCommand},
    {"report", &MainWindow::ReportCommand},
};

// The save dialog of an export that asks for its file.
FileDialog SaveDialogOf(const ExportInfo& e) {
    return {QString::fromUtf8(e.title), QString::fromUtf8(e.filter), QString::fromUtf8(e.extension), {}, {}};
}

// The save dialogs' answer, with the default extension on a name typed without one.
QString AskSave(Prompter& prompter, QWidget* parent, const FileDialog& dialog) {
    return WithDefaultExtension(prompter.SaveFile(parent, dialog), dialog.defaultExtension);
}

}  // namespace

MainWindow::Command MainWindow::ExportCommandNamed(std::string_view name) {
    for (const ExportCommand& c : kExportCommands)
        if (c.name == name) return c.run;
    return nullptr;
}

void MainWindow::PrintCommand() {
    RunCommand({}, [this] {
        if (viewTrack_->isChecked())
            ShowPrintPreviewBeside(*chart_, *track_, this);
        else
            chart_->ShowPrintPreview(this);
        return QString();
    });
}

void MainWindow::JpegCommand() {
    const ExportInfo& e = *ExportNamed("jpeg");
    RunCommand(QString::fromUtf8(e.progress), [this, &e] {
        const QString path = AskSave(prompter_, this, ExportDialog(SaveDialogOf(e)));
        if (path.isEmpty()) return QString();
        const QSize size = chart_->size();
        if (size.isEmpty()) return QString();  // a chart without area has no picture
        if (viewTrack_->isChecked() && !track_->size().isEmpty())
            SaveJpegBeside(*chart_, size, *track_, track_->size(), PathBytes(path), session_.CurrentFlightFile);
        else
            chart_->SaveJpeg(PathBytes(path), size, session_.CurrentFlightFile);
        ShowWritten(path);
        return QString();
    });
}

void MainWindow::KmlCommand() {
    // The rule is kept in the settings, and so saved with them.
    ExportTrack(*ExportNamed("kml"), [](Session& s) { ApplyOpacityRule(s.settings.kml); });
}

void MainWindow::GpxCommand() { ExportTrack(*ExportNamed("gpx")); }

void MainWindow::ExportTrack(const ExportInfo& e, void (*before)(Session& session)) {
    RunCommand(QString::fromUtf8(e.progress), [this, &e, before] {
        if (session_.CurrentFlightFile.empty()) return QString();
        const QString path = AskSave(prompter_, this, ExportDialog(SaveDialogOf(e)));
        if (path.isEmpty()) return QString();
        if (before) before(session_);
        const QString message = QString::fromStdString(e.write(session_.CurrentFlightFile, session_.Inputs(),
                                                               session_.regional, PathBytes(path), &session_.chart));
        ShowWritten(path);
        return message;
    });
}

// Into the Exports folder, under the flight's name, without a dialog.
void MainWindow::CsvCommand() {
    const ExportInfo& e = *ExportNamed("csv");
    RunCommand(QString::fromUtf8(e.progress), [this, &e] {
        const std::string& flight = session_.CurrentFlightFile;
        // Said as news, not as an error.
        if (!IsFlightFile(flight)) return QString(kNoFlightSelected);
        // The chart stays filled.
        return QString::fromStdString(e.write(flight, session_.Inputs(), session_.regional,
                                              ExportsFolderPath(session_.ProgramFolder, flight, e.extension),
                                              &session_.chart));
    });
    ShowFlightLabel();
}

// The flight report, on the locale's paper; a message names it with a button that opens it.
void MainWindow::ReportCommand() {
    const ExportInfo& e = *ExportNamed("report");
    RunCommand(QString::fromUtf8(e.progress), [this, &e] {
        const std::string& flight = session_.CurrentFlightFile;
        if (!IsFlightFile(flight)) return QString(kNoFlightSelected);
        ReportOptions options;
        FileDialog dialog = ExportDialog(SaveDialogOf(e));
        dialog.choice = "Chart the items charted in the window (else the engine's items)";
        dialog.chosen = &options.itemsCharted;
        const QString path = AskSave(prompter_, this, dialog);
        if (path.isEmpty()) return QString();
        options.paper = LocalePaper();
        options.tiles = tiles_;
        const int pages = WriteFlightReport(flight, session_.settings, session_.regional, options, PathBytes(path));
        ShowWritten(path);
        const QString text = QString("The report %1 is written, %2 %3.")
                                 .arg(QDir::toNativeSeparators(path))
                                 .arg(pages)
                                 .arg(pages == 1 ? "page" : "pages");
        if (prompter_.Offer(this, text, "&Open")) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        return QString();
    });
}

}  // namespace krelby
