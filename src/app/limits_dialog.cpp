#include "app/limits_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cmath>

#include "replay/units.h"
#include "replay/value_text.h"
#include "settings/limits.h"

namespace krelby {
namespace {

constexpr std::array<const char*, kLimitKeyCount> kCaptions = {
    "Maximum RPM",
    "Maximum manifold pressure",
    "Minimum oil pressure (at 500 rpm or more)",
    "Maximum oil pressure",
    "Maximum oil temperature",
    "Minimum fuel pressure (at 500 rpm or more)",
    "Maximum fuel pressure",
    "Maximum coolant temperature",
    "Maximum EGT (each EGT input)",
    "Maximum CHT (each CHT input)",
    "Maximum EGT spread",
};

// A shown limit: its unit's decimals and two more, so that a converted limit reads back
// close to where it was, without trailing zeros.
QString ShownText(LimitKey k, double recorded, const UnitSettings& u, char separator) {
    std::string text = FixedText(LimitShown(k, recorded, u), 12, LimitDecimals(k, u) + 2, '.');
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    const size_t first = text.find_first_not_of(' ');
    text = text.substr(first == std::string::npos ? 0 : first);
    for (char& c : text)
        if (c == '.') c = separator;
    return QString::fromStdString(text);
}

}  // namespace

LimitsDialog::LimitsDialog(Limits& limits, const UnitSettings& units, const Regional& regional, QWidget* parent)
    : QDialog(parent), limits_(limits), units_(units), regional_(regional) {
    setObjectName("LimitsDialog");
    setWindowTitle("Limits");
    auto* grid = new QGridLayout;
    for (int i = 0; i < kLimitKeyCount; ++i) {
        fields_[size_t(i)] = new QLineEdit;
        fields_[size_t(i)]->setObjectName(QString::fromUtf8(kLimitKeys[size_t(i)].name.data(),
                                                            int(kLimitKeys[size_t(i)].name.size())));
        fields_[size_t(i)]->setPlaceholderText("off");
        unitLabels_[size_t(i)] = new QLabel;
        grid->addWidget(new QLabel(kCaptions[size_t(i)]), i, 0);
        grid->addWidget(fields_[size_t(i)], i, 1);
        grid->addWidget(unitLabels_[size_t(i)], i, 2);
    }
    auto* note = new QLabel("One set for every engine monitor. An empty field is no limit.");
    note->setWordWrap(true);
    error_ = new QLabel;
    error_->setObjectName("LimitsError");
    error_->setStyleSheet("color: #b00000");
    error_->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (StoreFields()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(note);
    layout->addWidget(error_);
    layout->addWidget(buttons);
}

void LimitsDialog::showEvent(QShowEvent* event) {
    LoadFields();
    QDialog::showEvent(event);
}

void LimitsDialog::LoadFields() {
    error_->hide();
    for (int i = 0; i < kLimitKeyCount; ++i) {
        const auto k = static_cast<LimitKey>(i);
        const std::optional<double>& value = limits_[k];
        shown_[size_t(i)] = value ? ShownText(k, *value, units_, regional_.decimalSeparator) : QString();
        fields_[size_t(i)]->setText(shown_[size_t(i)]);
        unitLabels_[size_t(i)]->setText(QString::fromUtf8(LimitSymbol(k, units_).data(),
                                                          int(LimitSymbol(k, units_).size())));
    }
}

bool LimitsDialog::StoreFields() {
    std::array<std::optional<double>, kLimitKeyCount> values;
    for (int i = 0; i < kLimitKeyCount; ++i) {
        const auto k = static_cast<LimitKey>(i);
        const QString text = fields_[size_t(i)]->text().trimmed();
        if (text == shown_[size_t(i)].trimmed()) {
            values[size_t(i)] = limits_[k];  // untouched: no round trip through the units
            continue;
        }
        if (text.isEmpty()) continue;
        // The regional separator or a point, as the pilot types it.
        QString plain = text;
        plain.replace(QChar::fromLatin1(regional_.decimalSeparator), '.');
        const std::optional<double> shown = ParseLimit(plain.toStdString());
        if (!shown) {
            error_->setText(QString("%1: \"%2\" is not a number.").arg(kCaptions[size_t(i)], text));
            error_->show();
            fields_[size_t(i)]->setFocus();
            fields_[size_t(i)]->selectAll();
            return false;
        }
        values[size_t(i)] = LimitRecorded(k, *shown, units_);
    }
    for (int i = 0; i < kLimitKeyCount; ++i) {
        const auto k = static_cast<LimitKey>(i);
        if (values[size_t(i)] != limits_[k]) limits_.Set(k, values[size_t(i)]);
    }
    return true;
}

}  // namespace krelby
