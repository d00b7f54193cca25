#pragma once

#include "rename/itemlookup.h"

#include <QStringList>

#include <atomic>
#include <optional>
#include <thread>
#include <vector>

namespace quillet::rename {

// The look-ups of a batch's targets, done on a second thread ahead of the check: the check walks
// the batch in order and asks for each target after its source, so while it looks at sources and
// folders the targets are already being looked at, and a machine with two cores checks in about
// the time of the look-ups alone. A target the prefetch has not reached yet is looked at by the
// check itself. Use the lookUp of one object for one check of `targets`, on one thread.
class PrefetchedLookup {
public:
    PrefetchedLookup(QStringList targets, ItemLookup lookUp);
    ~PrefetchedLookup();
    PrefetchedLookup(const PrefetchedLookup&) = delete;
    PrefetchedLookup& operator=(const PrefetchedLookup&) = delete;

    // For precheckBatch over the same `targets` list (its strings, not copies of their text).
    [[nodiscard]] ItemLookup lookUp();

private:
    std::optional<ItemInfo> find(const QString& path, LookUp how);

    QStringList m_targets;
    ItemLookup m_lookUp;
    std::vector<std::optional<ItemInfo>> m_found;
    std::atomic<qsizetype> m_ready{0}; // m_found[0, m_ready) are written
    qsizetype m_next = 0;              // where the check is in the targets
    std::jthread m_thread;
};

} // namespace quillet::rename
