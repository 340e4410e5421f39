#include "main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include "base/program_folder.h"
#include "chart/chart_widget.h"
#include "chart/track_view.h"
#include "data_selection_dialog.h"
#include "elided_label.h"
#include "exceedance_search.h"
#include "exceedances_pane.h"
#include "limits_dialog.h"
#include "file_names.h"
#include "import_wait.h"
#include "logbook_window.h"
#include "export/csv_export.h"
#include "export/csv_file.h"
#include "export/gpx_export.h"
#include "export/kml_export.h"
#include "export/kml_file.h"
#include "options_dialog.h"
#include "progress_dialog.h"
#include "import/recording_kind.h"
#include "replay/replay.h"
#include "replay/units.h"
#include "settings/settings_file.h"
#include "settings/settings_merge.h"
#include "window_settings.h"

namespace krelby {
namespace {

const FileDialog kOpenFlight{"Select flight recording file for viewing",
                                 "Flight recording files (*.FLT)|*.FLT", "FLT", "*.FLT", {}};
const FileDialog kOpenInternal{
    "Select EFIS recording file for import",
    "Zelvo recording (Zelvobb.dat)|Zelvobb.dat|VQ5 recording (VQ5bb.dat)|VQ5bb.dat", "dat",
    "Zelvobb*.dat", {}};
const FileDialog kOpenSd{"Select EFIS recording file for import",
                             "Zelvo recording (Zelvo.REC)|Zelvo.REC", "REC", "Zelvo*.REC", {}};
const FileDialog kSaveKml{"Enter name of Google file to create",
                              "Goggle Earth file (*.KML)|*.KML", "KML", {}, {}};
const FileDialog kSaveGpx{"Enter name of GPX file to create", "GPX track (*.gpx)|*.gpx", "gpx", {}, {}};
const FileDialog kSaveJpeg{"Enter name of JPEG file to create", "JPEG files (*.JPG)|*.JPG",
                               "JPG", {}, {}};

FileDialog In(FileDialog dialog, const QString& folder) {
    dialog.folder = folder;
    return dialog;
}

// The save dialogs' answer, with the default extension on a name typed without one.
QString AskSave(Prompter& prompter, QWidget* parent, const FileDialog& dialog) {
    return WithDefaultExtension(prompter.SaveFile(parent, dialog), dialog.defaultExtension);
}

bool IsFile(const QString& path) { return IsFileAt(PathBytes(path)); }

// What an empty chart says: how to get a flight, or why the flight shown draws nothing.
const QString kNoFlightHint = "Import a recording (Import menu) or drop a recording or flight file here";
const QString kNothingTickedHint = "Tick the data to chart (Data)";
const QString kTickedNotRecordedHint = "None of the ticked items is recorded in this flight";

QString FileName(const std::string& path) { return QFileInfo(ShownPath(path)).fileName(); }

}  // namespace

MainWindow::MainWindow(Session& session, Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), session_(session), prompter_(prompter) {
    setObjectName("TForm1");
    setWindowTitle("Tarvik EFIS data recording viewer. Version 1.0.4.2");
    resize(780, 612);
    restoreGeometry(UserSettings()->value(kGeometryKey).toByteArray());  // size, place, maximised
    setAcceptDrops(true);

    // An existing folder, or one that cannot be made, is passed over: the commands that
    // need it report the file error.
    for (const char* name : kProgramSubfolders) QDir().mkdir(Folder(name));

    chart_ = new ChartWidget(session_.chart);
    chart_->setObjectName("Chart1");
    chart_->SetRegional(session_.regional);
    chart_->SetUnits(&session_.settings.units);
    chart_->SetItemTicked([this](int box) { return session_.settings.selection.Ticked(box); });

    try {
        const std::string warning =
            LoadSettings(PathBytes(SettingsPath()), session_.settings, lastFlight_);
        if (!warning.empty()) prompter_.Error(this, QString::fromStdString(warning));
    } catch (const std::exception& e) {
        // Unreadable settings leave the defaults; the program still starts.
        prompter_.Error(this, QString::fromStdString(e.what()));
    }
    session_.loaded = {session_.settings, session_.CurrentFlightFile};

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    exceedancesPane_ = new ExceedancesPane;
    exceedancesPane_->hide();
    search_ = new ExceedanceSearch(this);
    search_->onDone = [this](ExceedanceSearch::Result r) { ShowSearchResult(std::move(r)); };
    // A long search shows how far it is (each 4 MiB of the flight).
    search_->onProgress = [this](int percent) {
        if (!session_.settings.limits.Any() || !showExceedances_->isChecked()) return;
        exceedancesPane_->ShowProgress(percent);
        exceedancesPane_->show();
    };
    auto* split = new QSplitter(Qt::Vertical);
    split->setChildrenCollapsible(false);
    split->addWidget(chart_);
    split->addWidget(exceedancesPane_);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    layout->addWidget(split, 1);
    layout->addWidget(BuildStatusStrip());
    setCentralWidget(central);
    BuildMenu();

    ShowFlightLabel();
    ShowHint();
    chart_->setFocus();  // the zoom and pan keys work from the start
    view3D_->setChecked(session_.settings.general.View3D);
    chart_->Set3D(view3D_->isChecked());
    connect(view3D_, &QCheckBox::toggled, this, [this](bool on) {
        session_.settings.general.View3D = on;
        chart_->Set3D(on);
    });
    strips_->setChecked(UserSettings()->value(kStripsKey, false).toBool());
    chart_->SetStrips(strips_->isChecked());
    connect(strips_, &QCheckBox::toggled, this, [this](bool on) {
        UserSettings()->setValue(kStripsKey, on);
        chart_->SetStrips(on);
    });

    BuildTrackPane();

    connect(exceedancesPane_, &ExceedancesPane::Chosen, this, [this](int index) {
        if (index < 0 || index >= static_cast<int>(found_.size())) return;
        const Exceedance& e = found_[static_cast<size_t>(index)];
        chart_->ZoomToTime(e.startTime, e.endTime, 30);
        chart_->ShadeTime(e.startTime, e.endTime);
    });
    limitsDialog_ = new LimitsDialog(session_.settings.limits, session_.settings.units, session_.regional, this);
    dataDialog_ = new DataSelectionDialog(session_.settings.selection, this);
    optionsDialog_ = new OptionsDialog(session_.settings, session_.checks, this);
}

MainWindow::~MainWindow() = default;

QString MainWindow::Folder(const char* name) const {
    return ShownPath(session_.ProgramFolder) + QString::fromUtf8(name);
}

QString MainWindow::SettingsPath() const { return Folder(kSettingsFile); }

QWidget* MainWindow::BuildStatusStrip() {
    auto* panel = new QWidget;
    panel->setObjectName("Panel1");
    panel->setFixedHeight(24);
    view3D_ = new QCheckBox("3D");
    view3D_->setObjectName("CheckBox1");
    strips_ = new QCheckBox("Strips");
    strips_->setObjectName("StripsBox");
    strips_->setToolTip("Each value axis in a strip of its own (Ctrl+T)");
    auto* caption = new QLabel("Selected flight:");
    caption->setObjectName("Label1");
    flightLabel_ = new ElidedLabel;
    flightLabel_->setObjectName("Label2");
    noteLabel_ = new ElidedLabel;
    noteLabel_->setObjectName("NoteLabel");
    noteLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    noteLabel_->hide();
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(7, 0, 7, 0);
    layout->setSpacing(12);
    layout->addWidget(view3D_);
    layout->addWidget(strips_);
    viewTrack_ = new QCheckBox("Track");
    viewTrack_->setObjectName("TrackCheckBox");
    viewTrack_->setToolTip("The flight's ground track beside the chart (Ctrl+K)");
    layout->addWidget(viewTrack_);
    layout->addWidget(caption);
    layout->addWidget(flightLabel_, 3);
    layout->addWidget(noteLabel_, 1);
    return panel;
}

void MainWindow::BuildMenu() {
    // The captions as they read, each with a mnemonic underlined (Alt+I opens Import).
    QMenuBar* bar = menuBar();
    QMenu* import = bar->addMenu("&Import");
    import->setObjectName("Import1");
    import->addAction("Zelvo &internal data recording (ZelvoBB.DAT)", this, &MainWindow::ImportInternal)
        ->setObjectName("ZelvoInternal1");
    import->addAction("Zelvo &SD card recording (Zelvo.REC)", this, &MainWindow::ImportSd)
        ->setObjectName("ZelvoSD1");
    QAction* flight = bar->addAction("&Flight", this, &MainWindow::FlightCommand);
    flight->setObjectName("Flight1");
    flight->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    bar->addAction("&Data", this, &MainWindow::DataCommand)->setObjectName("Data1");
    QAction* print = bar->addAction("&Print", this, &MainWindow::PrintCommand);
    print->setObjectName("Print1");
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    QMenu* exports = bar->addMenu("&Export");
    exports->setObjectName("Export1");
    exports->addAction("Export chart view to a &JPEG image file", this, &MainWindow::JpegCommand)
        ->setObjectName("ExportJpeg1");
    exports->addAction("Export current flight to Google Earth &KML", this, &MainWindow::KmlCommand)
        ->setObjectName("ExportKml1");
    exports->addAction("Export flight as Excel &comma delimited file", this, &MainWindow::CsvCommand)
        ->setObjectName("ExportCsv1");
    exports->addAction("Export current flight as a &GPX track", this, &MainWindow::GpxCommand)
        ->setObjectName("ExportGpx1");
    bar->addAction("&Options", this, &MainWindow::OptionsCommand)->setObjectName("Options1");
    bar->addAction("&Logbook", this, &MainWindow::LogbookCommand)->setObjectName("Logbook1");
    QMenu* limits = bar->addMenu("Li&mits");
    limits->setObjectName("Limits1");
    limits->addAction("&Limits...", this, &MainWindow::LimitsCommand)->setObjectName("EditLimits1");
    showExceedances_ = limits->addAction("Show &exceedances");
    showExceedances_->setObjectName("ShowExceedances1");
    showExceedances_->setCheckable(true);
    showExceedances_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    showExceedances_->setChecked(UserSettings()->value(kExceedancesKey, true).toBool());
    connect(showExceedances_, &QAction::toggled, this, [this](bool on) {
        UserSettings()->setValue(kExceedancesKey, on);
        exceedancesPane_->setVisible(on && exceedancesPane_->HasContent());
    });
    // Closing by keyboard; an action of the window, not of the menu, whose items stay as they are.
    // It ends the program from the Logbook too.
    auto* quit = new QAction(this);
    quit->setObjectName("Quit1");
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setShortcutContext(Qt::ApplicationShortcut);
    connect(quit, &QAction::triggered, this, &QWidget::close);
    addAction(quit);
    auto* strips = new QAction(this);
    strips->setObjectName("Strips1");
    strips->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(strips, &QAction::triggered, strips_, &QCheckBox::toggle);
    addAction(strips);
}

void MainWindow::RunCommand(const QString& progressLabel, const std::function<QString()>& body) {
    QString message, error;
    {
        ProgressScope progress(this, progressLabel);
        session_.progress = progress.Callback();
        try {
            message = body();
        } catch (const std::exception& e) {
            error = QString::fromStdString(e.what());
        } catch (...) {
            error = "Unexpected error";
        }
        session_.progress = {};
    }
    if (!error.isEmpty())
        prompter_.Error(this, error);
    else if (messageIsWarning_)
        prompter_.Warning(this, message);
    else if (!message.isEmpty())
        prompter_.Message(this, message);
    messageIsWarning_ = false;
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
    if (session_.CurrentFlightEnd == 0) ShowNote("No flight data in " + FileName(path));
    ShowHint();
}

void MainWindow::ShowEngineFindings(bool search) {
    // The last flight's list goes at once; this one's follows from the search.
    ShowSearchResult({});
    if (search) search_->Start(session_.CurrentFlightFile, session_.settings.thermocouples, session_.settings.limits);
    else search_->Cancel();
    // A dashed line at each limit of a charted series, in its charted unit.
    std::vector<std::pair<int, double>> lines;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!session_.chart.Slot(slot).inChart) continue;
        for (LimitKey k : LimitsOfSeries(session_.chart.Slot(slot).title))
            if (const std::optional<double>& limit = session_.settings.limits[k])
                lines.emplace_back(slot, LimitShown(k, *limit, session_.settings.units));
    }
    chart_->SetLimitLines(lines);
}

void MainWindow::ShowSearchResult(ExceedanceSearch::Result result) {
    found_ = std::move(result.first);
    exceedancesPane_->Show(found_, result.count, result.cylinders, session_.settings.units, session_.regional,
                           QString::fromStdString(result.error));
    exceedancesPane_->setVisible(showExceedances_->isChecked() && exceedancesPane_->HasContent());
}

void MainWindow::LimitsCommand() {
    RunCommand("Reading flight...", [this] {
        if (limitsDialog_->exec() != QDialog::Accepted) return QString();
        if (!session_.CurrentFlightFile.empty()) Replay(session_.CurrentFlightFile);
        RefreshLogbook();  // its counts follow the limits
        return QString();
    });
}

void MainWindow::ShowHint() {
    QString hint;
    if (!flightShown_)
        hint = kNoFlightHint;
    else if (session_.CurrentFlightEnd == 0)
        hint = "No flight data in " + FileName(session_.CurrentFlightFile);
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
        message += "\n" + FileName(path) + " holds no recording data (no valid Frames).";
        messageIsWarning_ = true;
    }
    return message;
}

void MainWindow::RefreshLogbook() {
    if (logbook_ && logbook_->isVisible()) logbook_->Refresh(true);
}

void MainWindow::LogbookCommand() {
    if (!logbook_) {
        logbook_ = new LogbookWindow(session_, prompter_, this);
        connect(logbook_, &LogbookWindow::FlightChosen, this, &MainWindow::ShowFlight);
    }
    logbook_->show();
    logbook_->raise();
    logbook_->activateWindow();
    logbook_->Refresh();
}

void MainWindow::ShowFlight(const QString& path) {
    RunCommand("Reading flight...", [this, path] {
        const std::string bytes = PathBytes(path);
        if (IsFileAt(bytes)) Replay(bytes);
        return QString();
    });
    ShowFlightLabel();
}

void MainWindow::GpxCommand() {
    ExportTrack("Exporting to GPX...", kSaveGpx, [](Session& s, const std::string& out) {
        GpxExport(s.CurrentFlightFile, s.Inputs(), s.regional, out, &s.chart);
    });
}

void MainWindow::ExportTrack(const QString& progressLabel, const FileDialog& dialog,
                             void (*write)(Session& session, const std::string& out)) {
    RunCommand(progressLabel, [this, &dialog, write] {
        if (session_.CurrentFlightFile.empty()) return QString();
        const QString path = AskSave(prompter_, this, In(dialog, Folder(kExportsFolder)));
        if (path.isEmpty()) return QString();
        write(session_, PathBytes(path));
        return QString();
    });
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

void MainWindow::ShowFlightLabel() {
    flightLabel_->SetText(ShownPath(session_.CurrentFlightFile));
}

void MainWindow::ImportInternal() {
    RunCommand("Importing recording...", [this] {
        const QString path = prompter_.OpenFile(this, In(kOpenInternal, Folder()));
        if (!IsFile(path)) return QString();  // a name typed that is not there: nothing
        const std::optional<RecordingKind> kind = ConfirmKind(path, RecordingKind::Internal);
        return kind ? Import(PathBytes(path), *kind) : QString();
    });
}

void MainWindow::ImportSd() {
    RunCommand("Importing recording...", [this] {
        const QString path = prompter_.OpenFile(this, In(kOpenSd, Folder()));
        if (!IsFile(path)) return QString();
        const std::optional<RecordingKind> kind = ConfirmKind(path, RecordingKind::SdCard);
        return kind ? Import(PathBytes(path), *kind) : QString();
    });
}

void MainWindow::FlightCommand() {
    RunCommand("Reading flight...", [this] {
        const QString path = prompter_.OpenFile(this, In(kOpenFlight, Folder()));
        if (path.isEmpty()) return QString();
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
    RunCommand({}, [this] {
        const QString path = AskSave(prompter_, this, In(kSaveJpeg, Folder(kExportsFolder)));
        if (path.isEmpty()) return QString();
        const QSize size = chart_->size();
        if (size.isEmpty()) return QString();  // a chart without area has no picture
        if (viewTrack_->isChecked() && !track_->size().isEmpty())
            SaveJpegBeside(*chart_, size, *track_, track_->size(), PathBytes(path), session_.CurrentFlightFile);
        else
            chart_->SaveJpeg(PathBytes(path), size, session_.CurrentFlightFile);
        return QString();
    });
}

void MainWindow::KmlCommand() {
    ExportTrack("Exporting to Google Earth...", kSaveKml, [](Session& s, const std::string& out) {
        // The rule is kept in the settings, and so saved with them.
        ApplyOpacityRule(s.settings.kml);
        KmlExport(s.CurrentFlightFile, s.Inputs(), s.regional, out, &s.chart);
    });
}

void MainWindow::CsvCommand() {
    RunCommand("Exporting to CSV...", [this] {
        const std::string& flight = session_.CurrentFlightFile;
        // Said as news, not as an error.
        if (!IsFlightFile(flight)) return QString(kNoFlightSelected);
        // The chart stays filled.
        return QString::fromStdString(CsvExport(flight, session_.Inputs(), session_.regional,
                                                CsvExportPath(session_.ProgramFolder, flight), &session_.chart));
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

void MainWindow::closeEvent(QCloseEvent* event) {
    // Written once, however often the window is asked to close; the program ends even when
    // the file cannot be written.
    search_->Cancel();  // a long search ends at once
    if (!settingsSaved_) {
        settingsSaved_ = true;
        UserSettings()->setValue(kGeometryKey, saveGeometry());
        UserSettings()->setValue(kStateKey, saveState());
        UserSettings()->setValue(kTrackKey, viewTrack_->isChecked());
        session_.settings.general.View3D = view3D_->isChecked();
        try {
            // Over the file as it now stands: keys typed in meanwhile by hand are kept. The
            // flight of the last close stays remembered through a run that showed none.
            const bool none = !flightShown_ && session_.CurrentFlightFile.empty();
            SaveChangedSettings(PathBytes(SettingsPath()), session_.settings,
                                none ? lastFlight_ : session_.CurrentFlightFile, session_.loaded);
        } catch (const std::exception&) {
            prompter_.Error(this, "Unable to write to " + SettingsPath());
        }
    }
    // The program ends with its main window: the Logbook left open would keep it running.
    if (logbook_) logbook_->close();
    event->accept();
}

}  // namespace krelby
