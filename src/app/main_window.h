// TForm1: the menu of commands, the chart, and the status strip with the 3D switch and the
// flight shown. Every command runs to its end; an error ends it with a message box.
#pragma once
#include <QMainWindow>
#include <functional>
#include <optional>
#include <string>

#include "import/import.h"
#include "exceedance_search.h"
#include "prompter.h"
#include "session.h"

class QCheckBox;
class QDockWidget;
class QLabel;

namespace krelby {

class ChartWidget;
class ElidedLabel;
class DataSelectionDialog;
class LogbookWindow;
class OptionsDialog;
class TrackView;
class ExceedancesPane;
class LimitsDialog;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(Session& session, Prompter& prompter, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The menu commands.
    void ImportInternal();
    void ImportSd();
    void FlightCommand();
    void DataCommand();
    void PrintCommand();
    void JpegCommand();
    void KmlCommand();
    void CsvCommand();
    void OptionsCommand();
    void LogbookCommand();
    void GpxCommand();
    void LimitsCommand();
    // Shows a flight file as the Flight command does (from the Logbook).
    void ShowFlight(const QString& path);
    // A file dropped on the window: a flight file is shown, a recording imported.
    void OpenDropped(const QString& path);
    // The same for a path given as the system's bytes (`krelby FILE`).
    void OpenFileAt(const std::string& path);
    // Once the window is up: opens `file` (`krelby FILE`) when one is given, else shows the
    // flight shown at the last close, so that the chart, the status strip and the exports
    // name one flight. Until then no flight is selected.
    void Start(const std::string& file = {});

    ChartWidget* Chart() const { return chart_; }
    QCheckBox* View3D() const { return view3D_; }
    QCheckBox* StripsBox() const { return strips_; }
    // The track pane, docked right of the chart, and its check box in the status strip.
    TrackView* TrackPane() const { return track_; }
    QDockWidget* TrackDock() const { return trackDock_; }
    QCheckBox* ViewTrack() const { return viewTrack_; }
    // Below the chart while the flight has exceedances and the menu's item is ticked.
    ExceedancesPane* Exceedances() const { return exceedancesPane_; }
    QAction* ShowExceedancesAction() const { return showExceedances_; }
    LimitsDialog* Limits() const { return limitsDialog_; }
    // The current flight's exceedances, in the pane's order (the first ExceedanceSearch::kListed).
    const std::vector<Exceedance>& Found() const { return found_; }
    // Finds them off the window's thread after each replay; Wait() delivers them now.
    ExceedanceSearch* Search() const { return search_; }
    ElidedLabel* FlightLabel() const { return flightLabel_; }
    // Right of the flight: what the last replay found wanting ("No flight data in NAME").
    ElidedLabel* NoteLabel() const { return noteLabel_; }
    DataSelectionDialog* DataDialog() const { return dataDialog_; }
    OptionsDialog* Options() const { return optionsDialog_; }
    LogbookWindow* Logbook() const { return logbook_; }
    QString SettingsPath() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenu();
    QWidget* BuildStatusStrip();
    // Runs a command with a progress dialog for its long work. The body returns the message
    // to show (or nothing); that message, or the error that ended the body, is shown only
    // after the progress dialog has gone.
    void RunCommand(const QString& progressLabel, const std::function<QString()>& body);
    void Replay(const std::string& path);
    QString Import(const std::string& path, RecordingKind kind);
    // The KML and GPX commands: ask for the file, write the current flight's track (its
    // replays also feed the chart, which so stays filled).
    void ExportTrack(const QString& progressLabel, const FileDialog& dialog,
                     void (*write)(Session& session, const std::string& out));
    // An open logbook lists the flights again and selects the new ones.
    void RefreshLogbook();
    // The import command chosen, or the other one where the block headers say so and the
    // user agrees; nothing when the user cancels.
    std::optional<RecordingKind> ConfirmKind(const QString& path, RecordingKind chosen);
    void ShowFlightLabel();
    void ShowNote(const QString& note);
    // The empty chart's text, from the flight shown (or selected) and the ticks.
    void ShowHint();
    QString Folder(const char* name = "") const;
    // The pane, its check box and Ctrl+K, tied to the chart's time.
    void BuildTrackPane();

    Session& session_;
    Prompter& prompter_;
    ChartWidget* chart_ = nullptr;
    QCheckBox* view3D_ = nullptr;
    QCheckBox* strips_ = nullptr;
    QCheckBox* viewTrack_ = nullptr;
    ExceedancesPane* exceedancesPane_ = nullptr;
    QAction* showExceedances_ = nullptr;
    LimitsDialog* limitsDialog_ = nullptr;
    std::vector<Exceedance> found_;
    ExceedanceSearch* search_ = nullptr;
    // The limit lines of the replay just made, and the search for its exceedances.
    void ShowEngineFindings(bool search);
    void ShowSearchResult(ExceedanceSearch::Result result);
    TrackView* track_ = nullptr;
    QDockWidget* trackDock_ = nullptr;
    ElidedLabel* flightLabel_ = nullptr;
    ElidedLabel* noteLabel_ = nullptr;
    DataSelectionDialog* dataDialog_ = nullptr;
    OptionsDialog* optionsDialog_ = nullptr;
    LogbookWindow* logbook_ = nullptr;
    bool settingsSaved_ = false;
    bool flightShown_ = false;  // replayed into the chart in this run
    std::string lastFlight_;    // "CurrentFilename" as read: kept while no other is shown
    bool messageIsWarning_ = false;  // the running command's message is shown as a warning
};

}  // namespace krelby
