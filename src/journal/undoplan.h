#pragma once

#include "journal/itemidentity.h"
#include "journal/journalreader.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace quillet::journal {

// One rename that takes a rename of the journal back: the item now at `from` (the journal's new
// path) goes back to `to` (its old path), provided it is still the item that was renamed.
struct UndoStep {
    QString from;
    QString to;
    ItemIdentity identity;
};

// A rename of the journal that is not taken back, and why.
struct UndoProblem {
    QString path;         // where the renamed item should be
    QString originalPath; // where it came from
    QString reason;
    QString laterRun; // the journal (file name) of a later run that renamed the item or its place
};

// The items a sequence of renames moved, each from where it was first to where it was last: a
// rename from a name that an earlier one made moves the same item on (a cycle's temporary
// name, a third name a swap went through), so the user counts and reads it once.
[[nodiscard]] QList<std::pair<QString, QString>>
movedItems(const QList<std::pair<QString, QString>>& renames);

struct UndoPlan {
    QString journalPath;
    RunKind undoneKind = RunKind::Rename; // what the run taken back was
    QDateTime undoneStartedUtc;
    QList<UndoStep> steps; // newest rename first
    QList<UndoProblem> problems;

    [[nodiscard]] QStringList sources() const;
    [[nodiscard]] QStringList targets() const;
    // How many items the steps put back (movedItems).
    [[nodiscard]] qsizetype itemCount() const;
};

// The renames of the journal that happened and are not yet taken back, reversed, newest first:
// those with their outcome recorded, and those without one (the program stopped) when the item
// is found at the new path or under the temporary name the rename gave it. An item already back
// at its old path is left alone, so an undo that was stopped halfway can be finished. Each is
// checked against the disk as it will be when the newer ones have been taken back, so a chain (a →
// b, then c → a) is undone in the right order; an item that has since been moved away or replaced
// is a problem, never a step, and so is one whose old path another item has taken meanwhile.
[[nodiscard]] UndoPlan planUndo(const JournalContents& journal, const IdentityLookup& lookup);

// The plan for the last run of the folder, or the message that says why there is none.
struct LastRunUndo {
    std::optional<UndoPlan> plan;
    QString message;
};
// The newest journal with something to take back; a damaged one stops the search, so that an
// older run is never taken back in its stead. When the newest is an undo that stopped halfway,
// the rest of that undo: the run it took back, as far as it is not back yet.
[[nodiscard]] LastRunUndo planUndoOfLastRun(const QString& journalFolder,
                                            const IdentityLookup& lookup = identityOf);

[[nodiscard]] QString nothingToUndoMessage();
// The problems of a plan, each entry with its reason, for the message shown before the
// confirmation. Its headline names a cause only when all the entries were moved or replaced
// after the run.
[[nodiscard]] QString undoProblemsMessage(const QList<UndoProblem>& problems, QChar separator);

inline constexpr QStringView kReplacedReason = u"リネームの後に別の項目に置き換えられました";
inline constexpr QStringView kMissingReason = u"リネームの後に移動または削除されました";
inline constexpr QStringView kOccupiedReason = u"元の名前の場所に別の項目があります";
inline constexpr QStringView kLeftReservationReason =
    u"リネームが途中で止まったため、新しい名前の空の予約が残っています（削除してかまいません）";

} // namespace quillet::journal
