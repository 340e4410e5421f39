#include "trends_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QSplitter>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <map>
#include <qcustomplot.h>

#include "base/recorded_units.h"
#include "chart/time_ticks.h"
#include "format/datetime.h"
#include "logbook/columns.h"
#include "logbook_model.h"

namespace krelby {
namespace {

// Told apart at a glance, also by a reader who confuses red and green.
const QColor kColours[] = {QColor(0, 114, 178), QColor(213, 94, 0),  QColor(0, 158, 115), QColor(204, 121, 167),
                           QColor(86, 180, 233), QColor(230, 159, 0), QColor(0, 0, 0),     QColor(120, 80, 40)};

constexpr int kNearPixels = 8;  // how close the mouse must come to a point to name it
constexpr double kDay = kSecondsPerDay;  // the ticker's keys are seconds

}  // namespace

TrendsView::TrendsView(const LogbookModel& model, QAbstractItemModel& shown, const Regional& regional, QWidget* parent)
    : QWidget(parent), model_(model), shown_(shown), regional_(regional) {
    setObjectName("LogbookTrends");
    figures_ = new QListWidget;
    figures_->setObjectName("TrendFigures");
    for (int c = 0; c < model_.columnCount(); ++c) {
        if (!LogbookModel::IsNumeric(c)) continue;
        auto* item = new QListWidgetItem(figures_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setData(Qt::UserRole, c);
    }
    ShowLabels();
    connect(figures_, &QListWidget::itemChanged, this, [this] { Schedule(); });
    connect(&model_, &QAbstractItemModel::headerDataChanged, this, [this] {
        ShowLabels();  // the units changed
        Schedule();
    });

    BuildPlot();

    readout_ = new QLabel;
    readout_->setObjectName("TrendReadout");
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* chart = new QWidget;
    auto* chartLayout = new QVBoxLayout(chart);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addWidget(plot_, 1);
    chartLayout->addWidget(readout_);
    auto* split = new QSplitter;
    split->addWidget(figures_);
    split->addWidget(chart);
    split->setStretchFactor(1, 1);
    split->setSizes({220, 600});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split);

    // Rows come one at a time while the logbook fills: drawn once they pause.
    rebuild_.setSingleShot(true);
    rebuild_.setInterval(50);
    connect(&rebuild_, &QTimer::timeout, this, &TrendsView::Rebuild);
    connect(&shown_, &QAbstractItemModel::modelReset, this, &TrendsView::Schedule);
    connect(&shown_, &QAbstractItemModel::rowsInserted, this, &TrendsView::Schedule);
    connect(&shown_, &QAbstractItemModel::rowsRemoved, this, &TrendsView::Schedule);
    connect(&shown_, &QAbstractItemModel::layoutChanged, this, &TrendsView::Schedule);
    connect(&shown_, &QAbstractItemModel::dataChanged, this, &TrendsView::Schedule);
}

// The dates along the bottom, the legend above, the readout and the double-click.
void TrendsView::BuildPlot() {
    plot_ = new QCustomPlot;
    plot_->setObjectName("TrendPlot");
    QSharedPointer<QCPAxisTickerDateTime> ticker(new QCPAxisTickerDateTime);
    ticker->setDateTimeSpec(Qt::UTC);  // the logbook's times are the recorded clock's, as they stand
    const QChar ds = QChar::fromLatin1(regional_.dateSeparator);
    ticker->setDateTimeFormat(QString("d%1M%1yy").arg(ds));
    plot_->xAxis->setTicker(ticker);
    // Dates as many as the plot's width holds apart (its margins as last laid out).
    connect(plot_, &QCustomPlot::beforeReplot, this, [this] {
        const QMargins m = plot_->axisRect()->margins();
        FitTickCount(*plot_->xAxis, plot_->viewport().width() - m.left() - m.right(), 8);
    });
    // The legend above the plot, out of the lines' way, three figures to a row. Beside it an
    // empty cell takes what it leaves: an empty legend is narrow, and its column would
    // squeeze the plot below it to that width.
    plot_->axisRect()->insetLayout()->take(plot_->legend);
    plot_->plotLayout()->insertRow(0);
    auto* top = new QCPLayoutGrid;
    plot_->plotLayout()->addElement(0, 0, top);
    top->addElement(0, 0, plot_->legend);
    top->addElement(0, 1, new QCPLayoutElement(plot_));
    top->setColumnStretchFactor(1, 0.001);
    plot_->plotLayout()->setRowStretchFactor(0, 0.001);
    plot_->legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    plot_->legend->setWrap(3);
    plot_->legend->setBorderPen(Qt::NoPen);
    plot_->legend->setBrush(Qt::NoBrush);
    plot_->setAutoAddPlottableToLegend(true);
    plot_->setMouseTracking(true);  // the readout follows the mouse, no button held
    connect(plot_, &QCustomPlot::mouseMove, this, &TrendsView::Hover);
    connect(plot_, &QCustomPlot::mouseDoubleClick, this, &TrendsView::DoubleClick);
}

void TrendsView::ShowLabels() {
    const QSignalBlocker quiet(figures_);
    for (int i = 0; i < figures_->count(); ++i) {
        QListWidgetItem* item = figures_->item(i);
        item->setText(model_.headerData(item->data(Qt::UserRole).toInt(), Qt::Horizontal, Qt::DisplayRole).toString());
    }
}

void TrendsView::Tick(int column, bool ticked) {
    for (int i = 0; i < figures_->count(); ++i)
        if (figures_->item(i)->data(Qt::UserRole).toInt() == column)
            figures_->item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void TrendsView::SetColumnHidden(int column, bool hidden) {
    for (int i = 0; i < figures_->count(); ++i) {
        QListWidgetItem* item = figures_->item(i);
        if (item->data(Qt::UserRole).toInt() != column || item->isHidden() == hidden) continue;
        item->setHidden(hidden);
        if (item->checkState() == Qt::Checked) Schedule();
    }
}

void TrendsView::Schedule() {
    if (isVisible()) rebuild_.start();
    else stale_ = true;
}

void TrendsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (stale_) Rebuild();
}

void TrendsView::Rebuild() {
    rebuild_.stop();
    stale_ = false;
    plot_->clearGraphs();
    plot_->clearItems();
    marker_ = nullptr;
    points_.clear();
    columns_.clear();
    readout_->clear();

    const Flights flights = FlightsByStart();
    const std::map<QString, QCPAxis*> byUnit = DrawFigures(flights);
    FitValueAxes(byUnit);
    FitDateAxis(flights);
    plot_->legend->setVisible(plot_->graphCount() > 0);
    if (flights.empty() || plot_->graphCount() == 0) {
        auto* text = new QCPItemText(plot_);
        text->position->setType(QCPItemPosition::ptAxisRectRatio);
        text->position->setCoords(0.5, 0.5);
        text->setText(flights.empty() ? "No flights shown: the filter leaves none"
                                      : "Tick the figures to chart at the left");
        text->setColor(Qt::darkGray);
    }
    plot_->replot();
}

// The flights shown, by start: the date axis spans them all, charted or not.
TrendsView::Flights TrendsView::FlightsByStart() const {
    int startColumn = 0;
    for (size_t c = 0; c < LogbookColumns().size(); ++c)
        if (LogbookColumns()[c].name == "start") startColumn = LogbookModel::kFirstFigure + int(c);
    Flights flights;
    for (int row = 0; row < shown_.rowCount(); ++row) {
        const QModelIndex start = shown_.index(row, startColumn);
        if (!start.data(LogbookModel::kFlightRole).toBool()) continue;
        const QVariant t = start.data(LogbookModel::kSortRole);
        if (t.isValid()) flights.emplace_back(t.toDouble(), row);
    }
    std::sort(flights.begin(), flights.end());
    return flights;
}

// One value axis per unit: the first at the left, the second at the right, then alternately.
std::map<QString, QCPAxis*> TrendsView::DrawFigures(const Flights& flights) {
    QCPAxisRect* rect = plot_->axisRect();
    std::vector<QCPAxis*> axes = {plot_->yAxis, plot_->yAxis2};
    for (QCPAxis* a : rect->axes(QCPAxis::atLeft | QCPAxis::atRight))
        if (a != plot_->yAxis && a != plot_->yAxis2) axes.push_back(a);
    for (QCPAxis* a : axes) a->setVisible(false);
    std::map<QString, QCPAxis*> byUnit;

    for (int i = 0; i < figures_->count(); ++i) {
        const QListWidgetItem* item = figures_->item(i);
        if (item->checkState() != Qt::Checked || item->isHidden()) continue;
        const int column = item->data(Qt::UserRole).toInt();
        const QString unit = model_.Unit(column);
        QCPAxis*& axis = byUnit[unit];
        if (!axis) {
            const size_t n = byUnit.size() - 1;
            if (n >= axes.size()) axes.push_back(rect->addAxis(n % 2 ? QCPAxis::atRight : QCPAxis::atLeft));
            axis = axes[n];
            axis->setVisible(true);
            axis->setTickLabels(true);
            axis->setLabel(unit);
        }
        AddGraph(item->text(), column, axis, flights);
    }
    return byUnit;
}

void TrendsView::AddGraph(const QString& name, int column, QCPAxis* axis, const Flights& flights) {
    std::vector<Point> points;
    QVector<double> keys, values;
    for (const auto& [start, row] : flights) {
        const QVariant v = shown_.index(row, column).data(LogbookModel::kValueRole);
        if (!v.isValid()) continue;
        points.push_back({start, v.toDouble(), QPersistentModelIndex(shown_.index(row, 0))});
        keys.push_back(start);
        values.push_back(v.toDouble());
    }
    QCPGraph* graph = plot_->addGraph(plot_->xAxis, axis);
    const QColor colour = kColours[columns_.size() % std::size(kColours)];
    graph->setPen(QPen(colour, 1.5));
    graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, colour, colour, 6));
    graph->setName(name);
    graph->setData(keys, values, true);
    points_.push_back(std::move(points));
    columns_.push_back(column);
}

// Each axis spans its graphs' values, with a margin; an empty chart keeps its frame.
void TrendsView::FitValueAxes(const std::map<QString, QCPAxis*>& byUnit) {
    for (const auto& [unit, axis] : byUnit) {
        bool found = false;
        QCPRange range;
        for (QCPGraph* g : plot_->axisRect()->graphs()) {
            if (g->valueAxis() != axis) continue;
            bool ok = false;
            const QCPRange r = g->getValueRange(ok);
            if (!ok) continue;
            range = found ? QCPRange(std::min(range.lower, r.lower), std::max(range.upper, r.upper)) : r;
            found = true;
        }
        if (!found) range = QCPRange(0, 1);
        const double pad = std::max(range.size() * 0.08, std::max(1e-3, std::abs(range.center()) * 0.02));
        axis->setRange(range.lower - pad, range.upper + pad);
    }
    if (byUnit.empty()) {  // the frame of an empty chart
        plot_->yAxis->setVisible(true);
        plot_->yAxis->setTickLabels(false);
        plot_->yAxis->setLabel({});
    }
}

// A little room either side, so that the first and last flights are not on the frame.
void TrendsView::FitDateAxis(const Flights& flights) {
    if (flights.empty()) {
        plot_->xAxis->setRange(QCPRange(0, kDay));
    } else {
        const double first = flights.front().first, last = flights.back().first;
        const double pad = std::max((last - first) * 0.03, kDay / 2);
        plot_->xAxis->setRange(first - pad, last + pad);
    }
}

bool TrendsView::PointAt(const QPoint& at, int& graph, size_t& point) const {
    double best = kNearPixels * kNearPixels + 1;
    for (int g = 0; g < plot_->graphCount() && size_t(g) < points_.size(); ++g) {
        const QCPGraph* gr = plot_->graph(g);
        for (size_t i = 0; i < points_[size_t(g)].size(); ++i) {
            const Point& p = points_[size_t(g)][i];
            const double dx = gr->keyAxis()->coordToPixel(p.start) - at.x();
            const double dy = gr->valueAxis()->coordToPixel(p.value) - at.y();
            if (dx * dx + dy * dy < best) {
                best = dx * dx + dy * dy;
                graph = g;
                point = i;
            }
        }
    }
    return best <= kNearPixels * kNearPixels;
}

void TrendsView::Hover(QMouseEvent* event) {
    int g = 0;
    size_t i = 0;
    if (!PointAt(event->pos(), g, i) || !points_[size_t(g)][i].row.isValid()) {
        readout_->clear();
        QToolTip::hideText();
        if (marker_ && marker_->visible()) {
            marker_->setVisible(false);
            plot_->replot(QCustomPlot::rpQueuedReplot);
        }
        return;
    }
    const Point& p = points_[size_t(g)][i];
    if (!marker_) {
        marker_ = new QCPItemTracer(plot_);
        marker_->setStyle(QCPItemTracer::tsCircle);
        marker_->setSize(12);
    }
    marker_->setGraph(plot_->graph(g));
    marker_->setGraphKey(p.start);
    marker_->setPen(QPen(plot_->graph(g)->pen().color(), 2));
    marker_->setVisible(true);
    plot_->replot(QCustomPlot::rpQueuedReplot);
    const QModelIndex row = p.row;
    const QString file = row.data().toString();
    const QString when = QString::fromStdString(FormatShortDateTime(p.start / kDay + kUnixEpochDay, regional_));
    const QString figure = plot_->graph(g)->name();
    const QString value = shown_.index(row.row(), columns_[size_t(g)]).data().toString();
    const QString text = QString("%1, %2: %3 %4").arg(file, when, figure, value);
    readout_->setText(text);
    QToolTip::showText(event->globalPosition().toPoint(), text, plot_);
}

void TrendsView::DoubleClick(QMouseEvent* event) {
    int g = 0;
    size_t i = 0;
    if (PointAt(event->pos(), g, i) && points_[size_t(g)][i].row.isValid()) emit FlightChosen(points_[size_t(g)][i].row);
}

}  // namespace krelby
