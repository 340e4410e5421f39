#include "app/exceedances_pane.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "base/recorded_units.h"
#include "duration_text.h"
#include "format/datetime.h"
#include "replay/units.h"
#include "replay/value_text.h"
#include "settings/limits.h"

namespace krelby {
namespace {

QString Number(double value, int decimals, char separator) {
    const std::string text = decimals > 0 ? FixedText(value, 12, decimals, separator)
                                          : IntegerText(static_cast<int64_t>(std::llround(value)));
    return QString::fromStdString(text).trimmed();
}

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
    if (ValueOf(Number(peak, decimals, sep), sep) != shownLimit) return decimals;
    const double step = std::fabs(LimitShown(e.limit, e.bar ? 1e-4 : 1.0, units) - LimitShown(e.limit, 0, units));
    int d = std::max(decimals, step > 0 ? static_cast<int>(std::ceil(-std::log10(step) - 1e-9)) : 0);
    while (d < 9 && ValueOf(Number(peak, d, sep), sep) == shownLimit) ++d;
    return d;
}

// 1234567 as "1,234,567".
QString Grouped(int64_t n) {
    QString digits = QString::number(n < 0 ? -n : n);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, ',');
    return n < 0 ? "-" + digits : digits;
}

}  // namespace

QString ExceedanceText(const Exceedance& e, const UnitSettings& units, const Regional& regional) {
    const int decimals = LimitDecimals(e.limit, units);
    const QString unit = QString::fromUtf8(LimitSymbol(e.limit, units).data(), int(LimitSymbol(e.limit, units).size()));
    const char sep = regional.decimalSeparator;
    const int64_t day = ((e.start % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
    const QChar ts = QChar::fromLatin1(regional.timeSeparator);
    const auto two = [](int64_t v) { return QString("%1").arg(v, 2, 10, QChar('0')); };
    const QString time = two(day / 3600) + ts + two(day / 60 % 60) + ts + two(day % 60);
    const QString limit = Number(LimitShown(e.limit, e.limitValue, units), LimitTextDecimals(e, units, decimals), sep);
    return QString("%1 %2 %3 %4 for %5, peak %6 %4, %7")
        .arg(QString::fromStdString(e.item), e.minimum ? "below" : "above", limit, unit, DurationText(e.DurationS()),
             Number(LimitShown(e.limit, e.peak, units), PeakDecimals(e, units, decimals, limit, sep), sep), time);
}

QString CylinderText(const std::array<std::vector<CylinderInput>, kEngineMonitors>& monitors, const UnitSettings& units) {
    const QString unit = QString::fromUtf8(ShownUnit(UnitQuantity::Temperature, units).symbol.data());
    QStringList lines;
    for (size_t m = 0; m < monitors.size(); ++m) {
        QStringList parts;
        for (const uint8_t kind : {uint8_t(EGT), uint8_t(CHT)}) {
            const char* name = kind == EGT ? "EGT" : "CHT";
            QStringList values;
            const CylinderInput* hottest = nullptr;
            for (const CylinderInput& c : monitors[m]) {
                if (c.kind != kind) continue;
                values << QString("%1: %2").arg(c.input).arg(ConvertTemperature(c.max, units));
                if (!hottest || c.max > hottest->max) hottest = &c;
            }
            if (hottest)
                parts << QString("%1 max %2 %3, hottest %1%4").arg(name, values.join(", "), unit).arg(hottest->input);
        }
        if (!parts.isEmpty()) lines << QString("Monitor %1: %2").arg(m + 1).arg(parts.join("; "));
    }
    return lines.join('\n');
}

ExceedancesPane::ExceedancesPane(QWidget* parent) : QWidget(parent) {
    setObjectName("ExceedancesPane");
    list_ = new QListWidget;
    list_->setObjectName("ExceedanceList");
    note_ = new QLabel;
    note_->setObjectName("ExceedanceNote");
    note_->setWordWrap(true);
    note_->hide();
    cylinders_ = new QLabel;
    cylinders_->setObjectName("CylinderSummary");
    cylinders_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cylinders_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cylinders_->setWordWrap(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    auto* column = new QVBoxLayout;
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(note_);
    column->addWidget(list_, 1);
    layout->addLayout(column, 3);
    layout->addWidget(cylinders_, 2);
    // A click, the arrow keys, Enter or a double-click: each shows that exceedance.
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) emit Chosen(row);
    });
    connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { emit Chosen(list_->row(item)); });
}

QSize ExceedancesPane::sizeHint() const {
    return QSize(QWidget::sizeHint().width(), list_->fontMetrics().height() * 5 + 16);
}

void ExceedancesPane::Show(const std::vector<Exceedance>& found, int64_t count,
                           const std::array<std::vector<CylinderInput>, kEngineMonitors>& cylinders, const UnitSettings& units,
                           const Regional& regional, const QString& error) {
    const QSignalBlocker quiet(list_);  // a new list chooses nothing
    list_->clear();
    for (const Exceedance& e : found) list_->addItem(ExceedanceText(e, units, regional));
    // Nothing chosen, also when the list gets the focus back: a view left without a current
    // row makes its first one current then, which would shade and zoom to a run unasked.
    list_->setCurrentIndex(QModelIndex());
    cylinders_->setText(CylinderText(cylinders, units));
    QString note = error;
    if (note.isEmpty() && count > static_cast<int64_t>(found.size()))
        note = QString("%1 exceedances (first %2 listed)").arg(Grouped(count), Grouped(int64_t(found.size())));
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
    hasContent_ = count > 0 || !error.isEmpty();
}

void ExceedancesPane::ShowProgress(int percent) {
    note_->setText(QString("Finding exceedances... %1%").arg(percent));
    note_->setVisible(true);
}

}  // namespace krelby
