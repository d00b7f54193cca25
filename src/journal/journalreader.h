#pragma once

#include "journal/itemidentity.h"
#include "journal/renamejournal.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace quillet::journal {

// One planned rename read back from a journal.
struct JournalEntry {
    enum class State {
        Renamed,
        NotRenamed,
        // No outcome: the program stopped before it was written, and only the disk can tell
        // whether the rename happened.
        Unknown
    };
    QString from;
    QString to;            // the last new path the run recorded for it
    ItemIdentity identity; // the item at `from` when the run planned it
    QString helper;        // an item the rename made for a moment, when it announced one
    State state = State::Unknown;
};

struct JournalContents {
    QString path;
    RunKind kind = RunKind::Rename;
    QDateTime startedUtc;
    QString undoes; // for an undo run, the file name of the journal it takes back
    bool ended = false;
    QList<JournalEntry> entries; // in the order of the plan
};

// A journal read back, or why it cannot be trusted.
struct JournalRead {
    std::optional<JournalContents> contents;
    QString damage; // what is wrong, for the user; empty when contents hold the journal
};

// Every line checked; a line torn at the very end (the program stopped while it was written)
// is left out, any other damage makes the whole journal untrusted. Only a regular file of the
// user's own is read, and only up to what a run of its size can have written.
[[nodiscard]] JournalRead readJournal(const QString& path);

} // namespace quillet::journal
