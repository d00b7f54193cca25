#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace quillet::ui {

// The row of the confirmation window that shows a long run going: "リネーム中 12,345 / 100,000",
// a progress bar and the 中止 button. It appears only once a run has gone on for kShowAfterMs,
// in the place of the check line (saying so with appeared()), and leaves when the run ends.
class RunProgressRow final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kShowAfterMs = 300;

    explicit RunProgressRow(QWidget* parent = nullptr);

    void runStarted(qsizetype total, bool undo);
    void showProgress(qsizetype done, qsizetype total);
    void runEnded();
    // 中止, the button or Escape in the window.
    void requestStop();
    [[nodiscard]] bool isRunning() const { return m_running; }

signals:
    void stopRequested();
    void appeared();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void appear();

    QLabel* m_label = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_stopButton = nullptr;
    QTimer m_appearTimer;
    QString m_verb;
    bool m_running = false;
};

} // namespace quillet::ui
