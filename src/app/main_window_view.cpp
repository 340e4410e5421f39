// What the chart of the main window shows: the Flight, Data, Options and Logbook commands,
// the replay of the flight shown, and the status strip's flight and note.
#include "base/error.h"
#include "chart/chart_widget.h"
#include "chart/track_view.h"
#include "data_selection_dialog.h"
#include "elided_label.h"
#include "file_names.h"
#include "logbook_window.h"
#include "main_window.h"
#include "options_dialog.h"

namespace krelby {
namespace {

const FileDialog kOpenFlight{"Select flight recording file for viewing",
                                 "Flight recording files (*.FLT)|*.FLT", "FLT", "*.FLT", {}};

// What an empty chart says: how to get a flight, or why the flight shown draws nothing.
const QString kNoFlightHint = "Import a recording (Import menu) or drop a recording or flight file here";
const QString kNothingTickedHint = "Tick the data to chart (Data)";
const QString kTickedNotRecordedHint = "None of the ticked items is recorded in this flight";

QString NoFlightData(const std::string& path) {
    return QString::fromStdString(NoFlightDataIn(ShownFileName(path).toStdString()));
}

}  // namespace

void MainWindow::FlightCommand() {
    RunCommand("Reading flight...", [this] {
        const QString path = prompter_.OpenFile(this, FlightDialog(kOpenFlight));
        if (path.isEmpty()) return QString();
        const std::string bytes = PathBytes(path);
        if (IsFileAt(bytes)) Replay(bytes);
        return QString();
    });
    ShowFlightLabel();
}

void MainWindow::ShowFlight(const QString& path) {
    RunCommand("Reading flight...", [this, path] {
        const std::string bytes = PathBytes(path);
        if (IsFileAt(bytes)) Replay(bytes);
        return QString();
    });
    ShowFlightLabel();
}

void MainWindow::DataCommand() {
    RunCommand("Reading flight...", [this] {
        dataDialog_->exec();
        if (!IsFileAt(session_.CurrentFlightFile)) session_.CurrentFlightFile.clear();
        if (session_.CurrentFlightFile.empty()) {
            flightShown_ = false;
            ShowHint();
            return QString();
        }
        Replay(session_.CurrentFlightFile);
        return QString();
    });
}

void MainWindow::OptionsCommand() {
    RunCommand("Reading flight...", [this] {
        optionsDialog_->exec();
        if (!session_.CurrentFlightFile.empty()) Replay(session_.CurrentFlightFile);
        return QString();
    });
}

void MainWindow::LogbookCommand() {
    if (!logbook_) {
        logbook_ = new LogbookWindow(session_, prompter_, this);
        connect(logbook_, &LogbookWindow::FlightChosen, this, &MainWindow::ShowFlight);
        logbook_->ShowKindWarning(kindWarning_->text());
    }
    logbook_->show();
    logbook_->raise();
    logbook_->activateWindow();
    logbook_->Refresh();
}

void MainWindow::RefreshLogbook() {
    if (logbook_ && logbook_->isVisible()) logbook_->Refresh(true);
}

void MainWindow::Replay(const std::string& path) {
    ShowNote({});
    // The flight shown, read again (new units, ticks, limits, an export): the track pane
    // keeps its zoom.
    const bool again = flightShown_ && path == session_.CurrentFlightFile;
    flightShown_ = true;
    try {
        session_.ShowFlight(path);
    } catch (...) {
        track_->SetTrack(&session_.track.Result());
        ShowEngineFindings(false);  // nothing found in a flight not read
        ShowHint();  // the chart was emptied
        throw;
    }
    track_->SetTrack(&session_.track.Result(), again);
    ShowEngineFindings(true);
    // Not one good FlightMessage: the chart is empty and says why here too.
    if (session_.CurrentFlightEnd == 0) ShowNote(NoFlightData(path));
    ShowHint();
}

void MainWindow::ShowHint() {
    QString hint;
    if (!flightShown_)
        hint = kNoFlightHint;
    else if (session_.CurrentFlightEnd == 0)
        hint = NoFlightData(session_.CurrentFlightFile);
    else if (session_.settings.selection.Count() == 0)
        hint = kNothingTickedHint;
    else
        hint = kTickedNotRecordedHint;
    chart_->SetEmptyHint(hint);
}

void MainWindow::ShowNote(const QString& note) {
    noteLabel_->SetText(note);
    noteLabel_->setVisible(!note.isEmpty());  // the flight's path has the strip to itself
}

void MainWindow::ShowFlightLabel() {
    flightLabel_->SetText(ShownPath(session_.CurrentFlightFile));
}

}  // namespace krelby
