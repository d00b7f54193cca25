#include "rename/renamerun.h"

#include "batch/nativepath.h"
#include "datafile/systemerror.h"
#include "rename/namecheck.h"
#include "rename/targets.h"

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

std::optional<QString> ReplaceChecksumToken(const QString& target, const QString& source,
                                            const RenameOperations& operations)
{
    QString result = target;
    const std::pair<QStringView, ChecksumKind> tokens[] = {{kCrc16Token, ChecksumKind::Crc16},
                                                           {kCrc32Token, ChecksumKind::Crc32}};
    for (const auto& [token, kind] : tokens) {
        if (!result.contains(token))
            continue;
        const std::optional<QString> checksum = operations.fileChecksum(source, kind);
        if (!checksum)
            return std::nullopt;
        result.replace(token.toString(), *checksum);
    }
    return result;
}

namespace {

// One entry of the run; the reason is empty when it ended renamed.
class EntryRename {
public:
    EntryRename(const QString& source, const QString& listedTarget,
                const RenameOperations& operations, QChar separator)
        : m_source(source)
        , m_listedTarget(listedTarget)
        , m_operations(operations)
        , m_separator(separator)
    {
    }

    std::optional<QString> run()
    {
        if (m_listedTarget == m_source) {
            // The name was not changed: nothing to do, as long as the item is still there.
            if (!m_operations.exists(m_source))
                return fail(datafile::systemErrorReason(ENOENT));
            return std::nullopt;
        }
        if (m_operations.refuseEmptyNames
            && m_listedTarget == targetFor(m_source, QString(), m_separator))
            return fail(nameProblemReason(NameProblem::Empty));
        if (const NameProblem problem = checkFileName(
                QStringView(m_listedTarget).sliced(fileNameStart(m_listedTarget, m_separator)));
            problem == NameProblem::InvalidCharacter)
            return fail(nameProblemReason(problem));

        const std::optional<QString> target =
            ReplaceChecksumToken(m_listedTarget, m_source, m_operations);
        if (!target)
            return fail(u"チェックサムを取得できませんでした"_s);
        // The prompt offers the name that exists, checksum filled in; an answer replaces the
        // whole file name in the target's folder.
        const qsizetype nameStart = fileNameStart(*target, m_separator);
        const QString folder = target->left(nameStart);
        const QString preset = target->mid(nameStart);
        QString attempt = *target;
        QString name = preset;
        for (;;) {
            if (const NameProblem problem = checkFileName(name); problem != NameProblem::None)
                return fail(nameProblemReason(problem));
            const RenameResult result = m_operations.rename(m_source, attempt);
            switch (result.outcome) {
            case RenameResult::Outcome::Done: return std::nullopt;
            case RenameResult::Outcome::Failed: return fail(result.reason);
            case RenameResult::Outcome::TargetExists: break;
            }
            name = m_operations.askName(collisionPrompt(shown(m_listedTarget)),
                                        kCollisionTitle.toString(), preset);
            if (name.isEmpty())
                return u"同じ名前の項目があるため、取り消しました"_s;
            attempt = folder + name;
        }
    }

private:
    QString shown(const QString& path) const { return batch::displayText(path, m_separator); }

    QString fail(const QString& reason) const
    {
        m_operations.showMessage(failureMessage(shown(m_source), reason));
        return reason;
    }

    const QString& m_source;
    const QString& m_listedTarget;
    const RenameOperations& m_operations;
    QChar m_separator;
};

} // namespace

RenameSummary RunRename(const QStringList& sources, const QStringList& targets,
                        const RenameOperations& operations, QChar separator, RunControl* control)
{
    RenameSummary summary;
    const qsizetype count = sources.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (control) {
            control->setDone(i);
            if (control->stopRequested()) {
                summary.stopped = true;
                summary.untried = count - i;
                summary.notRenamed += summary.untried;
                break;
            }
        }
        const QString target = targets.value(i);
        if (const std::optional<QString> reason =
                EntryRename(sources.at(i), target, operations, separator).run()) {
            ++summary.notRenamed;
            summary.skipped.append({batch::displayText(sources.at(i), separator), *reason});
        } else {
            ++summary.renamed;
        }
    }
    if (control && !summary.stopped)
        control->setDone(count);
    return summary;
}

} // namespace quillet::rename
