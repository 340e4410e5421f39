#include "logbook_model.h"

#include <QBrush>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

#include "base/recorded_units.h"
#include "format/datetime.h"
#include "logbook/columns.h"
#include "logbook/copies.h"

namespace krelby {
namespace {

constexpr int kCopiesColumn = LogbookModel::kCopiesColumn;
constexpr int kFirstFigure = LogbookModel::kFirstFigure;

const LogbookColumn* FigureAt(int column) {
    const size_t c = size_t(column - kFirstFigure);
    return column >= kFirstFigure && c < LogbookColumns().size() ? &LogbookColumns()[c] : nullptr;
}

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace

LogbookModel::LogbookModel(const UnitSettings& units, QObject* parent) : QAbstractTableModel(parent), units_(units) {}

bool LogbookModel::IsNumeric(int column) {
    const LogbookColumn* c = FigureAt(column);
    return c && c->quantity != Quantity::Time;
}

QString LogbookModel::Unit(int column) const {
    const LogbookColumn* c = FigureAt(column);
    if (!c) return {};
    return c->quantity == Quantity::Duration ? QString("h") : Text(ShownAs(c->quantity, units_).symbol);
}

int LogbookModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(entries_.size());
}

int LogbookModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kFirstFigure + int(LogbookColumns().size());
}

QVariant LogbookModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section == 0) return QString("Flight file");
    if (section == kCopiesColumn) return QString("Copies");
    return QString::fromStdString(LogbookHeading(LogbookColumns()[size_t(section - kFirstFigure)], units_));
}

QVariant LogbookModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const LogbookEntry& e = entries_[size_t(index.row())];
    if (role == kFlightRole) return e.IsFlight();
    if (role == Qt::ForegroundRole) return e.IsFlight() ? QVariant() : QVariant(QBrush(Qt::gray));
    if (role == Qt::ToolTipRole && index.column() == kCopiesColumn) {
        QStringList files;
        for (const std::string& f : e.copies) files << QString::fromStdString(f);
        return files.join('\n');
    }
    if (role != Qt::DisplayRole && role != kSortRole && role != Qt::TextAlignmentRole && role != kValueRole) return {};
    if (index.column() == 0)
        return role == Qt::TextAlignmentRole || role == kValueRole ? QVariant() : QVariant(QString::fromStdString(e.file));
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignRight | Qt::AlignVCenter);
    if (index.column() == kCopiesColumn) return e.IsFlight() ? QVariant(qulonglong(e.Copies())) : QVariant();
    if (!e.IsFlight()) return index.column() == kFirstFigure && role == Qt::DisplayRole ? QVariant("no flight data") : QVariant();
    const LogbookColumn& c = LogbookColumns()[size_t(index.column() - kFirstFigure)];
    const std::optional<double> v = c.get(e.summary);
    if (role == kSortRole) return v ? QVariant(*v) : QVariant();
    if (!v) return {};
    if (role == kValueRole) {
        if (c.quantity == Quantity::Time) return {};
        if (c.quantity == Quantity::Duration) return *v / 3600.0;
        const LogbookUnit s = ShownAs(c.quantity, units_);
        return *v * s.factor + s.offset;
    }
    switch (c.quantity) {
        case Quantity::Time: return QString::fromStdString(IsoText(UnixTimeParts(int64_t(*v)))).replace('T', ' ');
        case Quantity::Duration: return QString::fromStdString(LogbookDuration(*v));
        default: {
            const LogbookUnit s = ShownAs(c.quantity, units_);
            return QString::number(*v * s.factor + s.offset, 'f', s.decimals);
        }
    }
}

void LogbookModel::Clear() {
    beginResetModel();
    entries_.clear();
    flights_.clear();
    endResetModel();
}

// A file with the same flight messages as a flight already listed joins its row, under the
// first file; copies cut short join at the end of the listing (Replace).
void LogbookModel::Add(const LogbookEntry& entry) {
    const FlightSummary& s = entry.summary;
    if (entry.IsFlight() && s.start && s.end && s.flightMessages > 0) {
        const auto [it, added] = flights_.emplace(std::pair(*s.start, s.messagesDigest), entries_.size());
        if (!added && SameFlightMessages(entries_[it->second].summary, s)) {
            LogbookEntry& row = entries_[it->second];
            std::vector<std::string> copies = row.copies;
            copies.insert(copies.end(), entry.copies.begin(), entry.copies.end());
            std::sort(copies.begin(), copies.end());
            if (entry.file < row.file) row = entry;
            row.copies = std::move(copies);
            emit dataChanged(index(int(it->second), 0), index(int(it->second), columnCount() - 1));
            return;
        }
    }
    beginInsertRows({}, int(entries_.size()), int(entries_.size()));
    entries_.push_back(entry);
    endInsertRows();
}

void LogbookModel::Replace(std::vector<LogbookEntry> entries) {
    beginResetModel();
    entries_ = std::move(entries);
    flights_.clear();
    endResetModel();
}

LogbookSort::LogbookSort(const LogbookModel& model, const Regional& regional, QObject* parent)
    : QSortFilterProxyModel(parent), model_(model), regional_(regional) {}

bool LogbookSort::filterAcceptsRow(int row, const QModelIndex& parent) const {
    if (QSortFilterProxyModel::filterAcceptsRow(row, parent)) return true;
    if (row < 0 || size_t(row) >= model_.Entries().size()) return false;
    const FlightSummary& s = model_.Entries()[size_t(row)].summary;
    for (const std::optional<int64_t>& t : {s.start, s.end}) {
        if (!t) continue;
        const std::string shown = FormatShortDateTime(double(*t) / kSecondsPerDay + kUnixEpochDay, regional_);
        if (filterRegularExpression().match(QString::fromStdString(shown)).hasMatch()) return true;
    }
    return false;
}

bool LogbookSort::lessThan(const QModelIndex& a, const QModelIndex& b) const {
    // Files without flight data come after the flights, whichever way the column is sorted.
    const bool fa = a.data(LogbookModel::kFlightRole).toBool(), fb = b.data(LogbookModel::kFlightRole).toBool();
    if (fa != fb) return fa == (sortOrder() == Qt::AscendingOrder);
    const QVariant x = a.data(LogbookModel::kSortRole), y = b.data(LogbookModel::kSortRole);
    if (a.column() == 0) return QString::compare(a.data().toString(), b.data().toString()) < 0;
    if (!x.isValid() || !y.isValid()) return x.isValid() == (sortOrder() == Qt::AscendingOrder);
    return x.toDouble() < y.toDouble();
}

}  // namespace krelby
