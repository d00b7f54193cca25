#pragma once

#include "checksum/filechecksum.h"

#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <memory>

namespace quillet::ui {

class Form3;

// Shows the checksums of one rename run in the progress window Form3, which stays above all
// other windows. The checksum is read on the run's thread and tells its progress from there;
// the window lives on the window's thread and looks at the newest label every kRefreshMs, drawing
// it only when it changed: under a real display server an event, a repaint and a re-centring per
// block cost more than reading the block. It appears once a checksum has taken kShowAfterMs, so
// a run over many small files shows nothing, and one window serves every checksum of the run. It
// stands centred over the anchor window (the main window). Closing it stops the checksum as
// 中止 does, and tells the run so (closedByUser).
class ChecksumProgressWindow final : public QObject, public checksum::ChecksumProgress {
    Q_OBJECT

public:
    static constexpr int kShowAfterMs = 300;
    static constexpr int kRefreshMs = 50;

    explicit ChecksumProgressWindow(const QWidget* anchor = nullptr);
    ~ChecksumProgressWindow() override;

    // Any thread.
    void begin(const QString& caption) override;
    void step(const QString& label) override;
    void end() override;
    [[nodiscard]] bool stopRequested() const override;

    // Any thread: the checksum in progress, and every later one, ends as stopped.
    void requestStop();

    // The window, while it is shown; for tests.
    [[nodiscard]] Form3* window() const;

signals:
    void closedByUser();

private:
    void onBegin(const QString& caption);
    void refreshLabel();
    void onEnd();
    void showWindow();

    QPointer<const QWidget> m_anchor;
    std::unique_ptr<Form3> m_window;
    QTimer m_showTimer;
    QTimer m_refreshTimer;
    QString m_caption;
    QString m_shownLabel;
    QMutex m_labelLock;
    QString m_latestLabel; // guarded by m_labelLock
    bool m_running = false;
    std::atomic<bool> m_stop{false};
};

} // namespace quillet::ui
