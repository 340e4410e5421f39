#include "logbook_window.h"

#include <QBrush>
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
#include <QSettings>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "base/program_folder.h"
#include "file_names.h"
#include "format/datetime.h"
#include "logbook/columns.h"
#include "logbook/copies.h"
#include "replay/units.h"
#include "trends_view.h"

namespace krelby {
namespace {

const FileDialog kSaveLogbook{"Enter name of logbook file to create", "Comma delimited files (*.CSV)|*.CSV",
                              "CSV", "Logbook.CSV", {}};

struct Shown {
    QString unit;  // for the header; empty for none
    double factor = 1, offset = 0;
    int decimals = 0;
};

// A difference of two values (a spread) takes the factor without the offset.
Shown ShownIn(UnitQuantity q, const UnitSettings& u, bool difference = false) {
    const UnitRow& r = ShownUnit(q, u);
    return {QString::fromUtf8(r.symbol.data(), qsizetype(r.symbol.size())), r.Factor(),
            difference ? 0.0 : r.offset, r.decimals};
}

// A figure in the units chosen in Options (the summary keeps ft, kt, fpm, °C, bar, litres).
Shown ShownAs(Quantity q, const UnitSettings& u) {
    switch (q) {
        case Quantity::Altitude: return ShownIn(UnitQuantity::Altitude, u);
        case Quantity::Speed: return ShownIn(UnitQuantity::LogbookSpeed, u);
        case Quantity::VerticalSpeed: return ShownIn(UnitQuantity::LogbookVerticalSpeed, u);
        case Quantity::Temperature: return ShownIn(UnitQuantity::Temperature, u);
        case Quantity::TemperatureDifference: return ShownIn(UnitQuantity::Temperature, u, true);
        case Quantity::Pressure: return ShownIn(UnitQuantity::LogbookPressure, u);
        case Quantity::Fuel: return ShownIn(UnitQuantity::LiquidQuantity, u);
        case Quantity::Distance: return ShownIn(UnitQuantity::LogbookDistance, u);
        case Quantity::Acceleration: return {"g", 1, 0, 2};
        case Quantity::Rpm: return {"rpm"};
        default: return {};
    }
}

QString Heading(const LogbookColumn& c) {
    static const std::vector<std::pair<std::string_view, QString>> kTitles = {
        {"start", "Start"}, {"end", "End"}, {"duration_s", "Duration"}, {"takeoff", "Takeoff"},
        {"landing", "Landing"}, {"airborne_s", "Airborne"}, {"distance_nm", "Distance"},
        {"max_palt_ft", "Max pressure altitude"}, {"max_ias_kt", "Max IAS"}, {"max_gs_kt", "Max ground speed"},
        {"max_vsi_fpm", "Max climb"}, {"min_vsi_fpm", "Max descent"}, {"max_g", "Max G"}, {"min_g", "Min G"},
        {"fuel_used_l", "Fuel used"}, {"exceedances", "Exceedances"}, {"rpm_max", "Max RPM"}, {"oilt_max", "Max oil temp"},
        {"oilp_min", "Min oil pressure"}, {"cht_max", "Max CHT"}, {"egt_max", "Max EGT"},
        {"egt_spread_max", "Max EGT spread"}};
    std::string_view key = c.name;
    if (c.monitor) key = key.substr(0, key.size() - 2);
    for (std::string_view unit : {"_c", "_bar"})
        if (key.size() > unit.size() && key.substr(key.size() - unit.size()) == unit) key.remove_suffix(unit.size());
    for (const auto& [name, title] : kTitles)
        if (name == key) return c.monitor ? title + " " + QString::number(c.monitor) : title;
    return QString::fromUtf8(c.name.data(), qsizetype(c.name.size()));
}

// The table's columns: the file, its copies, then the logbook's figures.
constexpr int kCopiesColumn = 1;
constexpr int kFirstFigure = LogbookModel::kFirstFigure;

const LogbookColumn* FigureAt(int column) {
    const size_t c = size_t(column - kFirstFigure);
    return column >= kFirstFigure && c < LogbookColumns().size() ? &LogbookColumns()[c] : nullptr;
}

// Like the main window's, the Logbook's size and place are the user's: kept per user.
constexpr const char* kLogbookGeometryKey = "Logbook/Geometry";
std::unique_ptr<QSettings> UserSettings() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Krelby", "Krelby");
}

// The logbook keeps Unix seconds; the chart's dates are days since 1899-12-30.
constexpr double kUnixEpochDays = 25569;

QString Duration(double seconds) {
    const qint64 s = qint64(seconds);
    return QString("%1:%2:%3").arg(s / 3600).arg(s / 60 % 60, 2, 10, QChar('0')).arg(s % 60, 2, 10, QChar('0'));
}

}  // namespace

LogbookModel::LogbookModel(const UnitSettings& units, QObject* parent) : QAbstractTableModel(parent), units_(units) {}

bool LogbookModel::IsNumeric(int column) {
    const LogbookColumn* c = FigureAt(column);
    return c && c->quantity != Quantity::Time;
}

QString LogbookModel::Unit(int column) const {
    const LogbookColumn* c = FigureAt(column);
    if (!c) return {};
    return c->quantity == Quantity::Duration ? QString("h") : ShownAs(c->quantity, units_).unit;
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
    const LogbookColumn& c = LogbookColumns()[size_t(section - kFirstFigure)];
    const Shown shown = ShownAs(c.quantity, units_);
    return shown.unit.isEmpty() ? Heading(c) : Heading(c) + " (" + shown.unit + ")";
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
        const Shown s = ShownAs(c.quantity, units_);
        return *v * s.factor + s.offset;
    }
    switch (c.quantity) {
        case Quantity::Time: return QString::fromStdString(IsoText(UnixTimeParts(int64_t(*v)))).replace('T', ' ');
        case Quantity::Duration: return Duration(*v);
        default: {
            const Shown s = ShownAs(c.quantity, units_);
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

// Empty figures sort after every number, whichever way the column is sorted. The filter
// also finds a flight by its start or end written as the chart and the file names write
// dates ("14/3/24 10:20" with the regional separators).
class LogbookSort : public QSortFilterProxyModel {
public:
    LogbookSort(const LogbookModel& model, const Regional& regional, QObject* parent)
        : QSortFilterProxyModel(parent), model_(model), regional_(regional) {}

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        if (QSortFilterProxyModel::filterAcceptsRow(row, parent)) return true;
        if (row < 0 || size_t(row) >= model_.Entries().size()) return false;
        const FlightSummary& s = model_.Entries()[size_t(row)].summary;
        for (const std::optional<int64_t>& t : {s.start, s.end}) {
            if (!t) continue;
            const std::string shown = FormatShortDateTime(double(*t) / 86400.0 + kUnixEpochDays, regional_);
            if (filterRegularExpression().match(QString::fromStdString(shown)).hasMatch()) return true;
        }
        return false;
    }

    bool lessThan(const QModelIndex& a, const QModelIndex& b) const override {
        // Files without flight data come after the flights, whichever way the column is sorted.
        const bool fa = a.data(LogbookModel::kFlightRole).toBool(), fb = b.data(LogbookModel::kFlightRole).toBool();
        if (fa != fb) return fa == (sortOrder() == Qt::AscendingOrder);
        const QVariant x = a.data(LogbookModel::kSortRole), y = b.data(LogbookModel::kSortRole);
        if (a.column() == 0) return QString::compare(a.data().toString(), b.data().toString()) < 0;
        if (!x.isValid() || !y.isValid()) return x.isValid() == (sortOrder() == Qt::AscendingOrder);
        return x.toDouble() < y.toDouble();
    }

private:
    const LogbookModel& model_;
    const Regional& regional_;
};

// A table whose first column (the file) stays at the left while the figures scroll: a
// second view over that column, on the same model and selection.
class FrozenFileColumn : public QTableView {
public:
    FrozenFileColumn() {
        frozen_ = new QTableView(this);
        frozen_->setObjectName("LogbookFileColumn");
        frozen_->setFocusPolicy(Qt::NoFocus);  // keys go to the table beneath
        frozen_->verticalHeader()->hide();
        frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        frozen_->setEditTriggers(NoEditTriggers);
        frozen_->setSelectionBehavior(SelectRows);
        frozen_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        frozen_->horizontalHeader()->setSortIndicatorShown(true);
        setHorizontalScrollMode(ScrollPerPixel);
        connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(), &QAbstractSlider::setValue);
        connect(verticalScrollBar(), &QAbstractSlider::valueChanged, frozen_->verticalScrollBar(), &QAbstractSlider::setValue);
        connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
            if (section != 0) return;
            frozen_->setColumnWidth(0, size);
            Place();
        });
        connect(verticalHeader(), &QHeaderView::sectionResized, this,
                [this](int section, int, int size) { frozen_->setRowHeight(section, size); });
        connect(horizontalHeader(), &QHeaderView::sortIndicatorChanged, frozen_->horizontalHeader(),
                &QHeaderView::setSortIndicator);
        connect(frozen_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
            const QHeaderView* h = horizontalHeader();
            sortByColumn(section, h->sortIndicatorSection() == section && h->sortIndicatorOrder() == Qt::AscendingOrder
                                      ? Qt::DescendingOrder
                                      : Qt::AscendingOrder);
        });
        viewport()->stackUnder(frozen_);
        frozen_->show();
    }

    void Attach(QAbstractItemModel* model) {
        setModel(model);
        frozen_->setModel(model);
        frozen_->setSelectionModel(selectionModel());
        for (int c = 1; c < model->columnCount(); ++c) frozen_->setColumnHidden(c, true);
        frozen_->setColumnWidth(0, columnWidth(0));
        Place();
    }

    QTableView* Frozen() const { return frozen_; }
    // The width a column's heading and cells ask for.
    int WidthWanted(int column) const {
        return std::max(sizeHintForColumn(column), horizontalHeader()->sectionSizeHint(column));
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QTableView::resizeEvent(event);
        if (frozen_) Place();
    }
    void updateGeometries() override {
        QTableView::updateGeometries();
        if (frozen_) Place();
    }
    // A cell moved to with the keys is never left under the file column.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override {
        const QModelIndex current = QTableView::moveCursor(action, modifiers);
        const int left = visualRect(current).left();
        if (current.column() > 0 && left < frozen_->columnWidth(0))
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() + left - frozen_->columnWidth(0));
        return current;
    }
    // Scrolling to a file scrolls to its row only: the file column is always in sight.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override {
        const int x = horizontalScrollBar()->value();
        QTableView::scrollTo(index, hint);
        if (index.column() == 0) horizontalScrollBar()->setValue(x);
    }

private:
    void Place() {
        frozen_->setGeometry(verticalHeader()->width() + frameWidth(), frameWidth(), columnWidth(0),
                             viewport()->height() + horizontalHeader()->height());
    }

    QTableView* frozen_ = nullptr;
};

LogbookWindow::LogbookWindow(Session& session, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), prompter_(prompter) {
    setObjectName("LogbookWindow");
    setWindowTitle("Logbook");
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
    layout->addWidget(tabs_, 1);
    layout->addWidget(status_);
    layout->addLayout(bottom);
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
    for (size_t m = 0; m < 4; ++m) {
        bool data = false;
        for (const LogbookEntry& e : model_->Entries()) data = data || (e.IsFlight() && e.summary.engines[m].present);
        if (!data) continue;
        engines = true;
        for (size_t n = 0; n < 12; ++n) allDefault = allDefault && kinds[12 * m + n] == EGT;
    }
    hint_->setVisible(engines && allDefault);
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
    const Shown shown = ShownAs(Quantity::Distance, session_.settings.units);
    totals_->setText(QString("%1 flights, %2 in all, %3 airborne, %4 %5")
                         .arg(flights)
                         .arg(Duration(duration), Duration(airborne))
                         .arg(distance * shown.factor, 0, 'f', shown.decimals)
                         .arg(shown.unit));
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
