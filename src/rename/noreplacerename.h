#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

namespace quillet::rename {

// The three outcomes of a rename that never replaces an existing item.
struct RenameResult {
    enum class Outcome { Done, TargetExists, Failed };
    Outcome outcome = Outcome::Failed;
    QString reason; // why it failed, in words for the user

    [[nodiscard]] static RenameResult done() { return {Outcome::Done, {}}; }
    [[nodiscard]] static RenameResult exists() { return {Outcome::TargetExists, {}}; }
    [[nodiscard]] static RenameResult failed(QString why)
    {
        return {Outcome::Failed, std::move(why)};
    }
};

using RenameFunction = std::function<RenameResult(const QString& from, const QString& to)>;

// Told the path of an item a rename is about to make for a moment — a reservation of the new
// name, or a temporary name for a change of letter case only — before it makes it; false
// stops the rename before anything is made.
using HelperNotice = std::function<bool(const QString& path)>;
// A rename that tells its helper items.
using NoticedRename =
    std::function<RenameResult(const QString& from, const QString& to, const HelperNotice& notice)>;

// Renames (or moves into another existing folder) a file or folder. An item already at the
// new path is never replaced: the atomic no-replace rename of the system refuses it. A new
// path that only changes the letter case of the same item on a case-insensitive file system
// is renamed, not refused. Paths may hold escaped bytes (batch/nativepath.h).
[[nodiscard]] RenameResult renameWithoutReplacing(const QString& from, const QString& to,
                                                  const HelperNotice& notice = {});

// Whether an item is at the path; a symbolic link counts as itself, not as what it points to.
[[nodiscard]] bool itemExists(const QString& path);

#ifndef Q_OS_WIN
// The system calls the rename is built from, each returning 0 or -1 with errno set. Tests put
// in calls that fail the way some file systems do (no RENAME_NOREPLACE, no hard links).
struct FileSystemCalls {
    int (*renameNoReplace)(const char* from, const char* to);
    int (*link)(const char* from, const char* to);
    int (*rename)(const char* from, const char* to);
    // Creates an empty file that did not exist (O_CREAT | O_EXCL) and closes it.
    int (*createExclusive)(const char* path);
    int (*mkdir)(const char* path);
};

[[nodiscard]] const FileSystemCalls& systemCalls();

[[nodiscard]] RenameResult renameThrough(const FileSystemCalls& calls, const QString& from,
                                         const QString& to, const HelperNotice& notice = {});
#endif

// Why an item cannot take a name another item has, in the check's words too.
inline constexpr QStringView kTargetTakenReason = u"同じ名前の項目が既にあります";

// Why an item cannot go to a path whose folder is missing, in the check's words too.
inline constexpr QStringView kFolderMissingReason =
    u"移動先のフォルダがないか、フォルダではありません";

// Why a helper item was not made: the journal could not record it first.
inline constexpr QStringView kHelperNotRecordedReason =
    u"元に戻すための記録を書けないため、リネームしませんでした";

} // namespace quillet::rename
