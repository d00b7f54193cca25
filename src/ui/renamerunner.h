#pragma once

#include "rename/renamesession.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

class QThread;
class QWidget;

namespace quillet::ui {

class ChecksumProgressWindow;
class UserDialogs;

// Runs a rename session on a thread of its own, so the windows keep answering and repainting
// while thousands of files are renamed. The prompts and messages of the run are shown on the
// window's thread, modal as always, while the run waits for them; the checksum progress window
// is shared by the run. Reports progress every kProgressMs and its end once.
class RenameRunner final : public QObject {
    Q_OBJECT

public:
    static constexpr int kProgressMs = 100;

    RenameRunner(rename::RunRequest request, UserDialogs& dialogs, int checksumBlockFactor,
                 QWidget* anchor, QObject* parent = nullptr);
    // Stops a run still going and waits for its end.
    ~RenameRunner() override;

    void start();
    // Stops after the rename in progress.
    void requestStop();
    [[nodiscard]] qsizetype entryCount() const;

signals:
    void progressed(qsizetype done, qsizetype total);
    void finished(const rename::RenameSummary& summary);

private:
    class WindowThreadDialogs;

    std::unique_ptr<WindowThreadDialogs> m_dialogs;
    std::unique_ptr<ChecksumProgressWindow> m_checksumWindow;
    std::unique_ptr<rename::RenameSession> m_session;
    QThread* m_thread = nullptr;
    QTimer m_progressTimer;
    rename::RenameSummary m_summary;
};

} // namespace quillet::ui
