#include "rename/journaledrename.h"

#include "datafile/systemerror.h"

#include <cerrno>

namespace quillet::rename {

RenameFunction journaled(journal::RenameJournal& journal, NoticedRename rename)
{
    return [&journal, rename = std::move(rename)](const QString& from, const QString& to) {
        // Only what had an item at its old path when the run began is in the plan.
        const std::optional<qsizetype> entry = journal.entryOf(from);
        if (!entry)
            return RenameResult::failed(datafile::systemErrorReason(ENOENT));
        if (!journal.recordTarget(*entry, to))
            return RenameResult::failed(kHelperNotRecordedReason.toString());
        const HelperNotice notice = [&journal, entry](const QString& path) {
            return journal.recordHelper(*entry, path);
        };
        RenameResult result = rename(from, to, notice);
        // A taken name is asked again for the same entry; the outcome waits for its end.
        if (result.outcome != RenameResult::Outcome::TargetExists)
            journal.recordOutcome(*entry, result.outcome == RenameResult::Outcome::Done);
        return result;
    };
}

} // namespace quillet::rename
