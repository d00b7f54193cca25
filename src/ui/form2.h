#pragma once

#include "rename/precheck.h"

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quillet::ui {

class RunProgressRow;

// The confirmation window: every source path above its target path, and the confirm button.
class Form2 final : public QWidget {
    Q_OBJECT

public:
    explicit Form2(QWidget* parent = nullptr);

    void setListing(const QString& listing);
    // The line left of the buttons: what the check of the batch found before anything is renamed.
    void setPrecheck(const rename::PrecheckReport& report);
    // While a rename runs the window cannot be closed, its confirm button is off, and a run
    // that goes on shows its progress and 中止 in the row of the check line.
    void runStarted(qsizetype total, bool undo);
    void showRunProgress(qsizetype done, qsizetype total);
    void runEnded();
    [[nodiscard]] bool isRunning() const { return m_running; }

signals:
    void confirmed();
    void stopRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showPrecheck();
    void applyLayout();

    QPlainTextEdit* m_listing = nullptr;
    QLabel* m_precheckLabel = nullptr;
    rename::PrecheckReport m_precheck;
    QPushButton* m_renameButton = nullptr;
    QPushButton* m_moveButton = nullptr;
    QPushButton* m_copyButton = nullptr;
    RunProgressRow* m_progressRow = nullptr;
    bool m_running = false;
};

} // namespace quillet::ui
