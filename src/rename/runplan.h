#pragma once

#include "rename/diskrules.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace quillet::rename {

// One rename of a run, in the order the run makes them.
struct PlannedMove {
    enum class Step : quint8 {
        Whole,         // the entry's item goes to its target
        ToTemporary,   // the item steps aside under a temporary name in its folder, so that
                       // the cycle it is part of can go round
        FromTemporary, // and takes its target once the cycle has freed it
    };
    qsizetype entry = 0; // the batch entry the move belongs to
    QString from;
    QString to;
    Step step = Step::Whole;
    qsizetype cycle = -1; // index into RunPlan::cycles, or -1
};

// Moves first..last of a plan that go together: a cycle broken by a temporary name, and what
// has to happen between its two steps. Either all of them happen or the done ones are put back.
struct PlannedCycle {
    qsizetype first = 0;
    qsizetype last = 0;
};

struct RunPlan {
    QList<PlannedMove> moves;
    QList<PlannedCycle> cycles;
    // Per entry: the entry whose item holds the entry's target now and that the batch moves
    // away before it (a shift, a swap, a rotation); -1 when there is none.
    std::vector<qsizetype> freedBy;

    [[nodiscard]] QStringList sources() const;
    [[nodiscard]] QStringList targets() const;
};

// A fresh name in the folder (which ends with its separator) for an item stepping aside, of the
// kind the letter-case rename uses.
using TemporaryNames = std::function<QString(const QString& folder)>;
[[nodiscard]] QString randomTemporaryName(const QString& folder);

// The order in which a batch's renames can all happen without one waiting for a name another
// still holds. An entry whose target is the source of another entry that moves its item goes
// after it, so chains go from their free end; a cycle (a swap, a rotation) is broken by moving
// one of its items to a temporary name in its own folder first. Items inside a folder the batch
// renames go before it, within its old path, as do entries whose target lies in it; an entry
// whose target lies in a folder's new name goes after the folder. Where a cycle runs through a
// folder and an item inside it, the paths of later moves follow the folder. Entries that do not
// interact keep the batch's order.
//
// `moving[i]` tells whether entry i moves its item at all: an unchanged or refused entry keeps
// its source taken. A target holding a checksum token is known only once the checksum is, so
// it is taken as a name nobody in the batch holds. Paths are compared as the disk of their
// folder does (`rules`): without regard to case where it ignores case.
[[nodiscard]] RunPlan planRun(const QStringList& sources, const QStringList& targets,
                              const std::vector<bool>& moving, QChar separator,
                              DiskRulesCache& rules,
                              const TemporaryNames& temporaryName = randomTemporaryName);

// Every entry once, in the given order: a run that puts names back has its order already.
[[nodiscard]] RunPlan planInOrder(const QStringList& sources, const QStringList& targets);

// The path as a disk with these rules compares it: "." and ".." parts resolved, the
// separator "/", and case folded where the disk ignores case.
[[nodiscard]] QString comparablePath(const QString& path, QChar separator, const DiskRules& rules);

} // namespace quillet::rename
