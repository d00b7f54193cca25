#pragma once

#include "journal/itemidentity.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quillet::journal {

// The exact bytes of a path as the journal keeps it: absolute, without "." or ".." parts.
// Such parts, where a name typed them, are resolved by the system, the way the rename will
// resolve them; nothing when the folder is not there (the rename cannot happen either).
[[nodiscard]] std::optional<QByteArray> journalPath(const QString& path);

// Turns a run's entries into the plan lines of its journal, in order and a piece at a time,
// so that a long plan can be written while the first renames go on. The item at each old path
// is looked up when its piece is made. An entry without an item at its old path is left out:
// it cannot be renamed, nor taken back — unless an earlier entry of the run moves an item
// there (a swap through a third name, an undo that puts a folder back before the files inside
// it), and then it is planned with that item.
class PlanEncoder {
public:
    PlanEncoder(QStringList sources, QStringList targets, IdentityLookup lookup);

    [[nodiscard]] qsizetype count() const { return m_sources.size(); }
    // The first entry not yet encoded.
    [[nodiscard]] qsizetype next() const { return m_next; }
    // How many entries are planned so far; planned entries are numbered 0, 1, … in order.
    [[nodiscard]] qsizetype planned() const { return m_planned; }

    // The plan lines of the entries from next() up to `end`. Each entry's planned number goes
    // to `plannedOf` (-1 when it is left out) and each planned number's entry to `entryOf`;
    // both are as long as count().
    [[nodiscard]] QByteArray encode(qsizetype end, std::vector<qsizetype>& plannedOf,
                                    std::vector<qsizetype>& entryOf);

private:
    std::optional<ItemIdentity> identityAt(qsizetype entry);
    [[nodiscard]] QString whereNow(const QString& path, int depth = 0) const;

    const QStringList m_sources;
    const QStringList m_targets;
    const IdentityLookup m_lookup;
    std::vector<std::optional<ItemIdentity>> m_identities;
    // Which entry last moves an item to each new path; made once an old path is found empty.
    QHash<QString, qsizetype> m_filledBy;
    bool m_fillsKnown = false;
    qsizetype m_next = 0;
    qsizetype m_planned = 0;
    QByteArray m_payload;
};

} // namespace quillet::journal
