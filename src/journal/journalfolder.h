#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace quillet::journal {

// The journal folder inside the per-user data folder of the program.
[[nodiscard]] QString defaultJournalFolder();
// How many runs the journal folder keeps; older journals are removed when a run starts.
inline constexpr int kKeptRuns = 20;

// Journals are the user's record of what was renamed, and an undo renames what they say: only
// a folder that is the user's own, a real folder (not a link to one) and closed to others is
// trusted with them. Made (0700) when it is missing and `create` is set; a folder of the user's
// that others may enter is closed. Nothing when the folder can be used, else why not.
[[nodiscard]] std::optional<QString> checkJournalFolder(const QString& folder, bool create);

// Whether a run could write its journal now: the folder is trusted (made when missing) and takes
// a new file, made exclusively and removed at once. Nothing when it can, else why not. Asked
// when a batch is listed for confirmation, so that the user knows before anything is renamed.
[[nodiscard]] std::optional<QString> probeJournalFolder(const QString& folder);

// "run-20261207-210455123-01.journal": the UTC start of the run to the millisecond and a
// number that tells apart runs started in the same millisecond. The names sort as the runs
// started, whatever anyone else put in the folder.
[[nodiscard]] QString journalName(const QDateTime& startedUtc, int sameMoment);
[[nodiscard]] bool isJournalName(QStringView name);

// The journal files of the folder, oldest first; empty when the folder cannot be trusted.
[[nodiscard]] QStringList journalFiles(const QString& folder);

// The bytes of a journal file, or why it is not read: it must be a regular file of the user's
// own, not a link, and no longer than `limitFor` allows after a look at its first bytes
// (a negative limit: the file is not a journal). Never waits on a pipe or a device.
struct JournalBytes {
    std::optional<QByteArray> bytes;
    QString problem;
};
using SizeLimit = std::function<qint64(QByteArrayView head)>;
inline constexpr qint64 kJournalHeadBytes = 4096;
[[nodiscard]] JournalBytes readJournalBytes(const QString& path, const SizeLimit& limitFor);

} // namespace quillet::journal
