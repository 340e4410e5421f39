#include "import_wait.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include "prompter.h"

namespace krelby {

ImportWait::ImportWait(QWidget* parent, const QString& folder) : parent_(parent), folder_(folder) {}

ImportWait::~ImportWait() = default;

bool ImportWait::operator()() {
    if (!box_) {
        box_ = std::make_unique<QProgressDialog>("Waiting for another import into " + folder_ + " to end...",
                                                 "Cancel", 0, 0, parent_);
        box_->setWindowTitle(kAppTitle);
        box_->setWindowModality(Qt::ApplicationModal);
        box_->setMinimumDuration(0);
        box_->show();
    }
    QCoreApplication::processEvents();
    return !box_->wasCanceled();
}

}  // namespace krelby
