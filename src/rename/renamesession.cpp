#include "rename/renamesession.h"

#include "rename/journaledrename.h"
#include "rename/namecheck.h"
#include "rename/runplan.h"
#include "rename/targets.h"
#include "rename/undoguard.h"

#include "journal/runhistory.h"

#include <QFileInfo>
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
    operations.checkNewNames = !undo;
    if (undo) {
        operations.fileChecksum = [](const QString&, checksum::ChecksumKind kind) {
            checksum::ChecksumResult token;
            token.text =
                (kind == checksum::ChecksumKind::Crc16 ? kCrc16Token : kCrc32Token).toString();
            return token;
        };
    } else {
        operations.fileChecksum = m_checksum;
    }
    return operations;
}

namespace {

// The entries whose item the run moves: an unchanged one and one whose name is refused keep
// their source taken. One whose item is not there yet holds nothing: a batch that moves an item
// to a third name and on from there (a → t, b → a, t → b) is made in its own order.
std::vector<bool> entriesThatMove(const QStringList& sources, const QStringList& targets,
                                  QChar separator, DiskRulesCache& rules)
{
    std::vector<bool> moving(size_t(sources.size()), false);
    for (qsizetype i = 0; i < sources.size(); ++i) {
        const QString target = targets.value(i);
        moving[size_t(i)] =
            target != sources.at(i)
            && checkTarget(sources.at(i), target, separator, rules) == NameProblem::None
            && itemExists(sources.at(i));
    }
    return moving;
}

} // namespace

RunRequest batchRun(QStringList sources, QStringList targets, QChar separator)
{
    RunRequest request;
    request.sources = std::move(sources);
    request.targets = std::move(targets);
    request.separator = separator;
    return request;
}

RunRequest takingBackRun(const journal::UndoPlan& plan, QChar separator)
{
    RunRequest request;
    request.kind = journal::takingBackKind(plan.undoneKind);
    request.takingBackLine = journal::takingBackLine(plan);
    request.undoSteps = plan.steps;
    request.undoes = QFileInfo(plan.journalPath).fileName();
    // Listed from where each item is now to the name it goes back to.
    request.sources = plan.sources();
    request.targets = plan.targets();
    request.separator = separator;
    return request;
}

RunPlan planOfRequest(const RunRequest& request)
{
    // Taking a run back has its order already: the newest rename first.
    if (request.kind != journal::RunKind::Rename)
        return planInOrder(request.sources, request.targets);
    DiskRulesCache rules(request.folderRules);
    return planRun(request.sources, request.targets,
                   entriesThatMove(request.sources, request.targets, request.separator, rules),
                   request.separator, rules);
}

RenameSummary RenameSession::run()
{
    const bool undo = m_request.kind == journal::RunKind::Undo;
    NoticedRename rename = m_rename;
    if (m_request.kind != journal::RunKind::Rename)
        rename = UndoGuard(m_request.undoSteps, std::move(rename));
    const RunPlan plan = planOfRequest(m_request);

    // The whole plan goes to the disk before the first rename, so the run can be taken back
    // whatever stops it: every move of it, also to a temporary name and from it.
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
    bool journaledRun = false;
    if (const std::optional<QString> reason =
            journal.writePlan(plan.sources(), plan.targets(), lookup)) {
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
        journaledRun = true;
    }

    RenameOperations operations = this->operations(std::move(run));
    operations.folderRules = m_request.folderRules;
    operations.putBack = [&journal, rename, journaledRun](qsizetype move, const QString& from,
                                                          const QString& to) {
        RenameResult result = rename(from, to, {});
        if (journaledRun && result.outcome == RenameResult::Outcome::Done)
            journal.recordPutBack(move);
        return result;
    };
    const RenameSummary summary =
        RunRename(plan, m_request.sources, operations, m_request.separator, &m_control);
    journal.finish();
    m_dialogs.showMessage(completionMessage(summary, undo), completionDetails(summary));
    if (m_journalError.isEmpty() && !journal.error().isEmpty()) {
        m_journalError = journal.error();
        m_dialogs.showMessage(journalStoppedMessage(), m_journalError);
    }
    return summary;
}

} // namespace quillet::rename
