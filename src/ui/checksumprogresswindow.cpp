#include "ui/checksumprogresswindow.h"

#include "ui/form3.h"

#include <QCoreApplication>

namespace quillet::ui {
namespace {

void processPendingEvents()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

ChecksumProgressWindow::ChecksumProgressWindow(const QWidget* anchor)
    : m_anchor(anchor)
{
}
ChecksumProgressWindow::~ChecksumProgressWindow() = default;

void ChecksumProgressWindow::begin(const QString& caption)
{
    m_window = std::make_unique<Form3>(m_anchor);
    m_window->setWindowTitle(caption);
    m_window->show();
    m_window->raise();
    m_window->repaint();
    processPendingEvents();
}

void ChecksumProgressWindow::step(const QString& label)
{
    if (!m_window)
        return;
    // A large file has thousands of blocks but at most 101 different labels: only a new label
    // is drawn, so the drawing does not slow the reading down.
    const bool changed = label != m_label;
    if (changed) {
        m_label = label;
        m_window->setProgressText(label);
    }
    processPendingEvents();
    m_window->keepCentred();
    if (changed)
        m_window->repaint();
}

void ChecksumProgressWindow::end()
{
    m_window.reset();
    processPendingEvents();
}

} // namespace quillet::ui
