// A captioned group of radio buttons with an item index, as the options dialog uses them.
#pragma once
#include <QGroupBox>
#include <QStringList>

class QButtonGroup;

namespace krelby {

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

    int ItemIndex() const;  // -1 when nothing is chosen
    // An index above the last item chooses the last; a negative one chooses nothing.
    void SetItemIndex(int index);

private:
    QButtonGroup* buttons_;
};

}  // namespace krelby
