#include "elided_label.h"

#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace krelby {

void ElidedLabel::SetText(const QString& text) {
    setText(text);
    setToolTip(text);
}

QString ElidedLabel::ShownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

QSize ElidedLabel::sizeHint() const {
    // Wide enough for a usual path; a longer one is elided rather than asking for more.
    const QSize full = QLabel::sizeHint();
    return QSize(std::min(full.width(), fontMetrics().averageCharWidth() * 40), full.height());
}

QSize ElidedLabel::minimumSizeHint() const { return QSize(0, QLabel::minimumSizeHint().height()); }

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), static_cast<int>(alignment()), palette(), isEnabled(),
                          ShownText(), foregroundRole());
}

}  // namespace krelby
