#include "rename/journaledrename.h"

#include "datafile/systemerror.h"

#include <cerrno>

namespace quillet::rename {

RenameFunction journaled(journal::RenameJournal& journal, NoticedRename rename, RunControl& control)
{
    return
        [&journal, &control, rename = std::move(rename)](const QString& from, const QString& to) {
            const auto notRecorded = [&journal, &control] {
                if (journal.failed())
                    control.requestStop();
                return RenameResult::failed(kHelperNotRecordedReason.toString());
            };
            // Only what had an item at its old path when its piece of the plan was made is in the
            // plan.
            const std::optional<qsizetype> entry = journal.entryOf(from);
            if (!entry) {
                if (journal.failed())
                    return notRecorded();
                // The item is there, so the plan could not resolve the new path: its folder is
                // missing.
                if (itemExists(from))
                    return RenameResult::failed(kFolderMissingReason.toString());
                return RenameResult::failed(datafile::systemErrorReason(ENOENT));
            }
            if (!journal.recordTarget(*entry, to))
                return notRecorded();
            const HelperNotice notice = [&journal, planned = *entry](const QString& path) {
                return journal.recordHelper(planned, path);
            };
            RenameResult result = rename(from, to, notice);
            // A taken name is asked again for the same entry; the outcome waits for its end.
            if (result.outcome != RenameResult::Outcome::TargetExists)
                journal.recordOutcome(*entry, result.outcome == RenameResult::Outcome::Done);
            if (journal.failed())
                control.requestStop();
            return result;
        };
}

} // namespace quillet::rename
