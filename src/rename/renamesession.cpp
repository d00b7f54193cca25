#include "rename/renamesession.h"

#include "rename/journaledrename.h"
#include "rename/targets.h"
#include "rename/undoguard.h"

#include <QHash>

#include <memory>

namespace quillet::rename {

using namespace Qt::Literals::StringLiterals;

QString noJournalQuestion(const QString& reason)
{
    return u"元に戻すための記録を書けません。\r\n%1\r\n\r\n"
           u"このままリネームすると、このリネームは元に戻せません。リネームしますか？"_s.arg(
               reason);
}

QString journalStoppedMessage()
{
    return u"リネームの記録を残せなかったため、このリネームは元に戻せないことがあります。"_s;
}

RenameSession::RenameSession(RunRequest request, RunDialogs& dialogs, ChecksumFunction checksum,
                             NoticedRename rename)
    : m_request(std::move(request))
    , m_dialogs(dialogs)
    , m_checksum(std::move(checksum))
    , m_rename(std::move(rename))
{
}

RenameOperations RenameSession::operations(RenameFunction rename) const
{
    // A redo puts back names as an undo does.
    const bool undo = m_request.kind != journal::RunKind::Rename;
    RenameOperations operations;
    operations.rename = std::move(rename);
    operations.askName = [this](const QString& prompt, const QString& title,
                                const QString& preset) {
        return m_dialogs.askName(prompt, title, preset);
    };
    // Six refused entries were six boxes to click through before the end message told the same
    // six again: once the user asks for the rest at the end, the failures go only there.
    operations.showMessage = [this, atEnd = std::make_shared<bool>(false)](const QString& text) {
        if (!*atEnd)
            *atEnd = m_dialogs.showFailure(text);
    };
    operations.exists = itemExists;
    // Old names come back as they were, also a name that is only "." and an extension, and
    // one that spells a checksum token.
    operations.refuseEmptyNames = !undo;
    if (undo) {
        operations.fileChecksum = [](const QString&, checksum::ChecksumKind kind) {
            return std::optional<QString>(
                (kind == checksum::ChecksumKind::Crc16 ? kCrc16Token : kCrc32Token).toString());
        };
    } else {
        operations.fileChecksum = m_checksum;
    }
    return operations;
}

RenameSummary RenameSession::run()
{
    const bool undo = m_request.kind == journal::RunKind::Undo;
    NoticedRename rename = m_rename;
    if (m_request.kind != journal::RunKind::Rename)
        rename = UndoGuard(m_request.undoSteps, std::move(rename));

    // The whole plan goes to the disk before the first rename, so the run can be taken back
    // whatever stops it.
    journal::RenameJournal journal(m_request.journalFolder, m_request.kind, m_request.undoes);
    // An undo plan knows its items already, also those inside a folder it puts back first.
    QHash<QString, journal::ItemIdentity> known;
    for (const journal::UndoStep& step : m_request.undoSteps)
        known.insert(step.from, step.identity);
    const journal::IdentityLookup lookup = [&known](const QString& path) {
        if (const auto found = known.constFind(path); found != known.cend())
            return std::optional(*found);
        return journal::identityOf(path);
    };
    RenameFunction run;
    if (const std::optional<QString> reason =
            journal.writePlan(m_request.sources, m_request.targets, lookup)) {
        m_journalError = *reason;
        if (!m_dialogs.askYesNo(noJournalQuestion(*reason))) {
            RenameSummary summary;
            summary.stopped = true;
            summary.untried = summary.notRenamed = m_request.sources.size();
            return summary;
        }
        run = [rename](const QString& from, const QString& to) { return rename(from, to, {}); };
    } else {
        run = journaled(journal, rename, m_control);
    }

    const RenameSummary summary =
        RunRename(m_request.sources, m_request.targets, operations(std::move(run)),
                  m_request.separator, &m_control);
    journal.finish();
    m_dialogs.showMessage(completionMessage(summary, undo), completionDetails(summary));
    if (m_journalError.isEmpty() && !journal.error().isEmpty()) {
        m_journalError = journal.error();
        m_dialogs.showMessage(journalStoppedMessage(), m_journalError);
    }
    return summary;
}

} // namespace quillet::rename
