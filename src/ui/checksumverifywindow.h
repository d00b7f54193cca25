#pragma once

#include "checksum/checksummend.h"
#include "checksum/nameverification.h"
#include "checksum/verificationrun.h"

#include <QChar>
#include <QDialog>
#include <QList>
#include <QStringList>
#include <QTimer>

#include <memory>

class QLabel;
class QPushButton;
class QThread;
class QTreeWidget;

namespace quillet::ui {

// チェックサムの検証: checks the CRC-32 each entry's name carries against the item, in the
// batch's order, one file at a time on a thread of its own, and lists one row per entry (its
// line, its file name, what was found). While it works a progress row tells the entry and the
// bytes read and offers 中止; closing the window stops it too. Once done, a summary counts each
// outcome and 名前を実際の値に直す asks the main window to write the actual checksums into the
// lines of the entries that do not match.
class ChecksumVerifyWindow final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kProgressMs = 100;

    // `lines` are the names' lines as they stand when the check begins.
    ChecksumVerifyWindow(QStringList sources, QStringList lines, QChar separator,
                         QWidget* parent = nullptr);
    // Stops a check still going and waits for its end.
    ~ChecksumVerifyWindow() override;

    void start();
    [[nodiscard]] bool isChecking() const { return m_thread != nullptr; }
    [[nodiscard]] const QStringList& sources() const { return m_sources; }
    // Says what the mend did, or why it could not be done (`refusal` not empty).
    void showMendOutcome(const checksum::MendedNames& outcome, const QString& refusal = {});

    [[nodiscard]] QTreeWidget* resultList() const { return m_list; }

signals:
    void mendRequested(const QList<checksum::ChecksumMend>& mends);
    // The check has ended, done or stopped.
    void checkFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void addVerdict(qsizetype item, const checksum::NameVerdict& verdict);
    void showProgress();
    void finish(bool complete);
    void requestMend();

    const QStringList m_sources;
    const QStringList m_lines;
    const QChar m_separator;
    checksum::VerificationRun m_run;
    std::unique_ptr<QThread> m_thread; // while it checks
    QTimer m_progressTimer;
    checksum::VerdictCounts m_counts;
    QList<checksum::ChecksumMend> m_mends;

    QTreeWidget* m_list = nullptr;
    QWidget* m_progressRow = nullptr;
    QLabel* m_progressLabel = nullptr;
    QPushButton* m_stopButton = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_mendButton = nullptr;
    QPushButton* m_closeButton = nullptr;
};

} // namespace quillet::ui
