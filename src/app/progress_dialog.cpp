#include "progress_dialog.h"

#include <QProgressDialog>
#include <algorithm>

#include "prompter.h"

namespace krelby {
namespace {
constexpr int kSteps = 1000;
}  // namespace

ProgressScope::ProgressScope(QWidget* parent, const QString& label) : parent_(parent), label_(label) {
    clock_.start();
}

ProgressScope::~ProgressScope() = default;

Progress ProgressScope::Callback() {
    return [this](uint64_t done, uint64_t total) { Report(done, total); };
}

void ProgressScope::Report(uint64_t done, uint64_t total) {
    if (total == 0) return;
    const int value = static_cast<int>(std::min<uint64_t>(done, total) * kSteps / total);
    // The dialog handles events at each new value: only hand it real steps.
    if (value == shown_) return;
    shown_ = value;
    if (!dialog_) {
        // Made only while work is left after the delay: a dialog made at the end would
        // only flash, and QProgressDialog's own show timer could bring it up over the
        // result message. Nor does a dialog of the command (a file dialog) run meanwhile.
        if (value >= kSteps || clock_.elapsed() < showAfterMs) return;
        dialog_ = std::make_unique<QProgressDialog>(label_, QString(), 0, kSteps, parent_);
        dialog_->setWindowTitle(kAppTitle);
        dialog_->setMinimumWidth(360);  // room for the title in the window's frame
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setCancelButton(nullptr);  // a command runs to its end
        dialog_->setAutoReset(false);
        dialog_->setAutoClose(false);
        dialog_->setMinimumDuration(0);  // our own delay has passed: show at the first value
    }
    dialog_->setValue(value);
    if (!dialog_->isVisible()) dialog_->show();
}

}  // namespace krelby
