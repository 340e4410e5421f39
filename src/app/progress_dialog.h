// A modal progress dialog for imports and exports that run longer than half a second. It
// lives only as long as the work: the command's result message comes after it has gone.
#pragma once
#include <QElapsedTimer>
#include <QString>
#include <memory>

#include "base/progress.h"

class QProgressDialog;
class QWidget;

namespace krelby {

class ProgressScope {
public:
    // How long the work runs before the dialog appears; tests set 0.
    static inline int showAfterMs = 500;

    ProgressScope(QWidget* parent, const QString& label);
    // Destroys the dialog, so that nothing of it (no timer of its own) outlives the work.
    ~ProgressScope();
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    // Reports to the dialog; cheap to call for every block read.
    Progress Callback();

private:
    void Report(uint64_t done, uint64_t total);

    QWidget* parent_;
    QString label_;
    QElapsedTimer clock_;
    std::unique_ptr<QProgressDialog> dialog_;
    int shown_ = -1;  // the last value reported, in thousandths
};

}  // namespace krelby
