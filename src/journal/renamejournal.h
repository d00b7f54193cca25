#pragma once

#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <optional>

namespace quillet::journal {

// What tells one file or folder from another. A rename keeps the device, the inode and the
// creation time; the inode number alone is not enough, since a file made after another was
// deleted often gets its number again.
struct ItemIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 createdNs = 0; // 0 where the file system does not keep it

    // The same item: same device and inode, and the same creation time, or where that is not
    // kept, the same modification time (an item changed since counts as another one). Without
    // inode numbers: the same size and times.
    [[nodiscard]] bool sameItem(const ItemIdentity& other) const;
    friend bool operator==(const ItemIdentity&, const ItemIdentity&) = default;
};

// The identity of the item at the path (a link as itself); nothing when no item is there.
[[nodiscard]] std::optional<ItemIdentity> identityOf(const QString& path);
using IdentityLookup = std::function<std::optional<ItemIdentity>(const QString& path)>;

// A run that renames what the user listed, or one that takes a run back.
enum class RunKind { Rename, Undo };

// The journal folder inside the per-user data folder of the program.
[[nodiscard]] QString defaultJournalFolder();
// How many runs the journal folder keeps; older journals are removed when a run starts.
inline constexpr int kKeptRuns = 20;

// The journal of one run: one file in the journal folder, created at the first attempt. Each
// attempt is written and forced to the disk before the rename, its outcome written after it,
// so that whatever stops the program, the journal shows which renames may have happened. The
// file and the folder are readable by their owner only; each record carries a CRC-32.
class RenameJournal {
public:
    RenameJournal(QString folder, RunKind kind);
    ~RenameJournal();
    RenameJournal(const RenameJournal&) = delete;
    RenameJournal& operator=(const RenameJournal&) = delete;

    // Records the attempt before the rename. A journal that cannot be written does not stop
    // the rename; the failure is kept in error().
    void recordAttempt(const QString& from, const QString& to);
    // Records the outcome of the last attempt.
    void recordOutcome(bool renamed);
    // Forces the last records to the disk and closes the file; a journal in which nothing was
    // renamed is removed, so that the last journal is always the last run that changed names.
    void finish();

    // The file; empty until the first attempt.
    [[nodiscard]] const QString& path() const { return m_path; }
    // Why the journal could not be written; empty while all went well.
    [[nodiscard]] const QString& error() const { return m_error; }

private:
    bool open();
    bool append(const QByteArray& payload, bool sync);
    void fail(const QString& reason);

    QString m_folder;
    RunKind m_kind;
    QString m_path;
    QString m_lastTarget;
    QString m_error;
    QFile m_file;
    qint64 m_sequence = 0;
    bool m_attemptOpen = false;
    bool m_renamedAny = false;
};

// One attempt read back from a journal.
struct JournalEntry {
    enum class State {
        Renamed,
        NotRenamed,
        // Written before the rename, no outcome after it: the program stopped in between, and
        // only the disk can tell whether the rename happened.
        Unknown
    };
    QString from;
    QString to;
    std::optional<ItemIdentity> before; // the item at `from` just before the attempt
    std::optional<ItemIdentity> after;  // the item at `to` just after a rename that was done
    State state = State::Unknown;
};

struct JournalContents {
    QString path;
    RunKind kind = RunKind::Rename;
    QList<JournalEntry> entries; // in the order of the attempts
};

// A journal read back, or why it cannot be trusted.
struct JournalRead {
    std::optional<JournalContents> contents;
    QString damage; // what is wrong, for the user; empty when contents hold the journal
};

// Every record checked; a record torn at the very end (the program stopped while it was
// written) is left out, any other damage makes the whole journal untrusted.
[[nodiscard]] JournalRead readJournal(const QString& path);

// The journal files of the folder, oldest first.
[[nodiscard]] QStringList journalFiles(const QString& folder);

} // namespace quillet::journal
