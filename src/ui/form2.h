#pragma once

#include "rename/confirmationlisting.h"
#include "rename/precheck.h"

#include <QWidget>

#include <memory>

class QPushButton;

namespace quillet::ui {

class RunProgressRow;
class ListingView;
class PrecheckLine;

// The confirmation window: every source path above its target path, and the confirm button.
class Form2 final : public QWidget {
    Q_OBJECT

public:
    explicit Form2(QWidget* parent = nullptr);

    // The entries listed, shown a screen at a time; the confirm button waits for setPrecheck.
    void setListing(std::shared_ptr<const rename::ConfirmationListing> listing);
    // The names changed since the listing was made: the confirm button waits for the next one.
    void awaitListing();
    // The line left of the buttons: what the check of the batch found before anything is renamed;
    // and the marks of the entries it is about, in the listing set last.
    void setPrecheck(const rename::PrecheckReport& report);
    // The window lists the taking back of a run, and says so in its title, on its confirm button
    // and in the check line: `verb` is 元に戻す or やり直す, `line` what is taken back. An empty
    // verb: the window lists a rename, as it reads at first. Called after setPrecheck.
    void setTakingBack(const QString& verb, const QString& line);
    // While a rename runs the window cannot be closed, its confirm button is off, and a run
    // that goes on shows its progress and 中止 in the place of the check line, which returns
    // when the run ends.
    void runStarted(qsizetype total, bool undo);
    void showRunProgress(qsizetype done, qsizetype total);
    void runEnded();
    [[nodiscard]] bool isRunning() const { return m_running; }
    // Selects the next (previous) entry with a problem after (before) the cursor, round the end:
    // F8 and Shift+F8, or a click on the check line.
    void showNextProblem() { showProblem(true); }
    void showPreviousProblem() { showProblem(false); }

signals:
    void confirmed();
    void stopRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showProblem(bool forward);
    void applyLayout();

    ListingView* m_listing = nullptr;
    PrecheckLine* m_precheckLine = nullptr;
    QList<qsizetype> m_problemEntries; // ascending
    QPushButton* m_renameButton = nullptr;
    QPushButton* m_moveButton = nullptr;
    QPushButton* m_copyButton = nullptr;
    RunProgressRow* m_progressRow = nullptr;
    bool m_running = false;
};

} // namespace quillet::ui
