#include "main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QSplitter>
#include <QVBoxLayout>

#include "base/error.h"
#include "base/program_folder.h"
#include "chart/chart_widget.h"
#include "data_selection_dialog.h"
#include "engine_pane.h"
#include "file_names.h"
#include "limits_dialog.h"
#include "logbook_window.h"
#include "options_dialog.h"
#include "progress_dialog.h"
#include "settings/settings_file.h"
#include "window_settings.h"

namespace krelby {

// The controls keep the names of the form they were first laid out in (TForm1 the window,
// Chart1 the chart, Panel1 the status strip, CheckBox1 the 3D box, Label1 and Label2 the
// flight's caption and path, Import1 and the like the menu): tests and scripts find them so.
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

    ReadSettings();
    setCentralWidget(BuildCentral());
    BuildMenu();

    ShowFlightLabel();
    ShowHint();
    chart_->setFocus();  // the zoom and pan keys work from the start
    ConnectViewBoxes();
    BuildTrackPane();
    BuildHistory();
    BuildSpanPane();
    BuildPlayback();

    limitsDialog_ = new LimitsDialog(session_.settings.limits, session_.settings.units, session_.regional, this);
    dataDialog_ = new DataSelectionDialog(session_.settings.selection, this);
    optionsDialog_ = new OptionsDialog(session_.settings, session_.checks, this);
    BuildShortcutSheet();  // last: it names the shortcuts of every action made before
}

MainWindow::~MainWindow() = default;

void MainWindow::ReadSettings() {
    try {
        const std::string warning =
            LoadSettings(PathBytes(SettingsPath()), session_.settings, lastFlight_);
        if (!warning.empty()) prompter_.Error(this, QString::fromStdString(warning));
    } catch (const std::exception& e) {
        // Unreadable settings leave the defaults; the program still starts.
        prompter_.Error(this, QString::fromStdString(e.what()));
    }
    session_.loaded = {session_.settings, session_.CurrentFlightFile};
}

// The kinds warning over the chart over the Engine pane, the status strip below.
QWidget* MainWindow::BuildCentral() {
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(BuildKindWarning());
    QWidget* pane = BuildEnginePane();
    auto* split = new QSplitter(Qt::Vertical);
    split->setChildrenCollapsible(false);
    split->addWidget(chart_);
    split->addWidget(pane);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    layout->addWidget(split, 1);
    layout->addWidget(BuildStatusStrip());
    return central;
}

QString MainWindow::Folder(const char* name) const {
    return ShownPath(session_.ProgramFolder) + QString::fromUtf8(name);
}

FileDialog MainWindow::InFolder(FileDialog dialog, const char* name) const {
    dialog.folder = Folder(name);
    return dialog;
}

QString MainWindow::SettingsPath() const { return Folder(kSettingsFile); }

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
            prompter_.Error(this, QString::fromStdString(UnableToWriteTo(SettingsPath().toStdString())));
        }
    }
    // The program ends with its main window: the Logbook left open would keep it running.
    if (logbook_) logbook_->close();
    event->accept();
}

}  // namespace krelby
