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

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
QString Caption(LimitKey k) { return Text(InfoOf(k).caption); }

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
    // Made in the order shown, which is the order of Tab: the later limits after the seconds.
    int rows = 0;
    const auto limitRow = [&](int i) {
        fields_[size_t(i)] = new QLineEdit;
        fields_[size_t(i)]->setObjectName(Text(kLimitKeys[size_t(i)].name));
        fields_[size_t(i)]->setPlaceholderText("off");
        unitLabels_[size_t(i)] = new QLabel;
        const int row = rows++;
        grid->addWidget(new QLabel(Caption(static_cast<LimitKey>(i))), row, 0);
        grid->addWidget(fields_[size_t(i)], row, 1);
        grid->addWidget(unitLabels_[size_t(i)], row, 2);
    };
    constexpr int kLaterLimits = static_cast<int>(LimitKey::ChtCoolingMax);
    for (int i = 0; i < kLaterLimits; ++i) limitRow(i);
    for (size_t i = 0; i < kSecondsKeys.size(); ++i) {
        QLineEdit*& field = secondsFields_[i];
        field = new QLineEdit;
        field->setObjectName(Text(kSecondsKeys[i].name));
        const int row = rows++;
        grid->addWidget(new QLabel(Text(kSecondsKeys[i].caption)), row, 0);
        grid->addWidget(field, row, 1);
        grid->addWidget(new QLabel("s"), row, 2);
    }
    for (int i = kLaterLimits; i < kLimitKeyCount; ++i) limitRow(i);
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
        unitLabels_[size_t(i)]->setText(Text(LimitSymbol(k, units_)));
    }
    for (size_t i = 0; i < kSecondsKeys.size(); ++i)
        secondsFields_[i]->setText(QString::number((limits_.*kSecondsKeys[i].field).value));
}

bool LimitsDialog::Refuse(QLineEdit* field, const QString& text) {
    error_->setText(text);
    error_->show();
    field->setFocus();
    field->selectAll();
    return false;
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
        double shown = 0;
        const LimitRead read = ReadLimit(plain.toStdString(), shown);
        if (read == LimitRead::NotANumber)
            return Refuse(fields_[size_t(i)], QString("%1: \"%2\" is not a number.").arg(Caption(k), text));
        // In the recording's own units what is typed is stored as it stands; a converted
        // limit is rounded to 4 decimals.
        const double recorded = LimitShownAsRecorded(k, units_) ? shown : RoundedLimit(LimitRecorded(k, shown, units_));
        if (read == LimitRead::OutOfRange || !(std::fabs(recorded) <= kLimitMagnitude))
            return Refuse(fields_[size_t(i)], QString("%1: \"%2\" is beyond any engine's range.").arg(Caption(k), text));
        values[size_t(i)] = recorded;
    }
    std::array<std::optional<int64_t>, kSecondsKeys.size()> seconds;
    for (size_t i = 0; i < kSecondsKeys.size(); ++i) {
        const QString text = secondsFields_[i]->text().trimmed();
        const SecondsSetting& now = limits_.*kSecondsKeys[i].field;
        if (text == QString::number(now.value)) continue;  // untouched: its text stays as read
        seconds[i] = ParseSeconds(text.toStdString());
        if (!seconds[i])
            return Refuse(secondsFields_[i],
                          QString("%1: \"%2\" is not a whole number of seconds.").arg(Text(kSecondsKeys[i].caption), text));
    }
    for (int i = 0; i < kLimitKeyCount; ++i) {
        const auto k = static_cast<LimitKey>(i);
        if (values[size_t(i)] != limits_[k]) limits_.Set(k, values[size_t(i)]);
    }
    for (size_t i = 0; i < kSecondsKeys.size(); ++i)
        if (seconds[i]) Limits::Set(limits_.*kSecondsKeys[i].field, *seconds[i]);
    return true;
}

}  // namespace krelby
