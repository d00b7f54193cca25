#pragma once

#include "checksum/filechecksum.h"
#include "journal/renamejournal.h"
#include "journal/undoplan.h"
#include "rename/noreplacerename.h"
#include "rename/renamerun.h"
#include "rename/runplan.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace quillet::rename {

// What a run asks of the person at the screen. Called on the thread that runs it; an
// implementation for windows hands each call to the window's thread and waits for the answer.
class RunDialogs {
public:
    virtual ~RunDialogs() = default;
    virtual void showMessage(const QString& text, const QString& details = {}) = 0;
    // The failure of one entry, with the offer to keep the run's later failures for its end
    // message, which lists them all with their reasons; true when the user took the offer.
    // Without a box to tick, a failure is told as any message.
    [[nodiscard]] virtual bool showFailure(const QString& text)
    {
        showMessage(text);
        return false;
    }
    // The text confirmed; empty when cancelled or confirmed empty.
    [[nodiscard]] virtual QString askName(const QString& prompt, const QString& title,
                                          const QString& preset) = 0;
    // A yes-or-no question; true for yes.
    [[nodiscard]] virtual bool askYesNo(const QString& question) = 0;
};

using ChecksumFunction =
    std::function<checksum::ChecksumResult(const QString& path, checksum::ChecksumKind kind)>;

// One run as the user confirmed it: what 確認 lists and its confirm button runs.
struct RunRequest {
    journal::RunKind kind = journal::RunKind::Rename;
    QStringList sources;
    QStringList targets;
    // An undo: the checked steps of the plan, and the file name of the journal it takes back.
    QList<journal::UndoStep> undoSteps;
    QString undoes;
    QString journalFolder;
    QChar separator = u'/';
    FolderRules folderRules = rulesOfFolder;
    // What 確認 says a taking back takes back ("2026/12/07 21:04 のリネーム 37件を元に戻します").
    QString takingBackLine;

    [[nodiscard]] bool takesBack() const { return kind != journal::RunKind::Rename; }
};

// The run of a batch: each source to its target.
[[nodiscard]] RunRequest batchRun(QStringList sources, QStringList targets, QChar separator);
// The run that takes back the checked steps of an undo plan: an undo, or a redo of an undo.
[[nodiscard]] RunRequest takingBackRun(const journal::UndoPlan& plan, QChar separator);

// The order of the request's renames: a batch planned so that its own conflicts resolve, a
// taking back in the order of its steps.
[[nodiscard]] RunPlan planOfRequest(const RunRequest& request);

// A whole run, from the journal's plan to the end message, without windows: which operations
// the run gets, the journal and the undo guard are decided here. Started on any thread; stop
// requests and progress go through control() from any other.
class RenameSession {
public:
    RenameSession(RunRequest request, RunDialogs& dialogs, ChecksumFunction checksum,
                  NoticedRename rename = renameWithoutReplacing);

    RenameSummary run();
    [[nodiscard]] RunControl& control() { return m_control; }
    [[nodiscard]] qsizetype entryCount() const { return m_request.sources.size(); }
    // Why the journal could not be written; empty when it was.
    [[nodiscard]] const QString& journalError() const { return m_journalError; }

private:
    RenameOperations operations(RenameFunction rename) const;

    RunRequest m_request;
    RunDialogs& m_dialogs;
    ChecksumFunction m_checksum;
    NoticedRename m_rename;
    RunControl m_control;
    QString m_journalError;
};

// The question asked before a run whose journal cannot be written.
[[nodiscard]] QString noJournalQuestion(const QString& reason);
// The message after a run whose journal stopped during the run.
[[nodiscard]] QString journalStoppedMessage();

} // namespace quillet::rename
