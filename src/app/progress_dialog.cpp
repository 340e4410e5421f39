#include "progress_dialog.h"

#include <QProgressDialog>

#include "prompter.h"

namespace krelby {

ProgressScope::ProgressScope(QWidget* parent, const QString& label)
    : parent_(parent), label_(label) {}

ProgressScope::~ProgressScope() {
    if (dialog_) dialog_->close();
}

Progress ProgressScope::Callback() {
    return [this](uint64_t done, uint64_t total) { Report(done, total); };
}

void ProgressScope::Report(uint64_t done, uint64_t total) {
    if (total == 0) return;
    const int value = static_cast<int>(std::min<uint64_t>(done, total) * 1000 / total);
    // The dialog handles events at each new value: only hand it real steps.
    if (value == shown_) return;
    shown_ = value;
    // Made at the first report, so that no dialog of the command (a file dialog) runs
    // while its clock is ticking.
    if (!dialog_) {
        dialog_ = std::make_unique<QProgressDialog>(label_, QString(), 0, 1000, parent_);
        dialog_->setWindowTitle(kAppTitle);
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setMinimumDuration(500);
        dialog_->setCancelButton(nullptr);  // a command runs to its end
        dialog_->setAutoReset(false);
        dialog_->setAutoClose(false);
    }
    dialog_->setValue(value);
}

}  // namespace krelby
