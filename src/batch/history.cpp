#include "batch/history.h"

#include <algorithm>
#include <utility>

namespace quillet::batch {

void History::letGo(ChunkedText&& text)
{
    text.dropSharedGroups();
    if (text.isEmpty())
        return;
    m_leaving.append(std::move(text));
    qsizetype waiting = 0;
    for (const ChunkedText& left : std::as_const(m_leaving))
        waiting += left.groupCount();
    while (waiting > kGroupsWaiting) {
        waiting -= m_leaving.front().groupCount();
        m_leaving.removeFirst();
    }
}

void History::freeSomeGroups()
{
    qsizetype budget = kGroupsFreedPerChange;
    while (budget > 0 && !m_leaving.isEmpty()) {
        ChunkedText& text = m_leaving.front();
        const qsizetype groups = std::min(budget, text.groupCount());
        budget -= groups;
        if (groups == text.groupCount())
            m_leaving.removeFirst();
        else
            text.dropLastGroups(groups);
    }
}

qsizetype History::linesBeingFreed() const
{
    qsizetype lines = 0;
    for (const ChunkedText& text : m_leaving)
        lines += text.lineCount();
    return lines;
}

void History::pushOlder(Slots& ring, const ChunkedText& newest)
{
    ChunkedText oldest = std::move(ring[kSlots - 1]);
    std::move_backward(ring.begin(), ring.end() - 1, ring.end());
    ring[0] = newest;
    letGo(std::move(oldest));
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
    for (ChunkedText& undone : m_forward)
        letGo(std::exchange(undone, ChunkedText()));
    freeSomeGroups();
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
    m_leaving.clear();
    m_paused = false;
}

} // namespace quillet::batch
