// The main window (object name TForm1, the name its form first had): the menu of commands,
// the chart, and the status strip with the 3D switch and the flight shown. Every command runs
// to its end; an error ends it with a message box.
#pragma once
#include <QMainWindow>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "chart/map_tiles.h"
#include "export/exports.h"
#include "import/import.h"
#include "exceedance_search.h"
#include "prompter.h"
#include "session.h"

class QCheckBox;
class QDockWidget;
class QKeySequence;
class QLabel;
class QMenu;
class QTableWidget;
class QTimer;

namespace krelby {

class ChartWidget;
class ElidedLabel;
class DataSelectionDialog;
class LogbookWindow;
class OptionsDialog;
class TrackView;
class TileFetcher;
class EnginePane;
class LimitsDialog;
class ZoomHistory;
class ShortcutSheet;

// The window is one class whose parts live in files of their own, each a room for one job:
//   main_window.cpp         building the window, running a command, the close
//   main_window_menu.cpp    the menu bar, the status strip and the window's shortcuts
//   main_window_import.cpp  the Import commands
//   main_window_view.cpp    Flight, Data, Options, Logbook: what the chart shows
//   main_window_limits.cpp  Limits, the limit lines and the Engine pane
//   main_window_kinds.cpp   the warning of thermocouple kinds that do not fit the flight
//   main_window_export.cpp  Print and the Export menu, one command per row of export/exports.h
//   main_window_track.cpp   the track pane
//   main_window_map.cpp     the map under the track: its tiles and the pane's menu
//   main_window_start.cpp   the start, and the files it is given (`krelby FILE`, a drop)
//   main_window_history.cpp the zoom history (Backspace, Alt+Left, Alt+Right), and what
//                           follows each reading of a flight into the chart
//   main_window_span.cpp    the span's table, copied (Ctrl+C), cleared (Esc)
//   main_window_playback.cpp the playback (Space, [ and ])
//   main_window_help.cpp    F1's sheet of every shortcut and gesture, the tooltips naming them
//   main_window_files.cpp   the recent flights, the dialogs' folders and proposed names
// A new command or pane is a file of its own, a declaration here and a line of wiring.
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
    void ReportCommand();
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
    // The map under the track: the pilot's choice (kept per user), applied to the tiles
    // and written at once; the pane's context menu sets it.
    void SetMap(const MapSettings& map);
    const MapSettings& Map() const { return map_; }
    TileFetcher* Tiles() const { return tiles_; }
    QMenu* TrackMenu() const { return trackMenu_; }
    // Below the chart while the flight has something of its engine to show and the menu's
    // item is ticked.
    EnginePane* Engine() const { return enginePane_; }
    // Above the chart while the thermocouple kinds look wrong for the flight shown.
    QLabel* KindWarning() const { return kindWarning_; }
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
    // The steps of the chart's view, a list per flight; Back and Forward walk them.
    ZoomHistory* History() const { return history_; }
    // The table of the span marked on the chart, in a dock under it while there is one.
    QTableWidget* SpanPane() const { return spanTable_; }
    QDockWidget* SpanDock() const { return spanDock_; }
    // The playback: Space plays and pauses, [ and ] change the speed (kPlaybackSpeeds).
    static constexpr std::array<int, 4> kPlaybackSpeeds = {1, 4, 16, 64};
    void TogglePlayback();
    bool Playing() const;
    int PlaybackSpeed() const { return kPlaybackSpeeds[speedIndex_]; }
    // One frame of a playback running `elapsedSeconds` after the last: the cursor moves on
    // the speed times that (its timer calls it about 60 times a second).
    void PlaybackFrame(double elapsedSeconds);
    // F1: every shortcut and mouse gesture of the window, by where it acts.
    ShortcutSheet* Sheet() const { return sheet_; }
    // The flights shown last, the latest first, for the Flight dialog's sidebar.
    QStringList RecentFlights() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    using Command = void (MainWindow::*)();

    // main_window.cpp
    void ReadSettings();  // Krelby.INI, once, at the start
    QWidget* BuildCentral();
    // Runs a command with a progress dialog for its long work. The body returns the message
    // to show (or nothing); that message, or the error that ended the body, is shown only
    // after the progress dialog has gone.
    void RunCommand(const QString& progressLabel, const std::function<QString()>& body);
    QString Folder(const char* name = "") const;
    // `dialog` opening in the program folder's `name`.
    FileDialog InFolder(FileDialog dialog, const char* name = "") const;

    // main_window_menu.cpp
    void BuildMenu();
    QWidget* BuildStatusStrip();
    // The 3D and Strips boxes, from and into their settings.
    void ConnectViewBoxes();
    // A window action with `keys`, not an item of the menu (whose items stay as they are).
    // Give it a tooltip saying what it does, and a "where" property ("Chart", "Playback")
    // unless it acts on the whole window: F1's sheet lists it so, and the tooltip gets its keys.
    QAction* AddShortcut(const char* objectName, const QKeySequence& keys,
                         Qt::ShortcutContext context = Qt::WindowShortcut);

    // main_window_import.cpp
    QString Import(const std::string& path, RecordingKind kind);
    // The import command chosen, or the other one where the block headers say so and the
    // user agrees; nothing when the user cancels.
    std::optional<RecordingKind> ConfirmKind(const QString& path, RecordingKind chosen);

    // main_window_view.cpp
    void Replay(const std::string& path);
    // An open logbook lists the flights again and selects the new ones.
    void RefreshLogbook();
    void ShowFlightLabel();
    void ShowNote(const QString& note);
    // The empty chart's text, from the flight shown (or selected) and the ticks.
    void ShowHint();

    // main_window_limits.cpp
    // The pane below the chart and the search that fills it.
    QWidget* BuildEnginePane();
    // The limit lines of the replay just made, and the search for its exceedances.
    void ShowEngineFindings(bool search);
    void ShowSearchResult(ExceedanceSearch::Result result);

    // main_window_kinds.cpp
    QWidget* BuildKindWarning();
    // The warning for the readings of the flight shown (none: no flight, or not read yet),
    // here, in the Logbook and for the Options dialog's guess.
    void ShowKindWarning(const std::optional<GreatestReadings>& readings);

    // main_window_export.cpp
    // The command of the Export menu item of the export `name`; null for none.
    static Command ExportCommandNamed(std::string_view name);
    // The KML and GPX commands: ask for the file, write the current flight's track (its
    // replays also feed the chart, which so stays filled); `before` runs once it is chosen.
    void ExportTrack(const ExportInfo& e, void (*before)(Session& session) = nullptr);

    // main_window_track.cpp
    // The pane, its check box and Ctrl+K, tied to the chart's time.
    void BuildTrackPane();

    // main_window_map.cpp
    // The tiles, from the per-user choice, and the pane's context menu.
    void BuildMap();
    // The menu's ticks from the choice.
    void ShowMapChoice();
    // "Your own source...": asks for the address and the credit; false when cancelled.
    bool AskOwnMapSource();

    // main_window_history.cpp
    void BuildHistory();
    // After each reading of a flight into the chart (also by an export): a step of its
    // history; for another flight than before, no span, no playback, a recent flight.
    void ChartDrawn();

    // main_window_span.cpp
    void BuildSpanPane();
    void ShowSpanFigures();

    // main_window_playback.cpp
    void BuildPlayback();
    void StopPlayback(bool hideCursor);
    void ShowPlaybackBox();

    // main_window_help.cpp
    void BuildShortcutSheet();
    void ShowShortcutSheet();

    // main_window_files.cpp
    void RememberFlight(const std::string& path);
    // The Flight dialog in the folder of the flight shown, else Flights_INT, the recent
    // flights beside it.
    FileDialog FlightDialog(FileDialog dialog) const;
    // An export's save dialog in Exports, proposing the flight's name with the extension.
    FileDialog ExportDialog(FileDialog dialog) const;
    // Once an export has written `path`: its name and folder in the status strip.
    void ShowWritten(const QString& path);

    Session& session_;
    Prompter& prompter_;
    ChartWidget* chart_ = nullptr;
    QCheckBox* view3D_ = nullptr;
    QCheckBox* strips_ = nullptr;
    ElidedLabel* flightLabel_ = nullptr;
    ElidedLabel* noteLabel_ = nullptr;
    DataSelectionDialog* dataDialog_ = nullptr;
    OptionsDialog* optionsDialog_ = nullptr;
    LogbookWindow* logbook_ = nullptr;
    // The limits, the exceedances pane and its search.
    EnginePane* enginePane_ = nullptr;
    QAction* showExceedances_ = nullptr;
    LimitsDialog* limitsDialog_ = nullptr;
    std::vector<Exceedance> found_;
    ExceedanceSearch* search_ = nullptr;
    // The kinds warning and the readings it is made of.
    QLabel* kindWarning_ = nullptr;
    std::optional<GreatestReadings> readings_;
    // The track pane.
    QCheckBox* viewTrack_ = nullptr;
    TrackView* track_ = nullptr;
    QDockWidget* trackDock_ = nullptr;
    // The map under it.
    TileFetcher* tiles_ = nullptr;
    MapSettings map_;
    QMenu* trackMenu_ = nullptr;

    // The zoom history, the span's pane, the playback and the shortcut sheet.
    ZoomHistory* history_ = nullptr;
    std::string drawnFlight_;  // the flight of the last reading into the chart
    QDockWidget* spanDock_ = nullptr;
    QTableWidget* spanTable_ = nullptr;
    QTimer* playTimer_ = nullptr;
    size_t speedIndex_ = 2;  // ×16
    double playFlightEnd_ = 0;  // the last time charted, where the playback stops
    QLabel* playBox_ = nullptr;
    ShortcutSheet* sheet_ = nullptr;

    bool settingsSaved_ = false;
    bool flightShown_ = false;  // replayed into the chart in this run
    std::string lastFlight_;    // "CurrentFilename" as read: kept while no other is shown
    bool messageIsWarning_ = false;  // the running command's message is shown as a warning
};

}  // namespace krelby
