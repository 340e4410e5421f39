#include "logbook_window.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "base/program_folder.h"
#include "base/recorded_units.h"
#include "file_names.h"
#include "frozen_file_column.h"
#include "logbook/columns.h"
#include "trends_view.h"
#include "window_settings.h"

namespace krelby {
namespace {

const FileDialog kSaveLogbook{"Enter name of logbook file to create", "Comma delimited files (*.CSV)|*.CSV",
                              "CSV", "Logbook.CSV", {}};

// The table's columns: the file, its copies, then the logbook's figures.
constexpr int kFirstFigure = LogbookModel::kFirstFigure;

QString Duration(double seconds) { return QString::fromStdString(LogbookDuration(seconds)); }

}  // namespace

LogbookWindow::LogbookWindow(Session& session, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), prompter_(prompter) {
    setObjectName("LogbookWindow");
    setWindowTitle("Logbook");
    BuildTable();
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);

    filter_ = new QLineEdit;
    filter_->setObjectName("LogbookFilter");
    filter_->setPlaceholderText("Filter (file name, date, any figure)");
    filter_->setClearButtonEnabled(true);
    connect(filter_, &QLineEdit::textChanged, this, [this](const QString& text) {
        proxy_->setFilterFixedString(text);
        ShowTotals();
    });
    auto* exportButton = new QPushButton("Export logbook...");
    exportButton->setObjectName("ExportLogbook");
    connect(exportButton, &QPushButton::clicked, this, &LogbookWindow::ExportCsv);
    totals_ = new QLabel;
    totals_->setObjectName("LogbookTotals");
    hint_ = new QLabel("Engine figures follow the thermocouple kinds: set them in Options.");
    hint_->setObjectName("LogbookKindsHint");
    hint_->hide();
    kindWarning_ = new QLabel;
    kindWarning_->setObjectName("LogbookKindWarning");
    kindWarning_->setWordWrap(true);
    kindWarning_->setStyleSheet("QLabel { background: #fff2c0; color: #4d3b00; padding: 3px 7px; }");
    kindWarning_->setToolTip("For the flight shown in the main window");
    kindWarning_->hide();
    status_ = new QLabel;
    status_->setObjectName("LogbookStatus");
    status_->setWordWrap(true);
    status_->hide();
    progress_ = new QProgressBar;
    progress_->setMaximumWidth(200);
    progress_->hide();
    cancel_ = new QPushButton("Cancel");
    cancel_->hide();
    connect(cancel_, &QPushButton::clicked, this, &LogbookWindow::Cancel);

    trends_ = new TrendsView(*model_, *proxy_, session_.regional);
    connect(trends_, &TrendsView::FlightChosen, this, &LogbookWindow::Choose);
    tabs_ = new QTabWidget;
    tabs_->setObjectName("LogbookTabs");
    tabs_->setDocumentMode(true);  // no frame: the table is as wide as before, fitted to its columns
    tabs_->addTab(table_, "Flights");
    tabs_->addTab(trends_, "Trends");

    auto* top = new QHBoxLayout;
    top->addWidget(filter_, 1);
    top->addWidget(exportButton);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(totals_, 1);
    bottom->addWidget(progress_);
    bottom->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(hint_);
    layout->addWidget(kindWarning_);
    layout->addWidget(tabs_, 1);
    layout->addWidget(status_);
    layout->addLayout(bottom);
}

// The rows, their order and filter, and the table with its file column kept at the left.
void LogbookWindow::BuildTable() {
    model_ = new LogbookModel(session_.settings.units, this);
    proxy_ = new LogbookSort(*model_, session_.regional, this);
    proxy_->setSourceModel(model_);
    proxy_->setFilterKeyColumn(-1);  // any column: a date, a file name
    proxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);
    proxy_->setSortRole(LogbookModel::kSortRole);

    auto* table = new FrozenFileColumn;
    table_ = table;
    table_->setObjectName("LogbookTable");
    table->Attach(proxy_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(kFirstFigure, Qt::DescendingOrder);  // newest first
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->installEventFilter(this);
    connect(table_, &QTableView::doubleClicked, this, [this] { ChooseCurrent(); });
    connect(table->Frozen(), &QTableView::doubleClicked, this, [this] { ChooseCurrent(); });
}

LogbookWindow::~LogbookWindow() { Cancel(); }

QTableView* LogbookWindow::FileColumn() const { return static_cast<FrozenFileColumn*>(table_)->Frozen(); }

void LogbookWindow::showEvent(QShowEvent* event) {
    // A window of its own, not one kept above the main window: a flight chosen here is seen.
    if (QWindow* handle = windowHandle()) handle->setTransientParent(nullptr);
    if (!placed_) {
        placed_ = true;
        if (restoreGeometry(UserSettings()->value(kLogbookGeometryKey).toByteArray())) {
            KeepOnScreen(1.0);
        } else {
            FitToColumns();
            fitAfterListing_ = true;
        }
    }
    QWidget::showEvent(event);
}

void LogbookWindow::hideEvent(QHideEvent* event) {
    if (placed_) UserSettings()->setValue(kLogbookGeometryKey, saveGeometry());
    QWidget::hideEvent(event);
}

void LogbookWindow::FitToColumns() {
    const auto* table = static_cast<const FrozenFileColumn*>(table_);
    int width = 2 * table_->frameWidth() + table_->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < proxy_->columnCount(); ++c)
        if (!table_->isColumnHidden(c)) width += table->WidthWanted(c);
    const QMargins m = layout()->contentsMargins();
    width += m.left() + m.right();
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    const QRect available = screen->availableGeometry();
    resize(width, std::max(480, available.height() * 2 / 3));
    move(available.center() - rect().center());
    KeepOnScreen(0.9);
}

// `share` of the screen at most, and wholly on it (a saved place may be on a screen now gone).
void LogbookWindow::KeepOnScreen(double share) {
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    const QRect available = screen->availableGeometry();
    const QRect outer = frameGeometry(), inner = geometry();  // the same until first shown
    const QSize frame = outer.size() - inner.size();
    resize(size().boundedTo(QSize(int(available.width() * share), int(available.height() * share)) - frame));
    const QSize whole = size() + frame;
    move(std::clamp(pos().x(), available.left(), std::max(available.left(), available.right() + 1 - whole.width())),
         std::clamp(pos().y(), available.top(), std::max(available.top(), available.bottom() + 1 - whole.height())));
}

void LogbookWindow::Refresh(bool selectNew) {
    Cancel();
    before_.clear();
    for (const LogbookEntry& e : model_->Entries()) before_.insert(e.file);
    model_->Clear();
    warnings_.clear();
    status_->clear();
    status_->hide();
    emit model_->headerDataChanged(Qt::Horizontal, 0, model_->columnCount() - 1);  // units may have changed
    stop_ = std::make_shared<std::atomic<bool>>(false);
    progress_->setRange(0, 0);
    progress_->show();
    cancel_->show();
    // The worker gets copies: the session may change while it runs.
    worker_ = std::thread([this, stop = stop_, folder = session_.ProgramFolder,
                           kinds = session_.settings.thermocouples, limits = session_.settings.limits, selectNew] {
        LogbookOptions o;
        o.cancelled = [stop] { return stop->load(); };
        o.warn = [this, stop](const std::string& text) {
            QMetaObject::invokeMethod(this, [this, stop, text = QString::fromStdString(text)] {
                if (!stop->load()) Warn(text);
            }, Qt::QueuedConnection);
        };
        o.onEntry = [this, stop](const LogbookEntry& e, size_t done, size_t total) {
            QMetaObject::invokeMethod(this, [this, stop, e, done, total] {
                if (stop->load()) return;
                model_->Add(e);
                progress_->setRange(0, int(total));
                progress_->setValue(int(done));
                if (done % 256 == 0) ShowTotals();  // each sum runs over every row: not after each one
            }, Qt::QueuedConnection);
        };
        std::vector<LogbookEntry> rows = ListFlights(folder, kinds, limits, o);
        QMetaObject::invokeMethod(this, [this, stop, selectNew, rows = std::move(rows)]() mutable {
            if (stop->load()) return;
            model_->Replace(std::move(rows));
            Finished(selectNew);
        }, Qt::QueuedConnection);
    });
}

void LogbookWindow::Cancel() {
    if (stop_) stop_->store(true);
    if (worker_.joinable()) worker_.join();
    progress_->hide();
    cancel_->hide();
}

void LogbookWindow::Finished(bool selectNew) {
    if (worker_.joinable()) worker_.join();
    progress_->hide();
    cancel_->hide();
    ShowTotals();
    // Engine figures of monitors whose inputs all still have the default kind may count
    // CHT probes and unconnected inputs as EGTs.
    bool engines = false, allDefault = true;
    const ThermocoupleKinds& kinds = session_.settings.thermocouples;
    for (int m = 1; m <= kEngineMonitors; ++m) {
        bool data = false;
        for (const LogbookEntry& e : model_->Entries())
            data = data || (e.IsFlight() && e.summary.engines[size_t(m - 1)].present);
        if (!data) continue;
        engines = true;
        for (int n = 0; n < kThermocoupleInputs; ++n) allDefault = allDefault && kinds[ThermocoupleIndex(m, n)] == EGT;
    }
    hintWanted_ = engines && allDefault;
    hint_->setVisible(hintWanted_ && kindWarning_->isHidden());
    const bool fit = fitAfterListing_;
    fitAfterListing_ = false;
    // The figures of engine monitors that no flight has are left out of sight.
    for (size_t c = 0; c < LogbookColumns().size(); ++c) {
        const LogbookColumn& column = LogbookColumns()[c];
        bool any = false;
        for (const LogbookEntry& e : model_->Entries()) any = any || (e.IsFlight() && column.get(e.summary));
        table_->setColumnHidden(int(c) + kFirstFigure, column.monitor && !any);
        trends_->SetColumnHidden(int(c) + kFirstFigure, column.monitor && !any);
    }
    if (fit && isVisible()) FitToColumns();
    if (!selectNew) return;
    table_->clearSelection();
    for (int row = 0; row < proxy_->rowCount(); ++row) {
        const QModelIndex index = proxy_->index(row, 0);
        if (before_.count(index.data().toString().toStdString())) continue;
        table_->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        table_->scrollTo(index);
    }
}

void LogbookWindow::ShowKindWarning(const QString& text) {
    kindWarning_->setText(text);
    kindWarning_->setVisible(!text.isEmpty());
    hint_->setVisible(hintWanted_ && text.isEmpty());
}

void LogbookWindow::ShowTotals() {
    double duration = 0, airborne = 0, distance = 0;
    int flights = 0;
    for (int row = 0; row < proxy_->rowCount(); ++row) {
        const LogbookEntry& e = model_->Entries()[size_t(proxy_->mapToSource(proxy_->index(row, 0)).row())];
        if (!e.IsFlight()) continue;
        ++flights;
        duration += double(e.summary.durationS.value_or(0));
        airborne += double(e.summary.airborneS.value_or(0));
        distance += e.summary.distanceNm.value_or(0);
    }
    const LogbookUnit shown = ShownAs(Quantity::Distance, session_.settings.units);
    totals_->setText(QString("%1 flights, %2 in all, %3 airborne, %4 %5")
                         .arg(flights)
                         .arg(Duration(duration), Duration(airborne))
                         .arg(distance * shown.factor, 0, 'f', shown.decimals)
                         .arg(QString::fromUtf8(shown.symbol.data(), qsizetype(shown.symbol.size()))));
}

void LogbookWindow::Warn(const QString& text) {
    warnings_.append(text);
    status_->setText(warnings_.size() == 1 ? warnings_[0]
                                           : QString("%1 (and %2 more)").arg(warnings_[0]).arg(warnings_.size() - 1));
    status_->show();
}

void LogbookWindow::ChooseCurrent() { Choose(table_->currentIndex()); }

// The flight of a row shown, chosen from the table or the trends: also the table's current row.
void LogbookWindow::Choose(const QModelIndex& shown) {
    if (!shown.isValid()) return;
    const QModelIndex index = proxy_->index(shown.row(), 0);
    if (table_->currentIndex().row() != index.row()) table_->setCurrentIndex(index);
    const LogbookEntry& e = model_->Entries()[size_t(proxy_->mapToSource(index).row())];
    emit FlightChosen(ShownPath(session_.ProgramFolder + e.file));
    if (QWidget* main = parentWidget()) {
        main->window()->raise();
        main->window()->activateWindow();
    }
}

bool LogbookWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ChooseCurrent();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void LogbookWindow::ExportCsv() {
    FileDialog dialog = kSaveLogbook;
    dialog.folder = QString::fromStdString(session_.ProgramFolder) + kExportsFolder;
    QString path = prompter_.SaveFile(this, dialog);
    if (path.isEmpty()) return;
    path = WithDefaultExtension(path, dialog.defaultExtension);
    // The rows shown, in the order shown, in the columns and number format of krelby-cli flights.
    std::vector<LogbookEntry> rows;
    int flights = 0;
    for (int row = 0; row < proxy_->rowCount(); ++row) {
        rows.push_back(model_->Entries()[size_t(proxy_->mapToSource(proxy_->index(row, 0)).row())]);
        flights += rows.back().IsFlight();
    }
    try {
        SaveLogbookCsv(PathBytes(path), rows, session_.ProgramFolder);
        prompter_.Message(this, QString("%1 flights written to %2").arg(flights).arg(path));
    } catch (const std::exception& e) {
        prompter_.Error(this, QString::fromStdString(e.what()));
    }
}

}  // namespace krelby
