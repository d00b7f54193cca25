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

ChecksumProgressWindow::ChecksumProgressWindow() = default;
ChecksumProgressWindow::~ChecksumProgressWindow() = default;

void ChecksumProgressWindow::begin(const QString& caption)
{
    m_window = std::make_unique<Form3>();
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
    m_window->setProgressText(label);
    processPendingEvents();
    m_window->repaint();
}

void ChecksumProgressWindow::end()
{
    m_window.reset();
    processPendingEvents();
}

} // namespace quillet::ui
