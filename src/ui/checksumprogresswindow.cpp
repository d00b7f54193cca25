#include "ui/checksumprogresswindow.h"

#include "ui/form3.h"

#include <QMutexLocker>

namespace quillet::ui {

ChecksumProgressWindow::ChecksumProgressWindow(const QWidget* anchor)
    : m_anchor(anchor)
{
    m_showTimer.setSingleShot(true);
    m_showTimer.setInterval(kShowAfterMs);
    connect(&m_showTimer, &QTimer::timeout, this, &ChecksumProgressWindow::showWindow);
}

ChecksumProgressWindow::~ChecksumProgressWindow() = default;

Form3* ChecksumProgressWindow::window() const
{
    return m_window && m_window->isVisible() ? m_window.get() : nullptr;
}

void ChecksumProgressWindow::begin(const QString& caption)
{
    QMetaObject::invokeMethod(
        this, [this, caption] { onBegin(caption); }, Qt::QueuedConnection);
}

void ChecksumProgressWindow::step(const QString& label)
{
    {
        const QMutexLocker lock(&m_labelLock);
        m_latestLabel = label;
    }
    // Thousands of blocks, one pending update: the window draws the newest label only.
    if (!m_stepPosted.exchange(true))
        QMetaObject::invokeMethod(
            this, [this] { onStep(); }, Qt::QueuedConnection);
}

void ChecksumProgressWindow::end()
{
    QMetaObject::invokeMethod(
        this, [this] { onEnd(); }, Qt::QueuedConnection);
}

void ChecksumProgressWindow::onBegin(const QString& caption)
{
    m_caption = caption;
    m_running = true;
    m_showTimer.start();
}

void ChecksumProgressWindow::onStep()
{
    m_stepPosted = false;
    if (!m_window || !m_window->isVisible())
        return;
    QString label;
    {
        const QMutexLocker lock(&m_labelLock);
        label = m_latestLabel;
    }
    if (label == m_shownLabel)
        return;
    m_shownLabel = label;
    m_window->setProgressText(label);
}

void ChecksumProgressWindow::onEnd()
{
    m_running = false;
    m_showTimer.stop();
    if (m_window)
        m_window->hide();
}

void ChecksumProgressWindow::showWindow()
{
    if (!m_running)
        return;
    if (!m_window)
        m_window = std::make_unique<Form3>(m_anchor);
    m_window->setWindowTitle(m_caption);
    {
        const QMutexLocker lock(&m_labelLock);
        m_shownLabel = m_latestLabel;
    }
    m_window->setProgressText(m_shownLabel);
    m_window->show();
    m_window->raise();
}

} // namespace quillet::ui
