// The Logbook: every flight file as a row of a sortable table, newest first, with its times,
// distance, extremes and engine figures in the units chosen in Options. The summaries are
// made in a worker thread and fill the table as they come; the main window never waits.
#pragma once
#include <QStringList>
#include <QWidget>
#include <atomic>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "logbook/logbook.h"
#include "logbook_model.h"
#include "prompter.h"
#include "session.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QTabWidget;
class QTableView;

namespace krelby {

class TrendsView;

class LogbookWindow : public QWidget {
    Q_OBJECT
public:
    LogbookWindow(Session& session, Prompter& prompter, QWidget* parent = nullptr);
    ~LogbookWindow() override;

    // Lists the folder's flights again; with `selectNew`, the flights that were not in the
    // table before are selected once the listing is done (after an import).
    void Refresh(bool selectNew = false);
    void Cancel();
    bool Busy() const { return worker_.joinable(); }
    void ExportCsv();

    QTableView* Table() const { return table_; }
    // The file column kept at the left while the figures scroll.
    QTableView* FileColumn() const;
    QLineEdit* Filter() const { return filter_; }
    QLabel* Totals() const { return totals_; }
    QLabel* KindsHint() const { return hint_; }
    // The main window's warning of kinds that look wrong for the flight shown; empty: none.
    void ShowKindWarning(const QString& text);
    QLabel* KindWarning() const { return kindWarning_; }
    // Why the listing went without its database, or which flights could not be read.
    QLabel* Status() const { return status_; }
    const LogbookModel& Model() const { return *model_; }
    QTabWidget* Tabs() const { return tabs_; }
    TrendsView* Trends() const { return trends_; }

signals:
    // The absolute path of the flight file chosen with a double-click or Enter.
    void FlightChosen(const QString& path);

private:
    void BuildTable();
    void Finished(bool selectNew);
    void ShowTotals();
    void Warn(const QString& text);
    void ChooseCurrent();
    void Choose(const QModelIndex& shown);  // a row of the table as shown
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // The width its columns ask for, within nine tenths of the screen, wholly on it.
    void FitToColumns();
    void KeepOnScreen(double share);

    Session& session_;
    Prompter& prompter_;
    LogbookModel* model_ = nullptr;
    QSortFilterProxyModel* proxy_ = nullptr;
    QTableView* table_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    TrendsView* trends_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QLabel* totals_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* hint_ = nullptr;
    QLabel* kindWarning_ = nullptr;
    bool hintWanted_ = false;  // the hint, unless the warning says more
    QStringList warnings_;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::thread worker_;
    std::shared_ptr<std::atomic<bool>> stop_;
    std::set<std::string> before_;  // the files listed before a refresh
    bool placed_ = false;           // given its size and place once, when first shown
    bool fitAfterListing_ = false;  // sized before any rows: sized again to the first listing
};

}  // namespace krelby
