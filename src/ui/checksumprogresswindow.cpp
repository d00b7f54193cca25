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
    m_refreshTimer.setInterval(kRefreshMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &ChecksumProgressWindow::refreshLabel);
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
    // Thousands of blocks, no event for any of them: the window fetches the newest label.
    const QMutexLocker lock(&m_labelLock);
    m_latestLabel = label;
}

void ChecksumProgressWindow::end()
{
    QMetaObject::invokeMethod(
        this, [this] { onEnd(); }, Qt::QueuedConnection);
}

bool ChecksumProgressWindow::stopRequested() const
{
    return m_stop.load(std::memory_order_relaxed);
}

void ChecksumProgressWindow::requestStop()
{
    m_stop.store(true, std::memory_order_relaxed);
}

void ChecksumProgressWindow::onBegin(const QString& caption)
{
    m_caption = caption;
    m_running = true;
    m_showTimer.start();
}

void ChecksumProgressWindow::refreshLabel()
{
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
    m_refreshTimer.stop();
    if (m_window)
        m_window->hide();
}

void ChecksumProgressWindow::showWindow()
{
    if (!m_running)
        return;
    if (!m_window) {
        m_window = std::make_unique<Form3>(m_anchor);
        connect(m_window.get(), &Form3::closeRequested, this, [this] {
            requestStop();
            emit closedByUser();
        });
    }
    m_window->setWindowTitle(m_caption);
    // Sized for the widest label before it is shown, so that it keeps its size, and its place,
    // while the share grows to 100%: no re-centring while the checksum runs.
    m_window->setProgressText(checksum::progressLabel(1, 1));
    {
        const QMutexLocker lock(&m_labelLock);
        m_shownLabel = m_latestLabel;
    }
    m_window->setProgressText(m_shownLabel);
    m_window->show();
    m_window->raise();
    m_refreshTimer.start();
}

} // namespace quillet::ui
