// F1's sheet of the main window: every shortcut and mouse gesture, by where it acts. The
// actions are read from themselves; the panes' gestures from what each declares
// (chart/gestures.h): the chart and its strips their own, the track pane's and the Logbook's
// here, until their panes declare them. Every action's tooltip names its shortcut.
#include <QAction>
#include <QMenuBar>

#include "chart/gestures.h"
#include "chart/track_view.h"
#include "main_window.h"
#include "shortcut_sheet.h"

namespace krelby {

void MainWindow::BuildShortcutSheet() {
    DeclareGestures(this, "Window",
                    {
                        {"Alt+underlined letter", "Opens that menu"},
                        {"Drop a file on the window", "Imports a recording, or shows a flight file"},
                    });
    DeclareGestures(track_, "Track",
                    {
                        {"Hover", "The time of the nearest point, on the chart's cursor and readout"},
                        {"Click", "Centres the chart on that time"},
                        {"Double-click", "Shows the two minutes either side on the chart"},
                        {"Wheel, + / −", "Zooms around the mouse"},
                        {"Drag", "Moves the track"},
                        {"Home", "Fits the whole track"},
                        {"Right-click", "The map and its source"},
                    });
    DeclareGestures(this, "Logbook",
                    {
                        {"Enter or double-click", "Shows the flight of the row"},
                        {"Click a column's title", "Sorts by it, again the other way"},
                        {"Esc or Ctrl+W", "Closes the Logbook"},
                        {"Ctrl+Q", "Ends the program"},
                        {"Trends: hover", "Names the flight under the mouse"},
                        {"Trends: double-click", "Shows that flight"},
                    });
    QAction* sheet = AddShortcut("Shortcuts1", QKeySequence(Qt::Key_F1), Qt::ApplicationShortcut);
    sheet->setToolTip("Lists every shortcut and mouse gesture");
    connect(sheet, &QAction::triggered, this, &MainWindow::ShowShortcutSheet);
    sheet_ = new ShortcutSheet(this);
    NameShortcutsInToolTips(this);
    ShowActionToolTips(menuBar());
}

void MainWindow::ShowShortcutSheet() {
    if (sheet_->isVisible()) {
        sheet_->hide();
        return;
    }
    NameShortcutsInToolTips(this);  // actions added since the start
    sheet_->Refresh();
    sheet_->show();
    sheet_->raise();
    sheet_->activateWindow();
}

}  // namespace krelby
