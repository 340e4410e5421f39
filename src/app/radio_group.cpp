#include "radio_group.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace krelby {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), buttons_(new QButtonGroup(this)) {
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i]);
        buttons_->addButton(button, i);
        layout->addWidget(button);
    }
}

int RadioGroup::ItemIndex() const { return buttons_->checkedId(); }

void RadioGroup::SetItemIndex(int index) {
    const int last = static_cast<int>(buttons_->buttons().size()) - 1;
    if (index > last) index = last;
    if (index < 0) {
        // An exclusive group keeps one button checked; let go of it to clear.
        buttons_->setExclusive(false);
        for (auto* b : buttons_->buttons()) b->setChecked(false);
        buttons_->setExclusive(true);
        return;
    }
    buttons_->button(index)->setChecked(true);
}

}  // namespace krelby
