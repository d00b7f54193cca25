#include "ui/checksumprogresswindow.h"

#include "ui/form3.h"
#include "ui/windowlayout.h"

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
    m_window = std::make_unique<Form3>();
    m_window->setWindowTitle(caption);
    centre();
    m_window->show();
    // Centred again now that the window manager may have given the window its frame.
    centre();
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
        centre(); // the window may have grown with the label
    }
    processPendingEvents();
    if (changed)
        m_window->repaint();
}

void ChecksumProgressWindow::centre()
{
    if (!m_anchor || !m_window)
        return;
    m_window->move(centredOver(m_anchor->frameGeometry(), m_window->frameGeometry().size()));
}

void ChecksumProgressWindow::end()
{
    m_window.reset();
    processPendingEvents();
}

} // namespace quillet::ui
