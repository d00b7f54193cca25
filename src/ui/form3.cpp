#include "ui/form3.h"

#include "ui/japanesefont.h"
#include "ui/twips.h"

#include <QLabel>

namespace quillet::ui {

Form3::Form3(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Form3"));
    resize(pixels(3090), pixels(885));
    m_progressLabel = new QLabel(this);
    m_progressLabel->setObjectName(QStringLiteral("Label1"));
    m_progressLabel->setFont(japaneseFont(20.25));
    m_progressLabel->move(pixels(2250), pixels(240));
}

void Form3::setProgressText(const QString& text)
{
    m_progressLabel->setText(text);
    m_progressLabel->adjustSize();
    // The window grows to show the whole label; it never shrinks while it is open.
    const QRect needed =
        m_progressLabel->geometry().marginsAdded(QMargins(0, 0, pixels(240), pixels(240)));
    if (needed.right() > width() || needed.bottom() > height())
        resize(qMax(width(), needed.right()), qMax(height(), needed.bottom()));
}

} // namespace quillet::ui
