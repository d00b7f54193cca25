#pragma once

#include "journal/runhistory.h"

#include <QChar>
#include <QList>
#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace quillet::ui {

// 最近のリネーム: the runs the journal keeps, newest first, with when each ran, how many entries
// it renamed, in which folders, its first few names and whether it can still be taken back.
// The window only shows what the journal library found; taking a run back goes through the
// confirmation window like any other run.
class RecentRunsWindow final : public QWidget {
    Q_OBJECT

public:
    explicit RecentRunsWindow(QWidget* parent = nullptr);

    void setRuns(const QList<journal::RunRecord>& runs, QChar separator);
    [[nodiscard]] QTreeWidget* runList() const { return m_list; }

signals:
    // The user asked to take back the run of this journal (its file name).
    void takeBackRequested(const QString& journalName);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void updateButton();
    void takeBackSelected();

    QTreeWidget* m_list = nullptr;
    QLabel* m_details = nullptr;
    QPushButton* m_takeBackButton = nullptr;
    QList<journal::RunRecord> m_runs;
    QChar m_separator = u'/';
};

} // namespace quillet::ui
