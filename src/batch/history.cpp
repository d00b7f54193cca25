#include "batch/history.h"

#include <algorithm>

namespace quillet::batch {

void History::pushOlder(Slots& ring, const ChunkedText& newest)
{
    std::move_backward(ring.begin(), ring.end() - 1, ring.end());
    ring[0] = newest;
}

void History::popNewer(Slots& ring)
{
    std::move(ring.begin() + 1, ring.end(), ring.begin());
    ring[kSlots - 1] = ChunkedText();
}

void History::record(const ChunkedText& text, bool batchHasEntries)
{
    if (!batchHasEntries)
        return;
    if (m_paused) {
        m_paused = false;
        return;
    }
    pushOlder(m_back, text);
    m_forward.fill(ChunkedText());
}

ChunkedText History::undo()
{
    pushOlder(m_forward, m_back[0]);
    ChunkedText text = m_back[1];
    popNewer(m_back);
    m_paused = true;
    return text;
}

ChunkedText History::redo()
{
    ChunkedText text = m_forward[0];
    pushOlder(m_back, text);
    popNewer(m_forward);
    m_paused = true;
    return text;
}

void History::clear()
{
    m_back.fill(ChunkedText());
    m_forward.fill(ChunkedText());
    m_paused = false;
}

} // namespace quillet::batch
