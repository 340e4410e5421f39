// A label for the status strip: its text is shown elided in the middle to the width the
// strip gives it, the whole text in its tooltip. It asks for no width of its own, so no
// text, however long, can widen the window.
#pragma once
#include <QLabel>

namespace krelby {

class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // The whole text (text() keeps it) and its tooltip.
    void SetText(const QString& text);
    // What is drawn now, at the label's width.
    QString ShownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace krelby
