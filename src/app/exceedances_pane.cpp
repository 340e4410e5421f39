#include "app/exceedances_pane.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QScrollArea>

#include <algorithm>

#include "duration_text.h"
#include "format/datetime.h"
#include "replay/units.h"
#include "replay/value_text.h"

namespace krelby {
namespace {

QString Number(double value, int decimals, char separator) {
    const std::string text = decimals > 0 ? FixedText(value, 12, decimals, separator)
                                          : IntegerText(static_cast<int64_t>(std::llround(value)));
    return QString::fromStdString(text).trimmed();
}

}  // namespace

QString ExceedanceText(const Exceedance& e, const UnitSettings& units, const Regional& regional) {
    const int decimals = LimitDecimals(e.limit, units);
    const QString unit = QString::fromUtf8(LimitSymbol(e.limit, units).data(), int(LimitSymbol(e.limit, units).size()));
    const char sep = regional.decimalSeparator;
    const int64_t day = ((e.start % 86400) + 86400) % 86400;
    const QChar ts = QChar::fromLatin1(regional.timeSeparator);
    const auto two = [](int64_t v) { return QString("%1").arg(v, 2, 10, QChar('0')); };
    const QString time = two(day / 3600) + ts + two(day / 60 % 60) + ts + two(day % 60);
    return QString("%1 %2 %3 %4 for %5, peak %6 %4, %7")
        .arg(QString::fromStdString(e.item), e.minimum ? "below" : "above",
             Number(LimitShown(e.limit, e.limitValue, units), decimals, sep), unit, DurationText(e.DurationS()),
             Number(LimitShown(e.limit, e.peak, units), decimals, sep), time);
}

QString CylinderText(const std::array<std::vector<CylinderInput>, 4>& monitors, const UnitSettings& units) {
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
    cylinders_ = new QLabel;
    cylinders_->setObjectName("CylinderSummary");
    cylinders_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cylinders_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cylinders_->setWordWrap(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(list_, 3);
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

void ExceedancesPane::Show(const std::vector<Exceedance>& found, const std::array<std::vector<CylinderInput>, 4>& cylinders,
                           const UnitSettings& units, const Regional& regional) {
    const QSignalBlocker quiet(list_);  // a new list chooses nothing
    list_->clear();
    for (const Exceedance& e : found) list_->addItem(ExceedanceText(e, units, regional));
    // Nothing chosen, also when the list gets the focus back: a view left without a current
    // row makes its first one current then, which would shade and zoom to a run unasked.
    list_->setCurrentIndex(QModelIndex());
    cylinders_->setText(CylinderText(cylinders, units));
}

}  // namespace krelby
