// F1's sheet: every shortcut of the window's actions and every gesture its panes declare
// (chart/gestures.h), grouped by where they act; and the tooltips that name the shortcuts.
#pragma once
#include <QDialog>
#include <QString>

#include <vector>

class QMenuBar;
class QTreeWidget;

namespace krelby {

struct SheetRow {
    QString where;  // "Window", "Chart", ... (an action's "where" property, else "Window")
    QString keys;   // "Backspace, Alt+Left", "Shift+drag"
    QString does;
};

// The shortcuts as the user reads them: "Ctrl+O", several apart by commas.
QString KeysText(const QList<QKeySequence>& keys);
// The rows of `window`: its actions with a shortcut (also those of its children, the Logbook's),
// each with what it does (its tooltip before the keys were named there), then the gestures
// declared under it; in the order of kGestureGroups, a gesture already listed for a group once.
std::vector<SheetRow> ShortcutRows(const QWidget* window);
// Every action of `window` with a shortcut says it in its tooltip: "Flight (Ctrl+O)". Safe to
// run again, for actions added since.
void NameShortcutsInToolTips(QWidget* window);
// The menu bar shows its items' tooltips (Qt shows none there).
void ShowActionToolTips(QMenuBar* bar);

class ShortcutSheet : public QDialog {
    Q_OBJECT
public:
    explicit ShortcutSheet(QWidget* window);
    // Lists the window's rows afresh.
    void Refresh();
    QTreeWidget* Tree() const { return tree_; }

private:
    QWidget* window_;
    QTreeWidget* tree_;
};

}  // namespace krelby
