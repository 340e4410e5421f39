#include "app/exceedances_pane.h"

#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "duration_text.h"
#include "engine_text.h"
#include "format/datetime.h"
#include "replay/units.h"
#include "replay/value_text.h"
#include "settings/limits.h"

namespace krelby {
namespace {

// A limit in the recording's own units shows its own decimals (730.5 °C), at least the unit's.
int LimitTextDecimals(const Exceedance& e, const UnitSettings& units, int decimals) {
    if (!LimitShownAsRecorded(e.limit, units)) return decimals;
    const std::string text = LimitText(e.limitValue);
    const size_t point = text.find('.');
    return std::clamp(point == std::string::npos ? 0 : int(text.size() - point - 1), decimals, 9);
}

double ValueOf(const QString& number, char sep) {
    QString plain = number;
    plain.replace(QChar::fromLatin1(sep), '.');
    return plain.toDouble();
}

// Enough decimals for the peak to read otherwise than the limit as shown: the unit's, or
// where those make the two read alike, those of the recording's own step in that unit, and
// more until they differ ("below 3.00 bar, peak 2.9994 bar", never "peak 3.00").
int PeakDecimals(const Exceedance& e, const UnitSettings& units, int decimals, const QString& limit, char sep) {
    const double peak = LimitShown(e.limit, e.peak, units), shownLimit = ValueOf(limit, sep);
    if (ValueOf(DecimalNumber(peak, decimals, sep), sep) != shownLimit) return decimals;
    const double step = std::fabs(LimitShown(e.limit, e.bar ? 1e-4 : 1.0, units) - LimitShown(e.limit, 0, units));
    int d = std::max(decimals, step > 0 ? static_cast<int>(std::ceil(-std::log10(step) - 1e-9)) : 0);
    while (d < 9 && ValueOf(DecimalNumber(peak, d, sep), sep) == shownLimit) ++d;
    return d;
}

constexpr int kIndexRole = Qt::UserRole, kFromRole = Qt::UserRole + 1, kToRole = Qt::UserRole + 2;
constexpr size_t kExpandedRuns = 50;

// 1234567 as "1,234,567".
QString Grouped(int64_t n) {
    QString digits = QString::number(n < 0 ? -n : n);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, ',');
    return n < 0 ? "-" + digits : digits;
}

// "CHT6_1 above 180 °C" and the peak of `peakOf` as shown beside it.
struct LimitTexts {
    QString series, unit, peak;
};
LimitTexts TextsOf(const Exceedance& e, const Exceedance& peakOf, const UnitSettings& units, const Regional& regional) {
    const int decimals = LimitDecimals(e.limit, units);
    const std::string_view symbol = LimitSymbol(e.limit, units);
    const QString unit = QString::fromUtf8(symbol.data(), qsizetype(symbol.size()));
    const char sep = regional.decimalSeparator;
    const QString limit =
        DecimalNumber(LimitShown(e.limit, e.limitValue, units), LimitTextDecimals(e, units, decimals), sep);
    const QString peak = DecimalNumber(LimitShown(e.limit, peakOf.peak, units),
                                       PeakDecimals(peakOf, units, decimals, limit, sep), sep);
    return {QString("%1 %2 %3 %4").arg(QString::fromStdString(e.item), e.minimum ? "below" : "above", limit, unit),
            unit, peak};
}

}  // namespace

QString ExceedanceText(const Exceedance& e, const UnitSettings& units, const Regional& regional) {
    const LimitTexts t = TextsOf(e, e, units, regional);
    return QString("%1 for %2, peak %3 %4, %5")
        .arg(t.series, DurationText(e.DurationS()), t.peak, t.unit, ClockText(e.start, regional));
}

QString ExceedanceGroupText(const std::vector<const Exceedance*>& runs, const UnitSettings& units,
                            const Regional& regional) {
    const Exceedance& first = *runs.front();
    const Exceedance* extreme = &first;
    int64_t seconds = 0;
    for (const Exceedance* e : runs) {
        seconds += e->DurationS();
        if (first.minimum ? e->peak < extreme->peak : e->peak > extreme->peak) extreme = e;
    }
    const LimitTexts t = TextsOf(first, *extreme, units, regional);
    const QString times = runs.size() == 1 ? QString("once, %1").arg(DurationText(seconds))
                                           : QString("%1 times, %2 in all").arg(Grouped(int64_t(runs.size())), DurationText(seconds));
    return QString("%1: %2, peak %3 %4").arg(t.series, times, t.peak, t.unit);
}

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

void ExceedancesPane::Show(const std::vector<Exceedance>& found, int64_t count, bool limited,
                           const UnitSettings& units, const Regional& regional, const QString& error) {
    const QSignalBlocker quiet(tree_);  // a new list chooses nothing
    tree_->clear();
    // A series a group, in the order its first run began; its runs in theirs.
    std::map<std::tuple<std::string, int, bool>, size_t> groupOf;
    std::vector<std::vector<size_t>> groups;
    for (size_t i = 0; i < found.size(); ++i) {
        const auto key = std::make_tuple(found[i].item, int(found[i].limit), found[i].minimum);
        const auto [it, added] = groupOf.emplace(key, groups.size());
        if (added) groups.emplace_back();
        groups[it->second].push_back(i);
    }
    // A series of one run is that run; a group holds the runs of a series of more.
    QList<QTreeWidgetItem*> tops;
    for (const std::vector<size_t>& g : groups) {
        const auto runItem = [&](size_t i, QTreeWidgetItem* parent) {
            auto* item = new QTreeWidgetItem(parent, {ExceedanceText(found[i], units, regional)});
            item->setData(0, kIndexRole, int(i));
            return item;
        };
        if (g.size() == 1) {
            tops << runItem(g.front(), nullptr);
            continue;
        }
        std::vector<const Exceedance*> runs;
        double from = found[g.front()].startTime, to = found[g.front()].endTime;
        auto* top = new QTreeWidgetItem;
        for (size_t i : g) {
            runs.push_back(&found[i]);
            from = std::min(from, found[i].startTime);
            to = std::max(to, found[i].endTime);
            runItem(i, top);
        }
        top->setText(0, ExceedanceGroupText(runs, units, regional));
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
