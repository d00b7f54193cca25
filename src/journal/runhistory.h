#pragma once

#include "journal/itemidentity.h"
#include "journal/renamejournal.h"
#include "journal/undoplan.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace quillet::journal {

// How many old → new names the list of recent runs shows of each run.
inline constexpr qsizetype kShownNames = 3;

// One run the journal folder keeps, as the list of recent runs tells it, with what taking it
// back would do now.
struct RunRecord {
    QString journalPath;
    RunKind kind = RunKind::Rename;
    QDateTime startedUtc;
    QString undoes;      // the file name of the journal an undo or a redo takes back
    bool ended = false;  // false: the program stopped during the run
    qsizetype count = 0; // entries renamed, and those whose outcome a stop left open
    QStringList folders; // the folders of the old paths, as they first come
    QList<std::pair<QString, QString>> firstNames; // old → new, up to kShownNames
    // What an undo would do now: the steps it would take, and what it would leave and why.
    qsizetype undoable = 0;
    QList<UndoProblem> problems;
    QString damage; // the journal cannot be trusted; nothing else of the record holds

    [[nodiscard]] QString fileName() const;
};

// The runs of the journal folder, newest first.
[[nodiscard]] QList<RunRecord> recentRuns(const QString& journalFolder,
                                          const IdentityLookup& lookup = identityOf);

// The plan that takes back the run of the journal `journalName` (a file name in the folder),
// or the message that says why there is none. The disk decides what is taken back, as for the
// last run; the later journals only tell why an entry cannot be: an item that a later run
// renamed again, or whose old place a later run filled, is a problem naming that run, never a
// step.
struct RunUndo {
    std::optional<UndoPlan> plan;
    QString message;
};
[[nodiscard]] RunUndo planUndoOfRun(const QString& journalFolder, const QString& journalName,
                                    const IdentityLookup& lookup = identityOf);

// The kind of the run that takes back a run of `kind`: an undo is taken back by a redo, any
// other run by an undo.
[[nodiscard]] RunKind takingBackKind(RunKind kind);

// "2026/12/07 21:04", the start of a run in local time.
[[nodiscard]] QString runTimeText(const QDateTime& startedUtc);
// What the user calls a run of the kind: リネーム, 元に戻す, やり直し.
[[nodiscard]] QString runKindText(RunKind kind);
// Whether the run can still be taken back, in a few words: 元に戻せます, 一部（3件）を元に戻せます,
// 取り消し済みです, 元に戻せません (やり直せ… for an undo).
[[nodiscard]] QString takingBackState(const RunRecord& record);
// The verb of the confirm button that takes back a run of `undoneKind`.
[[nodiscard]] QString takingBackVerb(RunKind undoneKind);
// The line of the confirmation window for the plan: "2026/12/07 21:04 のリネーム
// 37件を元に戻します".
[[nodiscard]] QString takingBackLine(const UndoPlan& plan);

} // namespace quillet::journal
