#include "rename/journaledrename.h"

namespace quillet::rename {

RenameFunction journaled(journal::RenameJournal& journal, RenameFunction rename)
{
    return [&journal, rename = std::move(rename)](const QString& from, const QString& to) {
        journal.recordAttempt(from, to);
        const RenameResult result = rename(from, to);
        journal.recordOutcome(result.outcome == RenameResult::Outcome::Done);
        return result;
    };
}

} // namespace quillet::rename
