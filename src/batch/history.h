#pragma once

#include "batch/chunkedtext.h"

#include <array>

namespace quillet::batch {

// The last texts of the name editor. The texts share their unchanged pieces with each other and
// with the editor's names text, so ten steps of a large text cost what the steps changed. Slot 0 of
// the back history holds the newest recorded text, slot 0 of the forward history the most recently
// undone one. An empty text marks an empty slot, so a recorded empty text ends the history: nothing
// older can be reached.
class History {
public:
    static constexpr int kSlots = 11;

    // Called for every change of the editor. Changes while the batch is empty are never
    // recorded; a set recording pause swallows exactly one change.
    void record(const ChunkedText& text, bool batchHasEntries);

    // Both return the text to put into the editor and set the recording pause, so that the
    // change this replacement raises is not recorded. Call endReplacement() afterwards.
    [[nodiscard]] ChunkedText undo();
    [[nodiscard]] ChunkedText redo();

    // Clears a pause that no recorded change consumed (empty batch, unchanged text).
    void endReplacement() { m_paused = false; }

    void clear();

    [[nodiscard]] bool canUndo() const { return !m_back[1].isEmpty(); }
    [[nodiscard]] bool canRedo() const { return !m_forward[0].isEmpty(); }
    [[nodiscard]] bool isPaused() const { return m_paused; }
    [[nodiscard]] const ChunkedText& backSlot(int i) const { return m_back[i]; }
    // The lines of the texts that left the history and are not wholly freed yet.
    [[nodiscard]] qsizetype linesBeingFreed() const;

    // How many groups of pieces each recorded change frees of the texts that left, and how
    // many may wait: about two texts of a million lines.
    static constexpr qsizetype kGroupsFreedPerChange = 8;
    static constexpr qsizetype kGroupsWaiting = 256;

private:
    using Slots = std::array<ChunkedText, kSlots>;
    void pushOlder(Slots& ring, const ChunkedText& newest);
    void popNewer(Slots& ring);
    // A text that leaves the history may be the last holder of a whole large text (the one
    // before an operation changed every line): freeing a million lines at once takes several
    // keystrokes' time. So what it shares with other texts is let go at once, and what only it
    // holds a few groups per change. When too much waits (one operation after another, each a
    // second's work anyway), the oldest waiting goes at once, so memory stays bounded.
    void letGo(ChunkedText&& text);
    void freeSomeGroups();

    Slots m_back;
    Slots m_forward;
    QList<ChunkedText> m_leaving;
    bool m_paused = false;
};

} // namespace quillet::batch
