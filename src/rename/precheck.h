#pragma once

#include "rename/diskrules.h"
#include "rename/itemlookup.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace quillet::rename {

// The kinds of finding the pre-check has for the entries of a batch.
enum class EntryFinding : quint8 {
    Fine,
    Unchanged,        // the target is the source itself; the run leaves it alone
    Empty,            // the line gave no name: empty, only spaces, or a folder and "/"
    InvalidCharacter, // a character the target's disk refuses, or "." / ".."
    TooLong,          // the file name, checksums filled in, is too long for the target's disk
    Duplicate,        // an earlier entry of the batch names the same target
    Existing,         // an item the batch does not move away is at the target
    NoLine,           // a file past the last line of the names: it has no name at all
    SourceMissing,    // the item to rename is no longer there
    FolderMissing,    // the target's folder does not exist, or is not a folder
    OtherDrive,       // the target's folder is on another file system than the item
    Swap,             // the target is held by an item the batch moves away first
    SurroundingSpace, // the name starts or ends with a space
};
inline constexpr int kEntryFindingKinds = int(EntryFinding::SurroundingSpace) + 1;

// The kinds that apply to one entry, one bit per kind.
using EntryKinds = quint16;
static_assert(kEntryFindingKinds <= 16);

[[nodiscard]] constexpr EntryKinds kindBit(EntryFinding kind)
{
    return EntryKinds(1u << int(kind));
}

// What the run does as the user meant, only told so: not a problem.
inline constexpr EntryKinds kNoteKinds = kindBit(EntryFinding::Unchanged)
                                         | kindBit(EntryFinding::Swap)
                                         | kindBit(EntryFinding::SurroundingSpace);

// How many entries of each kind the tooltip names.
inline constexpr qsizetype kListedEntries = 10;

// One entry with at least one finding.
struct MarkedEntry {
    qsizetype entry = 0; // 0-based index in the batch
    EntryKinds kinds = 0;
    qsizetype sameAs = -1;   // a duplicate: the first entry naming the same target
    qsizetype swapWith = -1; // a swap: the entry whose item holds the target now

    [[nodiscard]] bool has(EntryFinding kind) const { return (kinds & kindBit(kind)) != 0; }
    // Anything but a note is something the run fails on, prompts for or gets wrong.
    [[nodiscard]] bool isProblem() const { return (kinds & ~kNoteKinds) != 0; }
};

struct PrecheckFindings {
    qsizetype entries = 0;
    qsizetype lines = 0; // lines of the names text, line breaks at its end not counted
    // An entry counts once in every kind that applies to it.
    std::array<qsizetype, kEntryFindingKinds> counts{};
    // The first kListedEntries entries (0-based indices) of each kind.
    std::array<QList<qsizetype>, kEntryFindingKinds> firstEntries;
    // Every entry with a finding, in batch order.
    QList<MarkedEntry> marked;

    [[nodiscard]] qsizetype count(EntryFinding kind) const { return counts[int(kind)]; }
    [[nodiscard]] bool countMismatch() const { return lines != entries; }
    // Anything that makes the run prompt, fail or pair a name with the wrong file.
    [[nodiscard]] bool hasProblems() const;
};

// Checks a whole batch before anything is renamed, as the run will meet it: in the order of the
// run's plan, so a target held by an item the batch moves away first (a shift, a swap, a
// rotation) is no collision, and the rules of the disk that holds each target's folder.
//
// Which kinds go together: an entry whose item is gone is only that, since nothing else about it
// reaches the disk; a name problem (no line, empty, bad character, too long) ends the entry's
// check, as a missing or foreign folder does; a target named by an earlier entry is a duplicate,
// and also counts as existing when an item the batch does not move is already there.
//
// Looks at the disk through `lookUp` at most once per path: each source, each target and each
// target folder. A target holding a checksum token is checked for its name length with the
// checksum's digits in place; whether it is taken is known only once the checksum is, so it is
// not looked up.
[[nodiscard]] PrecheckFindings precheckBatch(const QStringList& sources, const QStringList& targets,
                                             const QString& names, QChar separator,
                                             const ItemLookup& lookUp,
                                             const FolderRules& folderRules = rulesOfFolder);

// How many lines of the names pair with a file: as the editor shows them, so an emptied last
// line still pairs with its file; empty lines past the last file shift nothing and do not count.
[[nodiscard]] qsizetype namedLineCount(const QString& names, qsizetype entries);

// What the listing shows at one entry with a finding.
struct EntryMark {
    qsizetype entry = 0;
    EntryKinds kinds = 0;
    QString tag; // "← 既存・重複 (12行目と同じ)", after the entry's target

    [[nodiscard]] bool isProblem() const { return MarkedEntry{entry, kinds}.isProblem(); }
};

// The findings in words. `problems` are e.g. {"重複 2件", "既存 1件"}, empty when there are
// none; `unchanged` holds the notes, e.g. "変更なし 3件・入れ替え 6件", or is empty; `details`
// names the first entries of each kind, one per line, as the user reads them; `marks` are the
// entries with a finding, in batch order.
struct PrecheckReport {
    QStringList problems;
    QString unchanged;
    QString details;
    QList<EntryMark> marks;
};

[[nodiscard]] PrecheckReport precheckReport(const PrecheckFindings& findings,
                                            const QStringList& sources, const QStringList& targets,
                                            QChar separator);

} // namespace quillet::rename
