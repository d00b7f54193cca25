#include "rename/undoguard.h"

namespace quillet::rename {

UndoGuard::UndoGuard(QList<journal::UndoStep> steps, NoticedRename rename,
                     journal::IdentityLookup lookup)
    : m_steps(std::move(steps))
    , m_rename(std::move(rename))
    , m_lookup(std::move(lookup))
{
}

RenameResult UndoGuard::operator()(const QString& from, const QString& to,
                                   const HelperNotice& notice)
{
    // The run calls with the sources in the plan's order; a retry calls with the same source.
    qsizetype step = m_next;
    while (step < m_steps.size() && m_steps.at(step).from != from)
        ++step;
    if (step == m_steps.size())
        return RenameResult::failed(journal::kReplacedReason.toString());
    // Only a refusal for a taken name is retried by the run; anything else ends the step.
    m_next = step + 1;
    const std::optional<journal::ItemIdentity> now = m_lookup(from);
    if (!now)
        return RenameResult::failed(journal::kMissingReason.toString());
    if (!now->sameItem(m_steps.at(step).identity))
        return RenameResult::failed(journal::kReplacedReason.toString());
    RenameResult result = m_rename(from, to, notice);
    if (result.outcome == RenameResult::Outcome::TargetExists)
        m_next = step;
    return result;
}

} // namespace quillet::rename
