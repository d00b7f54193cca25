#include "ui/captionbutton.h"

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

} // namespace quillet::ui
