#include "shortcut_sheet.h"

#include <QAction>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

#include "chart/gestures.h"

namespace krelby {
namespace {

constexpr const char* kDoesProperty = "does";  // an action's tooltip before its keys were named

QString Does(const QAction* action) {
    const QVariant does = action->property(kDoesProperty);
    return does.isValid() ? does.toString() : action->toolTip();
}

QString WhereOf(const QAction* action) {
    const QString where = action->property("where").toString();
    return where.isEmpty() ? QString("Window") : where;
}

int GroupOrder(const QString& where) {
    const qsizetype i = kGestureGroups.indexOf(where);
    return i < 0 ? int(kGestureGroups.size()) : int(i);
}

class MenuBarTips : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip) return false;
        auto* bar = static_cast<QMenuBar*>(watched);
        auto* help = static_cast<QHelpEvent*>(event);
        const QAction* action = bar->actionAt(help->pos());
        if (action && !action->menu() && action->toolTip() != action->iconText())
            QToolTip::showText(help->globalPos(), action->toolTip(), bar);
        else
            QToolTip::hideText();
        return true;
    }
};

}  // namespace

QString KeysText(const QList<QKeySequence>& keys) {
    QStringList texts;
    for (const QKeySequence& k : keys) texts << k.toString(QKeySequence::NativeText);
    return texts.join(", ");
}

std::vector<SheetRow> ShortcutRows(const QWidget* window) {
    std::vector<SheetRow> rows;
    for (const QAction* a : window->findChildren<QAction*>())
        if (!a->shortcuts().isEmpty()) rows.push_back({WhereOf(a), KeysText(a->shortcuts()), Does(a)});
    std::set<std::pair<QString, QString>> listed;
    for (const SheetRow& r : rows) listed.insert({r.where, r.keys});
    for (const GestureGroup& group : DeclaredGestures(window))
        for (const Gesture& g : group.gestures)
            if (listed.insert({group.where, g.keys}).second) rows.push_back({group.where, g.keys, g.does});
    std::stable_sort(rows.begin(), rows.end(),
                     [](const SheetRow& a, const SheetRow& b) { return GroupOrder(a.where) < GroupOrder(b.where); });
    return rows;
}

void NameShortcutsInToolTips(QWidget* window) {
    for (QAction* a : window->findChildren<QAction*>()) {
        if (a->shortcuts().isEmpty()) continue;
        const QString does = Does(a);
        a->setProperty(kDoesProperty, does);
        a->setToolTip(QString("%1 (%2)").arg(does, KeysText(a->shortcuts())));
    }
}

void ShowActionToolTips(QMenuBar* bar) { bar->installEventFilter(new MenuBarTips(bar)); }

ShortcutSheet::ShortcutSheet(QWidget* window) : QDialog(window), window_(window) {
    setObjectName("ShortcutSheet");
    setWindowTitle("Keys and mouse");
    tree_ = new QTreeWidget;
    tree_->setObjectName("ShortcutTree");
    tree_->setColumnCount(2);
    tree_->setHeaderLabels({"Keys or mouse", "What it does"});
    tree_->setRootIsDecorated(false);
    tree_->setSelectionMode(QAbstractItemView::NoSelection);
    tree_->header()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree_);
    resize(640, 600);
}

void ShortcutSheet::Refresh() {
    tree_->clear();
    QTreeWidgetItem* group = nullptr;
    for (const SheetRow& r : ShortcutRows(window_)) {
        if (!group || group->text(0) != r.where) {
            group = new QTreeWidgetItem(tree_, {r.where});
            QFont bold = group->font(0);
            bold.setBold(true);
            group->setFont(0, bold);
            group->setFirstColumnSpanned(true);
        }
        new QTreeWidgetItem(group, {r.keys, r.does});
    }
    tree_->expandAll();
    tree_->resizeColumnToContents(0);
    tree_->resizeColumnToContents(1);
    // Wide enough that no line is cut, within the screen it is on.
    const int wanted = tree_->columnWidth(0) + tree_->columnWidth(1) + tree_->verticalScrollBar()->sizeHint().width() +
                       4 * tree_->frameWidth() + layout()->contentsMargins().left() +
                       layout()->contentsMargins().right() + 8;
    const QScreen* screen = window_ ? window_->screen() : nullptr;
    const int most = screen ? screen->availableGeometry().width() * 9 / 10 : wanted;
    resize(std::max(width(), std::min(wanted, most)), height());
}

}  // namespace krelby
