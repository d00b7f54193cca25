#include "ui/renamerunner.h"

#include "checksum/filechecksum.h"
#include "ui/checksumprogresswindow.h"
#include "ui/userdialogs.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>

namespace quillet::ui {

// The run's questions, asked on the window's thread while the run's thread waits.
class RenameRunner::WindowThreadDialogs final : public rename::RunDialogs {
public:
    WindowThreadDialogs(UserDialogs& dialogs, QObject* windowThreadObject)
        : m_dialogs(dialogs)
        , m_context(windowThreadObject)
    {
    }

    // The window is going away: the run's remaining questions get their default answers.
    void abandon() { m_abandoned = true; }

    void showMessage(const QString& text, const QString& details) override
    {
        onWindowThread([&] { m_dialogs.showMessage(text, details); });
    }
    bool showFailure(const QString& text) override
    {
        bool atEnd = false;
        onWindowThread([&] { atEnd = m_dialogs.showFailure(text); });
        return atEnd;
    }
    QString askName(const QString& prompt, const QString& title, const QString& preset) override
    {
        QString answer;
        onWindowThread([&] { answer = m_dialogs.askText(prompt, title, preset); });
        return answer;
    }
    bool askYesNo(const QString& question) override
    {
        bool yes = false;
        onWindowThread([&] { yes = m_dialogs.askYesNo(question); });
        return yes;
    }

private:
    template <typename F> void onWindowThread(F&& call)
    {
        if (m_abandoned)
            return;
        if (QThread::currentThread() == m_context->thread())
            call();
        else
            QMetaObject::invokeMethod(m_context, std::forward<F>(call),
                                      Qt::BlockingQueuedConnection);
    }

    UserDialogs& m_dialogs;
    QObject* m_context;
    std::atomic<bool> m_abandoned{false};
};

RenameRunner::RenameRunner(rename::RunRequest request, UserDialogs& dialogs,
                           int checksumBlockFactor, QWidget* anchor, QObject* parent)
    : QObject(parent)
    , m_dialogs(std::make_unique<WindowThreadDialogs>(dialogs, this))
    , m_checksumWindow(std::make_unique<ChecksumProgressWindow>(anchor))
{
    ChecksumProgressWindow* progress = m_checksumWindow.get();
    m_session = std::make_unique<rename::RenameSession>(
        std::move(request), *m_dialogs,
        [progress, checksumBlockFactor](const QString& path, checksum::ChecksumKind kind) {
            return checksum::FileChecksum(path, kind, *progress, checksumBlockFactor);
        });
    connect(progress, &ChecksumProgressWindow::closedByUser, this, &RenameRunner::requestStop);
    m_progressTimer.setInterval(kProgressMs);
    connect(&m_progressTimer, &QTimer::timeout, this,
            [this] { emit progressed(m_session->control().done(), m_session->entryCount()); });
}

RenameRunner::~RenameRunner()
{
    if (!m_thread)
        return;
    requestStop();
    m_dialogs->abandon();
    // A question the run is waiting for is answered (by nothing) here, or the wait never ends.
    while (!m_thread->wait(10))
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

qsizetype RenameRunner::entryCount() const
{
    return m_session->entryCount();
}

void RenameRunner::start()
{
    m_thread = QThread::create([this] { m_summary = m_session->run(); });
    m_thread->setParent(this);
    connect(m_thread, &QThread::finished, this, [this] {
        m_progressTimer.stop();
        m_thread->deleteLater();
        m_thread = nullptr;
        emit finished(m_summary);
    });
    m_progressTimer.start();
    m_thread->start();
}

void RenameRunner::requestStop()
{
    m_session->control().requestStop();
    m_checksumWindow->requestStop();
}

} // namespace quillet::ui
