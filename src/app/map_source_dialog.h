// The pilot's own map source: a tile address with {z}, {x} and {y} and the attribution its
// terms ask for. OK stays off while the address cannot serve tiles, the reason shown.
#pragma once
#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace krelby {

class MapSourceDialog : public QDialog {
    Q_OBJECT
public:
    MapSourceDialog(const QString& urlTemplate, const QString& attribution, QWidget* parent = nullptr);
    QString Template() const;
    QString Attribution() const;

private:
    void Check();

    QLineEdit* address_ = nullptr;
    QLineEdit* attribution_ = nullptr;
    QLabel* problem_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace krelby
