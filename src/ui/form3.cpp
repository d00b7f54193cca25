#include "ui/form3.h"

#include "ui/japanesefont.h"
#include "ui/twips.h"
#include "ui/windowlayout.h"

#include <QCloseEvent>
#include <QLabel>

namespace quillet::ui {

Form3::Form3(const QWidget* anchor, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
    , m_anchor(anchor)
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

void Form3::keepCentred()
{
    const QSize outer = frameGeometry().size();
    if (!m_anchor || outer == m_centredSize)
        return;
    m_centredSize = outer;
    move(centredOver(m_anchor->frameGeometry(), outer));
}

void Form3::closeEvent(QCloseEvent* event)
{
    event->ignore();
    emit closeRequested();
}

void Form3::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    keepCentred();
}

void Form3::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    keepCentred();
}

void Form3::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    keepCentred();
}

} // namespace quillet::ui
