#include "rename/renamerun.h"

#include "batch/nativepath.h"
#include "datafile/systemerror.h"
#include "rename/namecheck.h"
#include "rename/targets.h"

#include <QHash>

#include <cerrno>

namespace quillet::rename {

using namespace Qt::Literals::StringLiterals;

QString failureMessage(const QString& source, const QString& reason)
{
    QString text = source + u"\r\n\r\nのリネームに失敗しました。"_s;
    if (!reason.isEmpty())
        text += u"\r\n"_s + reason;
    return text;
}

QString collisionPrompt(const QString& target)
{
    return u"ファイル「 "_s + target
           + u" 」は既に存在します。ファイル名を変更してください。\r\n\r\n"
             u"このファイル名のリネームをしない場合はキャンセルを押してください。"_s;
}

QString completionMessage(const RenameSummary& summary, bool undo)
{
    const QString prefix = summary.stopped ? u"中止しました。"_s : QString();
    if (summary.notRenamed == 0)
        return prefix + (undo ? u"元に戻しました。"_s : u"リネームしました。"_s);
    return prefix
           + (undo ? u"%1件中%2件を元に戻しました。%3件は元に戻しませんでした。"_s
                   : u"%1件中%2件をリネームしました。%3件はリネームしませんでした。"_s)
                 .arg(summary.renamed + summary.notRenamed)
                 .arg(summary.renamed)
                 .arg(summary.notRenamed);
}

QString completionDetails(const RenameSummary& summary)
{
    QString details;
    for (const SkippedEntry& entry : summary.skipped) {
        details += entry.source + u"\r\n    "_s + entry.reason + u"\r\n"_s;
    }
    return details;
}

QString checksumFailureReason(const QString& failure)
{
    QString reason = u"チェックサムを取得できませんでした"_s;
    if (!failure.isEmpty())
        reason += u": "_s + failure;
    return reason;
}

FilledTarget ReplaceChecksumToken(const QString& target, const QString& source,
                                  const RenameOperations& operations)
{
    QString result = target;
    const std::pair<QStringView, ChecksumKind> tokens[] = {{kCrc16Token, ChecksumKind::Crc16},
                                                           {kCrc32Token, ChecksumKind::Crc32}};
    for (const auto& [token, kind] : tokens) {
        if (!result.contains(token))
            continue;
        checksum::ChecksumResult checksum = operations.fileChecksum(source, kind);
        if (!checksum.text)
            return {std::nullopt, std::move(checksum)};
        result.replace(token.toString(), *checksum.text);
    }
    return {std::move(result), {}};
}

namespace {

constexpr QStringView kTemporaryTakenReason = u"一時的な名前が使えませんでした";

// What became of one move: the path the item went to, or why it did not move.
struct MoveOutcome {
    std::optional<QString> reason;
    QString renamedTo;
    bool stopped = false; // the user stopped the run while its checksum was read
};

// One move of the run.
class MoveRename {
public:
    MoveRename(const PlannedMove& move, const QString& shownSource,
               const RenameOperations& operations, QChar separator, DiskRulesCache& rules)
        : m_move(move)
        , m_shownSource(shownSource)
        , m_operations(operations)
        , m_separator(separator)
        , m_rules(rules)
    {
    }

    // Inside a cycle a taken name is not asked about: the cycle is put back instead.
    MoveOutcome run(bool mayPrompt)
    {
        if (m_move.step != PlannedMove::Step::Whole)
            return step();
        const QString& source = m_move.from;
        const QString& listedTarget = m_move.to;
        if (listedTarget == source) {
            // The name was not changed: nothing to do, as long as the item is still there.
            if (!m_operations.exists(source))
                return fail(datafile::systemErrorReason(ENOENT));
            return {std::nullopt, source};
        }
        if (m_operations.checkNewNames) {
            if (const NameProblem problem = checkTarget(source, listedTarget, m_separator, m_rules);
                problem != NameProblem::None)
                return fail(nameProblemReason(problem));
        }

        const FilledTarget filled = ReplaceChecksumToken(listedTarget, source, m_operations);
        if (filled.failed.stopped)
            return {filled.failed.failure, {}, true};
        if (!filled.path)
            return fail(checksumFailureReason(filled.failed.failure));
        const QString& target = *filled.path;
        // The prompt offers the name that exists, checksum filled in; an answer replaces the
        // whole file name in the target's folder.
        const qsizetype nameStart = fileNameStart(target, m_separator);
        const QString folder = target.left(nameStart);
        const QString preset = target.mid(nameStart);
        // An old name put back is taken as the disk once held it.
        const std::optional<DiskRules> rules =
            m_operations.checkNewNames
                ? std::optional<DiskRules>(m_rules.ofFolderOf(target, m_separator))
                : std::nullopt;
        QString attempt = target;
        QString name = preset;
        for (;;) {
            if (const NameProblem problem = rules ? checkFileName(name, *rules) : NameProblem::None;
                problem != NameProblem::None)
                return fail(nameProblemReason(problem));
            const RenameResult result = m_operations.rename(source, attempt);
            switch (result.outcome) {
            case RenameResult::Outcome::Done: return {std::nullopt, attempt};
            case RenameResult::Outcome::Failed: return fail(result.reason);
            case RenameResult::Outcome::TargetExists: break;
            }
            if (!mayPrompt)
                return fail(kTargetTakenReason.toString());
            name = m_operations.askName(collisionPrompt(shown(listedTarget)),
                                        kCollisionTitle.toString(), preset);
            if (name.isEmpty())
                return {u"同じ名前の項目があるため、取り消しました"_s, {}};
            attempt = folder + name;
        }
    }

private:
    // A step of a cycle: to a temporary name or from it; both names are the plan's own.
    MoveOutcome step()
    {
        const RenameResult result = m_operations.rename(m_move.from, m_move.to);
        switch (result.outcome) {
        case RenameResult::Outcome::Done: return {std::nullopt, m_move.to};
        case RenameResult::Outcome::Failed: return fail(result.reason);
        case RenameResult::Outcome::TargetExists: break;
        }
        return fail((m_move.step == PlannedMove::Step::ToTemporary ? kTemporaryTakenReason
                                                                   : kTargetTakenReason)
                        .toString());
    }

    QString shown(const QString& path) const { return batch::displayText(path, m_separator); }

    MoveOutcome fail(const QString& reason) const
    {
        m_operations.showMessage(failureMessage(shown(m_shownSource), reason));
        return {reason, {}};
    }

    const PlannedMove& m_move;
    const QString& m_shownSource;
    const RenameOperations& m_operations;
    QChar m_separator;
    DiskRulesCache& m_rules;
};

// The run of a whole plan, entry by entry and cycle by cycle.
class PlanRun {
public:
    PlanRun(const RunPlan& plan, const QStringList& sources, const RenameOperations& operations,
            QChar separator, RunControl* control)
        : m_plan(plan)
        , m_sources(sources)
        , m_operations(operations)
        , m_separator(separator)
        , m_control(control)
        , m_rules(operations.folderRules ? operations.folderRules : FolderRules(rulesOfFolder))
    {
    }

    RenameSummary run()
    {
        const qsizetype moves = m_plan.moves.size();
        for (qsizetype k = 0; k < moves && !m_summary.stopped;) {
            if (stopRequested())
                break;
            const PlannedMove& move = m_plan.moves.at(k);
            if (move.cycle >= 0) {
                k = runCycle(m_plan.cycles.at(move.cycle));
                continue;
            }
            const MoveOutcome outcome = rename(move, true);
            if (outcome.stopped) {
                // Stopped in the middle of its checksum: the entry is one the stop left out.
                m_summary.stopped = true;
                break;
            }
            finishEntry(move.entry, outcome.reason);
            ++k;
        }
        const qsizetype entries = m_sources.size();
        if (m_summary.stopped) {
            m_summary.untried = entries - m_summary.renamed - m_summary.notRenamed;
            m_summary.notRenamed += m_summary.untried;
        } else if (m_control) {
            m_control->setDone(entries);
        }
        return m_summary;
    }

private:
    bool stopRequested()
    {
        if (m_control && m_control->stopRequested())
            m_summary.stopped = true;
        return m_summary.stopped;
    }

    MoveOutcome rename(const PlannedMove& move, bool mayPrompt)
    {
        return MoveRename(move, m_sources.at(move.entry), m_operations, m_separator, m_rules)
            .run(mayPrompt);
    }

    void finishEntry(qsizetype entry, const std::optional<QString>& reason)
    {
        if (reason) {
            ++m_summary.notRenamed;
            m_summary.skipped.append({shown(entry), *reason});
        } else {
            ++m_summary.renamed;
        }
        if (m_control)
            m_control->setDone(m_summary.renamed + m_summary.notRenamed);
    }

    QString shown(qsizetype entry) const
    {
        return batch::displayText(m_sources.at(entry), m_separator);
    }

    // The moves of one cycle; returns the move after it.
    qsizetype runCycle(const PlannedCycle& cycle)
    {
        std::vector<std::pair<qsizetype, QString>> done; // move, where its item went
        qsizetype entriesDone = 0;
        for (qsizetype k = cycle.first; k <= cycle.last; ++k) {
            if (k > cycle.first && stopRequested()) {
                // Stopped halfway round: what moved goes back, and the cycle counts as untried.
                const QHash<qsizetype, QString> left = putBack(done);
                for (auto stuck = left.cbegin(); stuck != left.cend(); ++stuck)
                    finishEntry(stuck.key(), stuck.value());
                return cycle.last + 1;
            }
            const PlannedMove& move = m_plan.moves.at(k);
            MoveOutcome outcome = rename(move, false);
            if (outcome.reason) {
                const QHash<qsizetype, QString> left = putBack(done);
                for (const qsizetype entry : entriesOf(cycle)) {
                    finishEntry(entry, entry == move.entry
                                           ? *outcome.reason
                                           : left.value(entry, kCycleUndoneReason.toString()));
                }
                return cycle.last + 1;
            }
            done.emplace_back(k, std::move(outcome.renamedTo));
            if (move.step != PlannedMove::Step::ToTemporary && m_control)
                m_control->setDone(m_summary.renamed + m_summary.notRenamed + ++entriesDone);
        }
        for (const qsizetype entry : entriesOf(cycle))
            finishEntry(entry, std::nullopt);
        return cycle.last + 1;
    }

    // Each entry of a cycle once, in the order of their last moves.
    QList<qsizetype> entriesOf(const PlannedCycle& cycle) const
    {
        QList<qsizetype> entries;
        for (qsizetype k = cycle.first; k <= cycle.last; ++k) {
            if (m_plan.moves.at(k).step != PlannedMove::Step::ToTemporary)
                entries.append(m_plan.moves.at(k).entry);
        }
        return entries;
    }

    // Undoes the moves made, newest first: each goes back to the name it left, which the next
    // newer move freed again. Returns the entries whose items could not go back, each with
    // where it is now; the journal knows them, so undo can still take them back.
    QHash<qsizetype, QString> putBack(const std::vector<std::pair<qsizetype, QString>>& done)
    {
        QHash<qsizetype, QString> left;
        for (auto made = done.crbegin(); made != done.crend(); ++made) {
            const PlannedMove& move = m_plan.moves.at(made->first);
            const RenameResult result =
                m_operations.putBack ? m_operations.putBack(made->first, made->second, move.from)
                                     : m_operations.rename(made->second, move.from);
            if (result.outcome == RenameResult::Outcome::Done)
                continue;
            // The newest move of an entry says where its item is.
            for (auto stuck = made; stuck != done.crend(); ++stuck) {
                if (left.contains(m_plan.moves.at(stuck->first).entry))
                    continue;
                left.insert(m_plan.moves.at(stuck->first).entry,
                            u"入れ替えを元に戻せませんでした。いまの名前: %1"_s.arg(
                                batch::displayText(stuck->second, m_separator)));
            }
            break;
        }
        return left;
    }

    const RunPlan& m_plan;
    const QStringList& m_sources;
    const RenameOperations& m_operations;
    QChar m_separator;
    RunControl* m_control;
    DiskRulesCache m_rules;
    RenameSummary m_summary;
};

} // namespace

RenameSummary RunRename(const RunPlan& plan, const QStringList& sources,
                        const RenameOperations& operations, QChar separator, RunControl* control)
{
    return PlanRun(plan, sources, operations, separator, control).run();
}

} // namespace quillet::rename
