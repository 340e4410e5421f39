// A modal progress dialog that shows itself only when an import or export runs longer
// than half a second.
#pragma once
#include <QString>
#include <memory>

#include "format/progress.h"

class QProgressDialog;
class QWidget;

namespace krelby {

class ProgressScope {
public:
    ProgressScope(QWidget* parent, const QString& label);
    ~ProgressScope();
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    // Reports to the dialog; cheap to call for every block read.
    Progress Callback();

private:
    void Report(uint64_t done, uint64_t total);

    QWidget* parent_;
    QString label_;
    std::unique_ptr<QProgressDialog> dialog_;
    int shown_ = -1;  // the last value handed to the dialog, in thousandths
};

}  // namespace krelby
