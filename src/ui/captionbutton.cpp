#include "ui/captionbutton.h"

#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace quillet::ui {

void CaptionButton::paintEvent(QPaintEvent* event)
{
    constexpr int kMargin = 3;
    const QRect textArea = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    if (fontMetrics().horizontalAdvance(text()) <= textArea.width()) {
        QPushButton::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(textArea, Qt::AlignCenter | Qt::TextWordWrap, text());
}

void CaptionButton::keyPressEvent(QKeyEvent* event)
{
    // Qt leaves Enter to a dialog's default button and ignores it on a button of any other
    // window, so a keyboard user pressed a focused "リネームする" and nothing happened. A held
    // key presses once: a repeated "実行" would apply its operation again and again.
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        event->accept();
        if (!event->isAutoRepeat())
            click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace quillet::ui
