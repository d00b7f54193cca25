#include "batch/history.h"

#include <algorithm>

namespace quillet::batch {

void History::pushOlder(Slots& ring, const QString& newest)
{
    std::move_backward(ring.begin(), ring.end() - 1, ring.end());
    ring[0] = newest;
}

void History::popNewer(Slots& ring)
{
    std::move(ring.begin() + 1, ring.end(), ring.begin());
    ring[kSlots - 1].clear();
}

void History::record(const QString& text, bool batchHasEntries)
{
    if (!batchHasEntries)
        return;
    if (m_paused) {
        m_paused = false;
        return;
    }
    pushOlder(m_back, text);
    m_forward.fill(QString());
}

QString History::undo()
{
    pushOlder(m_forward, m_back[0]);
    QString text = m_back[1];
    popNewer(m_back);
    m_paused = true;
    return text;
}

QString History::redo()
{
    QString text = m_forward[0];
    pushOlder(m_back, text);
    popNewer(m_forward);
    m_paused = true;
    return text;
}

void History::clear()
{
    m_back.fill(QString());
    m_forward.fill(QString());
    m_paused = false;
}

} // namespace quillet::batch
