// An import that meets another one writing into the same flight folder waits for it; after
// two seconds a box says so, with a Cancel button, while the window goes on repainting.
#pragma once
#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

namespace krelby {

class ImportWait {
public:
    ImportWait(QWidget* parent, const QString& folder);
    ~ImportWait();
    ImportWait(const ImportWait&) = delete;
    ImportWait& operator=(const ImportWait&) = delete;

    // ImportOptions::waiting: shows the box the first time; false once it was cancelled.
    bool operator()();

private:
    QWidget* parent_;
    QString folder_;
    std::unique_ptr<QProgressDialog> box_;
};

}  // namespace krelby
