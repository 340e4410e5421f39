// The menu bar, the status strip and the window's shortcuts of the main window.
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>

#include "chart/chart_widget.h"
#include "elided_label.h"
#include "engine_pane.h"
#include "main_window.h"
#include "window_settings.h"

namespace krelby {

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

void MainWindow::ConnectViewBoxes() {
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
}

QAction* MainWindow::AddShortcut(const char* objectName, const QKeySequence& keys, Qt::ShortcutContext context) {
    auto* action = new QAction(this);
    action->setObjectName(objectName);
    action->setShortcut(keys);
    action->setShortcutContext(context);
    addAction(action);
    return action;
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
    flight->setToolTip("Shows a flight file");
    bar->addAction("&Data", this, &MainWindow::DataCommand)->setObjectName("Data1");
    QAction* print = bar->addAction("&Print", this, &MainWindow::PrintCommand);
    print->setObjectName("Print1");
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    print->setToolTip("Previews and prints the chart");
    QMenu* exports = bar->addMenu("&Export");
    exports->setObjectName("Export1");
    for (const ExportInfo& e : Exports())
        if (const Command run = ExportCommandNamed(e.name)) {
            QAction* action = exports->addAction(QString::fromUtf8(e.caption), this, run);
            action->setObjectName(e.objectName);
            if (std::string_view(e.name) == "report") action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
        }
    bar->addAction("&Options", this, &MainWindow::OptionsCommand)->setObjectName("Options1");
    bar->addAction("&Logbook", this, &MainWindow::LogbookCommand)->setObjectName("Logbook1");
    QMenu* limits = bar->addMenu("Li&mits");
    limits->setObjectName("Limits1");
    limits->addAction("&Limits...", this, &MainWindow::LimitsCommand)->setObjectName("EditLimits1");
    showExceedances_ = limits->addAction("Show &exceedances");
    showExceedances_->setObjectName("ShowExceedances1");
    showExceedances_->setCheckable(true);
    showExceedances_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    showExceedances_->setToolTip("Lists the flight's exceedances under the chart");
    showExceedances_->setChecked(UserSettings()->value(kExceedancesKey, true).toBool());
    connect(showExceedances_, &QAction::toggled, this, [this](bool on) {
        UserSettings()->setValue(kExceedancesKey, on);
        enginePane_->setVisible(on && enginePane_->HasContent());
    });
    // Closing by keyboard, from the Logbook too.
    QAction* quit = AddShortcut("Quit1", QKeySequence(Qt::CTRL | Qt::Key_Q), Qt::ApplicationShortcut);
    quit->setToolTip("Ends the program");
    connect(quit, &QAction::triggered, this, &QWidget::close);
    QAction* strips = AddShortcut("Strips1", QKeySequence(Qt::CTRL | Qt::Key_T));
    strips->setToolTip(strips_->toolTip().section(" (", 0, 0));
    connect(strips, &QAction::triggered, strips_, &QCheckBox::toggle);
}

}  // namespace krelby
