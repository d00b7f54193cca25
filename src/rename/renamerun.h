#pragma once

#include "checksum/filechecksum.h"
#include "rename/diskrules.h"
#include "rename/noreplacerename.h"
#include "rename/runplan.h"

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
    std::function<checksum::ChecksumResult(const QString& path, ChecksumKind kind)> fileChecksum;
    // Whether an item is at the path (a link counts, not what it points to).
    std::function<bool(const QString& path)> exists;
    // Puts move `move` of the plan back (from its new path to its old one) when the cycle it is
    // part of cannot go round; the rename itself when not set.
    std::function<RenameResult(qsizetype move, const QString& from, const QString& to)> putBack;
    // The rules of the disk that holds a folder.
    FolderRules folderRules = rulesOfFolder;
    // Targets built from the names' lines are checked against the rules of their disk: an
    // empty name, a character the disk refuses or a name too long for it is refused. A run that
    // puts old names back takes every name the disk once held.
    bool checkNewNames = true;
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

// A target with its checksum tokens filled in, or the checksum that could not be computed.
struct FilledTarget {
    std::optional<QString> path;
    checksum::ChecksumResult failed; // when there is no path
};

// Every checksum token of the target replaced by the source file's checksum of that kind.
[[nodiscard]] FilledTarget ReplaceChecksumToken(const QString& target, const QString& source,
                                                const RenameOperations& operations);

// Why an entry was not renamed when the checksum its new name needs failed.
[[nodiscard]] QString checksumFailureReason(const QString& failure);

// Makes the moves of the plan in order; `sources` are the batch's entries, as the user knows
// them. A taken target leads to the collision prompt until the user gives a free name or
// cancels; any other failure is reported and the entry skipped. An entry whose target is its
// own path is left alone and counts as renamed while the item is there. A new name that is
// empty, too long or holds a character its disk refuses is a failure, reported before anything
// is tried. The moves of a cycle go round without prompts: when one of them cannot be made, or
// the user stops the run halfway round, the moves already made are put back, so no item is
// left under a temporary name, and the cycle's entries keep their names. A stop takes effect
// after the move in progress, or after the cycle has been put back.
RenameSummary RunRename(const RunPlan& plan, const QStringList& sources,
                        const RenameOperations& operations, QChar separator,
                        RunControl* control = nullptr);

// Why the entries of a cycle that could not go round keep their names.
inline constexpr QStringView kCycleUndoneReason =
    u"入れ替えを最後までできなかったため、元の名前のままにしました";

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
