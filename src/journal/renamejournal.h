#pragma once

#include "journal/itemidentity.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace quillet::journal {

// A run that renames what the user listed, one that takes a run back, or one that takes an
// undo back (an ordinary run in all but its name: it renames what the undo put back).
enum class RunKind { Rename, Undo, Redo };

// The word of the journal's first line for each kind.
[[nodiscard]] QByteArray runKindWord(RunKind kind);

// The journal of one run, a file of its own in the journal folder. The whole plan (every old
// and new path, with the identity of the item at the old path) is written and forced to the
// disk once, before the first rename; from then on the disk itself tells which renames
// happened, so outcomes are only appended, and forced at most once a second and at the end.
// What the plan could not know — a new path that changes during the run, an item a rename
// makes for a moment — is forced before it happens. The file and the folder are the user's
// only; each line carries a CRC-32.
class RenameJournal {
public:
    // `undoes` names the journal of the run that an undo run takes back.
    RenameJournal(QString folder, RunKind kind, QString undoes = {});
    ~RenameJournal();
    RenameJournal(const RenameJournal&) = delete;
    RenameJournal& operator=(const RenameJournal&) = delete;

    // Writes the plan and forces it to the disk. An entry whose old path holds no item is
    // not planned: it cannot be renamed, nor taken back. Nothing when the journal is on the
    // disk; else why it is not, and the run has no journal.
    [[nodiscard]] std::optional<QString> writePlan(const QStringList& sources,
                                                   const QStringList& targets,
                                                   const IdentityLookup& lookup = identityOf);

    // The planned entry of the next rename of `from`, at or after the current one; nothing
    // when the plan on the disk does not hold it. Once the plan is on the disk, the disk tells
    // which of its renames happened even where later lines could not be written.
    [[nodiscard]] std::optional<qsizetype> entryOf(const QString& from);
    [[nodiscard]] const QString& plannedTarget(qsizetype entry) const
    {
        return m_targets.at(entry);
    }
    // Before the rename: the entry's new path changed. Forced; false when it could not be.
    [[nodiscard]] bool recordTarget(qsizetype entry, const QString& to);
    // Before a rename makes a reservation or a temporary name. Forced; false when it could not be.
    [[nodiscard]] bool recordHelper(qsizetype entry, const QString& path);
    void recordOutcome(qsizetype entry, bool renamed);
    // Forces the outcomes to the disk and closes the file; a journal in which nothing was
    // renamed is removed, so that the last journal is always the last run that changed names.
    void finish();

    [[nodiscard]] bool isOpen() const { return m_fd >= 0; }
    // The file; empty until the plan is written.
    [[nodiscard]] const QString& path() const { return m_path; }
    // Why the journal could not be written; empty while all went well.
    [[nodiscard]] const QString& error() const { return m_error; }

private:
    bool create();
    void close();
    bool write(const QByteArray& bytes);
    bool force();
    bool append(const QByteArray& record, bool forced);
    void fail(const QString& reason);

    QString m_folder;
    RunKind m_kind;
    QString m_undoes;
    QString m_path;
    QString m_error;
    int m_fd = -1;
    QStringList m_sources;
    QStringList m_targets;
    QByteArray m_pending; // outcomes not yet written
    QElapsedTimer m_sinceForced;
    qsizetype m_next = 0;
    bool m_renamedAny = false;
};

} // namespace quillet::journal
