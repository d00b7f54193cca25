#pragma once

#include "journal/itemidentity.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace quillet::journal {

// A run that renames what the user listed, one that takes a run back, or one that takes an
// undo back (an ordinary run in all but its name: it renames what the undo put back).
enum class RunKind { Rename, Undo, Redo };

// The word of the journal's first line for each kind.
[[nodiscard]] QByteArray runKindWord(RunKind kind);

class PlanEncoder;

// The journal of one run, a file of its own in the journal folder. The plan (every old and new
// path, with the identity of the item at the old path) is on the disk before any of its renames:
// its first piece is written and forced before the first rename, the rest on a thread of its
// own in growing pieces, each forced before a rename needs it, so that a long plan costs the
// renames no waiting. From then on the disk itself tells which renames happened, so outcomes
// are only appended, and forced at most once a second and at the end. What the plan could not
// know — a new path that changes during the run, an item a rename makes for a moment — is
// forced before it happens. The file and the folder are the user's only; each line carries a
// CRC-32.
class RenameJournal {
public:
    // `undoes` names the journal of the run that an undo run takes back.
    RenameJournal(QString folder, RunKind kind, QString undoes = {});
    ~RenameJournal();
    RenameJournal(const RenameJournal&) = delete;
    RenameJournal& operator=(const RenameJournal&) = delete;

    // Writes the plan's first piece and forces it to the disk, and starts writing the rest.
    // An entry whose old path holds no item is not planned: it cannot be renamed, nor taken
    // back. Nothing when the journal is on the disk; else why it is not, and the run has no
    // journal.
    [[nodiscard]] std::optional<QString> writePlan(const QStringList& sources,
                                                   const QStringList& targets,
                                                   IdentityLookup lookup = identityOf);

    // The planned entry of the next rename of `from`, at or after the current one, once the
    // plan on the disk holds it; nothing when it never will: the item was not there, or the
    // plan stopped before it (planStopped()). Once the plan is on the disk, the disk tells
    // which of its renames happened even where later lines could not be written.
    [[nodiscard]] std::optional<qsizetype> entryOf(const QString& from);
    // Whether a line could not be written: the journal stops there, and a rename it does not
    // hold must not happen. Why is in error().
    [[nodiscard]] bool failed() const;
    // Before the rename: the entry's new path changed. Forced; false when it could not be.
    [[nodiscard]] bool recordTarget(qsizetype entry, const QString& to);
    // Before a rename makes a reservation or a temporary name. Forced; false when it could not be.
    [[nodiscard]] bool recordHelper(qsizetype entry, const QString& path);
    void recordOutcome(qsizetype entry, bool renamed);
    // After a renamed item of entry `index` of the plan (counted among all the entries asked
    // for) was put back to its old path, because the cycle it was part of could not go round.
    void recordPutBack(qsizetype index);
    // Forces the outcomes to the disk and closes the file; a journal in which nothing was
    // renamed is removed, so that the last journal is always the last run that changed names.
    void finish();

    // The file; empty until the plan is written.
    [[nodiscard]] const QString& path() const { return m_path; }
    // Why the journal could not be written; empty while all went well.
    [[nodiscard]] QString error();

private:
    // Those marked "Locked" are called with m_mutex held. The file is forced without it, and
    // closed only when no other thread is left.
    bool create();
    void close();
    bool writeLocked(const QByteArray& bytes);
    bool force();
    bool append(const QByteArray& record, bool forced);
    void failLocked(const QString& reason);
    void planTheRest(std::unique_ptr<PlanEncoder> encoder);
    void stopPlanning();

    QString m_folder;
    RunKind m_kind;
    QString m_undoes;
    QString m_path;
    QString m_error;
    int m_fd = -1;
    QStringList m_sources;
    QStringList m_targets;
    QByteArray m_pending;        // outcomes not yet written
    QElapsedTimer m_sinceForced; // since this thread last forced the outcomes
    qsizetype m_nextEntry = 0;   // where entryOf() looks first
    bool m_renamedAny = false;

    // Shared with the thread that writes the plan: the file and everything above that it
    // touches, how far the plan on the disk goes, and which entry has which planned number.
    std::mutex m_mutex;
    std::condition_variable m_planGrew;
    // Entries before this one are decided, their plan lines forced: planned or left out.
    std::atomic<qsizetype> m_plannedUpTo{0};
    bool m_planEnded = false; // no more pieces come
    std::atomic<bool> m_failed{false};
    std::vector<qsizetype> m_plannedOf; // -1 for an entry left out
    std::vector<qsizetype> m_entryOf;
    std::atomic<qsizetype> m_renaming{0}; // how far the renames are, to size the pieces
    std::atomic<bool> m_cancelPlan{false};
    std::thread m_planner;
};

} // namespace quillet::journal
