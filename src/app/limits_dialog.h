// The pilot's engine limits, shown and typed in the units chosen in Options (empty: off);
// OK stores them in the recording's units.
#pragma once
#include <QDialog>
#include <array>

#include "base/regional.h"
#include "settings/records.h"

class QLineEdit;
class QLabel;

namespace krelby {

class LimitsDialog : public QDialog {
    Q_OBJECT
public:
    LimitsDialog(Limits& limits, const UnitSettings& units, const Regional& regional, QWidget* parent = nullptr);

    // The fields from the limits, in the units of now (each time the dialog is shown).
    void LoadFields();
    // The fields into the limits; false, saying which field, when one is not a number.
    bool StoreFields();
    QLineEdit* Field(LimitKey k) const { return fields_[static_cast<size_t>(k)]; }
    // ExceedanceMergeSeconds (0) and ExceedanceMinSeconds (1).
    QLineEdit* SecondsField(size_t i) const { return secondsFields_[i]; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Names the field's mistake and puts the cursor there; false.
    bool Refuse(QLineEdit* field, const QString& text);

    Limits& limits_;
    const UnitSettings& units_;
    const Regional& regional_;
    std::array<QLineEdit*, kLimitKeyCount> fields_{};
    std::array<QLabel*, kLimitKeyCount> unitLabels_{};
    std::array<QLineEdit*, 2> secondsFields_{};
    QLabel* error_ = nullptr;  // which field is not a number
    std::array<QString, kLimitKeyCount> shown_;  // as loaded: a field left alone keeps its limit
};

}  // namespace krelby
