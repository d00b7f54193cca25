#pragma once

#include "checksum/crc.h"
#include "rename/noreplacerename.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>

namespace quillet::rename {

using checksum::ChecksumKind;

// What the rename run needs from the outside world, handed in so it can run without windows.
struct RenameOperations {
    std::function<RenameResult(const QString& from, const QString& to)> rename;
    // The text the user confirmed; empty when cancelled or confirmed empty.
    std::function<QString(const QString& prompt, const QString& title, const QString& preset)>
        askName;
    std::function<void(const QString& text)> showMessage;
    std::function<std::optional<QString>(const QString& path, ChecksumKind kind)> fileChecksum;
    // Whether an item is at the path (a link counts, not what it points to).
    std::function<bool(const QString& path)> exists;
    // Targets built from the names' lines: one that holds only the extension came from an empty
    // line and is refused. A run that puts old names back has no lines and takes every name.
    bool refuseEmptyNames = true;
};

// An entry the run did not rename, and why.
struct SkippedEntry {
    QString source; // as shown to the user
    QString reason;
};

struct RenameSummary {
    qsizetype renamed = 0;
    qsizetype notRenamed = 0; // tried and failed, or refused; also those a stop left untried
    QList<SkippedEntry> skipped;
    bool stopped = false;  // the user stopped the run before its end
    qsizetype untried = 0; // entries a stop left out (among notRenamed)
};

// Follows a run from any thread: how many entries are done, and a request to stop, which the
// run takes after the entry in progress.
class RunControl {
public:
    void requestStop() { m_stop.store(true, std::memory_order_relaxed); }
    [[nodiscard]] bool stopRequested() const { return m_stop.load(std::memory_order_relaxed); }
    [[nodiscard]] qsizetype done() const { return m_done.load(std::memory_order_relaxed); }
    void setDone(qsizetype done) { m_done.store(done, std::memory_order_relaxed); }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<qsizetype> m_done{0};
};

// Every checksum token of the target replaced by the source file's checksum of that kind;
// nothing when a checksum cannot be computed.
[[nodiscard]] std::optional<QString> ReplaceChecksumToken(const QString& target,
                                                          const QString& source,
                                                          const RenameOperations& operations);

// Renames source i to target i, in order. A taken target leads to the collision prompt until
// the user gives a free name or cancels; any other failure is reported and the entry skipped.
// An entry whose target is its own path is left alone and counts as renamed while the item is
// there. A new name that is empty (only the extension came from the line), too long or holds a
// character no file name can hold is a failure, reported before anything is tried.
RenameSummary RunRename(const QStringList& sources, const QStringList& targets,
                        const RenameOperations& operations, QChar separator,
                        RunControl* control = nullptr);

// "リネームしました。" when every entry was renamed; otherwise how many were and were not.
// A run that puts names back says "元に戻しました。" in the same way; a stopped run says so first.
[[nodiscard]] QString completionMessage(const RenameSummary& summary, bool undo = false);
// The entries not renamed, each with its reason, one per line; empty when there are none.
[[nodiscard]] QString completionDetails(const RenameSummary& summary);

// The source as shown, the fixed text, and the reason on a line of its own when there is one.
[[nodiscard]] QString failureMessage(const QString& source, const QString& reason = {});
[[nodiscard]] QString collisionPrompt(const QString& target);
inline constexpr QStringView kCollisionTitle = u"ファイル名の変更";

} // namespace quillet::rename
