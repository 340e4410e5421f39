#include "app/exceedances_pane.h"

#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace krelby {
namespace {

constexpr int kIndexRole = Qt::UserRole, kFromRole = Qt::UserRole + 1, kToRole = Qt::UserRole + 2;
constexpr size_t kExpandedRuns = 50;

}  // namespace

ExceedancesPane::ExceedancesPane(QWidget* parent) : QWidget(parent) {
    setObjectName("ExceedancesPane");
    tree_ = new QTreeWidget;
    tree_->setObjectName("ExceedanceTree");
    tree_->setHeaderHidden(true);
    tree_->setUniformRowHeights(true);  // 10,000 rows lay out at once
    tree_->setRootIsDecorated(true);
    note_ = new QLabel;
    note_->setObjectName("ExceedanceNote");
    note_->setWordWrap(true);
    note_->hide();
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(note_);
    column->addWidget(tree_, 1);
    column->addStretch();  // the note at the top while there is no tree
    // A click, the arrow keys, Enter or a double-click: each shows that run, or group.
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { Choose(item); });
    connect(tree_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { Choose(item); });
}

void ExceedancesPane::Choose(QTreeWidgetItem* item) {
    if (!item) return;
    const QVariant run = item->data(0, kIndexRole);
    if (run.isValid()) emit Chosen(run.toInt());
    else emit GroupChosen(item->data(0, kFromRole).toDouble(), item->data(0, kToRole).toDouble());
}

void ExceedancesPane::Show(const std::vector<Exceedance>& found, const std::vector<ExceedanceSeries>& series,
                           int64_t count, bool limited, const UnitSettings& units, const Regional& regional,
                           const QString& error) {
    const QSignalBlocker quiet(tree_);  // a new list chooses nothing
    tree_->clear();
    const std::vector<std::vector<size_t>> groups = ExceedanceGroups(found);
    const auto seriesOf = [&](const Exceedance& e) -> const ExceedanceSeries* {
        for (const ExceedanceSeries& s : series)
            if (s.first.item == e.item && s.first.limit == e.limit && s.first.minimum == e.minimum) return &s;
        return nullptr;
    };
    // A series of one run is that run; a group holds the runs of a series of more.
    QList<QTreeWidgetItem*> tops;
    for (const std::vector<size_t>& g : groups) {
        const auto runItem = [&](size_t i, QTreeWidgetItem* parent) {
            auto* item = new QTreeWidgetItem(parent, {ExceedanceText(found[i], units, regional)});
            item->setData(0, kIndexRole, int(i));
            return item;
        };
        // The group's line counts all its runs, also those beyond the list.
        const ExceedanceSeries* sum = seriesOf(found[g.front()]);
        if (g.size() == 1 && (!sum || sum->count == 1)) {
            tops << runItem(g.front(), nullptr);
            continue;
        }
        double from = found[g.front()].startTime, to = found[g.front()].endTime;
        auto* top = new QTreeWidgetItem;
        for (size_t i : g) {
            from = std::min(from, found[i].startTime);
            to = std::max(to, found[i].endTime);
            runItem(i, top);
        }
        if (sum) top->setText(0, ExceedanceGroupText(*sum, units, regional));
        top->setData(0, kFromRole, from);
        top->setData(0, kToRole, to);
        QFont bold = top->font(0);
        bold.setBold(true);
        top->setFont(0, bold);
        tops << top;
    }
    tree_->addTopLevelItems(tops);
    // Every run in sight while they are few; else the groups alone, to be opened.
    if (found.size() <= kExpandedRuns) tree_->expandAll();
    // Nothing chosen, also when the tree gets the focus back: a view left without a current
    // row makes its first one current then, which would zoom to a run unasked.
    tree_->setCurrentIndex(QModelIndex());
    QString note = error;
    if (note.isEmpty() && count > static_cast<int64_t>(found.size()))
        note = QString("%1 exceedances (first %2 listed)").arg(Grouped(count), Grouped(int64_t(found.size())));
    if (note.isEmpty() && error.isEmpty() && count == 0)
        note = limited ? "No exceedances of the limits." : "No limits set: set them with Limits... (Alt+M).";
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
    tree_->setVisible(!found.empty());  // no empty box under the note
}

void ExceedancesPane::ShowProgress(int percent) {
    note_->setText(QString("Reading the flight... %1%").arg(percent));
    note_->setVisible(true);
}

}  // namespace krelby
