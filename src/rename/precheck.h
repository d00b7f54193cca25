#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace quillet::rename {

// What the pre-check makes of one entry of a batch, in the order the rename run meets it: an
// entry has one finding, the first that applies.
enum class EntryFinding {
    Fine,
    Unchanged,        // the target is the source itself; the run leaves it alone
    Empty,            // the line is empty (or missing): only the extension would remain
    InvalidCharacter, // a character no file name can hold, or "." / ".."
    TooLong,          // the file name, checksums filled in, has too many bytes
    Duplicate,        // an earlier entry of the batch gets the same target
    Existing,         // an item is at the target and no earlier entry moves it away
};
inline constexpr int kEntryFindingKinds = int(EntryFinding::Existing) + 1;

// How many entries of each kind the tooltip names.
inline constexpr qsizetype kListedEntries = 10;

// Whether two paths that differ only in letter case name the same item.
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
inline constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
inline constexpr Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

struct PrecheckFindings {
    qsizetype entries = 0;
    qsizetype lines = 0; // lines of the names text, line breaks at its end not counted
    std::array<qsizetype, kEntryFindingKinds> counts{};
    // The first kListedEntries entries (0-based indices) of each kind.
    std::array<QList<qsizetype>, kEntryFindingKinds> firstEntries;

    [[nodiscard]] qsizetype count(EntryFinding kind) const { return counts[int(kind)]; }
    [[nodiscard]] bool countMismatch() const { return lines != entries; }
    // Anything that makes the run prompt, fail or pair a name with the wrong file.
    [[nodiscard]] bool hasProblems() const;
};

using ItemExists = std::function<bool(const QString& path)>;

// Checks a whole batch before anything is renamed, as the run will meet it: entries are renamed
// in order, so a target that is the source of an earlier entry is free by then, while the source
// of a later one is still taken. Asks `exists` at most once per target. A target holding a
// checksum token is checked for its name length with the checksum's digits in place; whether it
// is taken is known only once the checksum is, so it is not looked up.
[[nodiscard]] PrecheckFindings precheckBatch(const QStringList& sources, const QStringList& targets,
                                             const QString& names, QChar separator,
                                             const ItemExists& exists,
                                             Qt::CaseSensitivity pathCase = kPathCase);

// The findings in words. `problems` is e.g. "重複 2件・既存 1件", empty when there are none;
// `unchanged` is "変更なし N件" or empty; `details` names the first entries of each kind, one per
// line, as the user reads them.
struct PrecheckReport {
    QString problems;
    QString unchanged;
    QString details;
};

[[nodiscard]] PrecheckReport precheckReport(const PrecheckFindings& findings,
                                            const QStringList& sources, const QStringList& targets,
                                            QChar separator);

} // namespace quillet::rename
