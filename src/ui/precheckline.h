#pragma once

#include <QLabel>
#include <QStringList>

namespace quillet::ui {

// The one line of the confirmation window that says what the check of the batch found. It
// never cuts a word: when the kinds do not fit, the last problems give way to "…", while the
// count of unchanged entries always stays. The whole line and the details are its tooltip and,
// as plain text, its accessible name and description. A click asks for the next problem
// (Shift+click: the one before).
class PrecheckLine final : public QLabel {
    Q_OBJECT

public:
    explicit PrecheckLine(QWidget* parent = nullptr);

    void setFindings(const QStringList& problems, const QString& unchanged, const QString& details);
    // The line as it reads when nothing is left out.
    [[nodiscard]] QString fullText() const;

signals:
    void nextProblemWanted();
    void previousProblemWanted();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void showFitting();

    QStringList m_problems;
    QString m_unchanged;
};

} // namespace quillet::ui
