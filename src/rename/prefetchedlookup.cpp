#include "rename/prefetchedlookup.h"

namespace quillet::rename {

namespace {

// How far past the last target asked for the check's next one may be: entries whose check ends
// early (a missing source, an unchanged or bad name) never ask for theirs.
constexpr qsizetype kLookAhead = 64;

} // namespace

PrefetchedLookup::PrefetchedLookup(QStringList targets, ItemLookup lookUp)
    : m_targets(std::move(targets))
    , m_lookUp(std::move(lookUp))
    , m_found(size_t(m_targets.size()))
{
    m_thread = std::jthread([this](const std::stop_token& stop) {
        for (qsizetype i = 0; i < m_targets.size() && !stop.stop_requested(); ++i) {
            m_found[size_t(i)] = m_lookUp(m_targets.at(i), LookUp::Item);
            m_ready.store(i + 1, std::memory_order_release);
        }
    });
}

PrefetchedLookup::~PrefetchedLookup() = default; // the thread is asked to stop and joined

ItemLookup PrefetchedLookup::lookUp()
{
    return [this](const QString& path, LookUp how) { return find(path, how); };
}

std::optional<ItemInfo> PrefetchedLookup::find(const QString& path, LookUp how)
{
    if (how == LookUp::Item) {
        // The check's target is the list's own string: the same characters at the same place.
        const qsizetype end = qMin(m_targets.size(), m_next + kLookAhead);
        for (qsizetype i = m_next; i < end; ++i) {
            const QString& target = m_targets.at(i);
            if (target.constData() != path.constData() || target.size() != path.size())
                continue;
            m_next = i + 1;
            if (i < m_ready.load(std::memory_order_acquire))
                return m_found[size_t(i)];
            break;
        }
    }
    return m_lookUp(path, how);
}

} // namespace quillet::rename
