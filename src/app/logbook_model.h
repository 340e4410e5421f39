// The Logbook's rows as a Qt model: a row per flight (its copies joined), the file, its copies,
// then one column per figure of logbook/columns.h in the units chosen in Options; and the
// order and filter the table shows them in.
#pragma once
#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <map>
#include <utility>
#include <vector>

#include "base/regional.h"
#include "logbook/logbook.h"
#include "settings/records.h"

namespace krelby {

class LogbookModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LogbookModel(const UnitSettings& units, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void Clear();
    // A file's entry as the listing goes: a file with the same flight messages joins its row.
    void Add(const LogbookEntry& entry);
    // The listing's end: the rows as JoinCopies made them, copies cut short joined too.
    void Replace(std::vector<LogbookEntry> entries);
    const std::vector<LogbookEntry>& Entries() const { return entries_; }
    // The role whose values sort a column: numbers as numbers, empty figures last.
    static constexpr int kSortRole = Qt::UserRole;
    // Whether the row is a flight (a file with flight data).
    static constexpr int kFlightRole = Qt::UserRole + 1;
    // A figure as a number in the units shown (a duration in hours); empty for a time.
    static constexpr int kValueRole = Qt::UserRole + 2;
    // The file, its copies, then one column per logbook figure.
    static constexpr int kCopiesColumn = 1;
    static constexpr int kFirstFigure = 2;
    // Whether a column holds numbers to chart: any figure but a date and time.
    static bool IsNumeric(int column);
    // The unit of a column's kValueRole ("h" for a duration, "" for a count).
    QString Unit(int column) const;

private:
    const UnitSettings& units_;
    std::vector<LogbookEntry> entries_;
    std::map<std::pair<int64_t, uint64_t>, size_t> flights_;  // start, flight messages' digest -> row
};

// Empty figures sort after every number, whichever way the column is sorted. The filter
// also finds a flight by its start or end written as the chart and the file names write
// dates ("14/3/24 10:20" with the regional separators).
class LogbookSort : public QSortFilterProxyModel {
public:
    LogbookSort(const LogbookModel& model, const Regional& regional, QObject* parent);

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;
    bool lessThan(const QModelIndex& a, const QModelIndex& b) const override;

private:
    const LogbookModel& model_;
    const Regional& regional_;
};

}  // namespace krelby
