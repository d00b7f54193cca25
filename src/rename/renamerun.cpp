#include "rename/renamerun.h"

#include "rename/targets.h"

namespace quillet::rename {

using namespace Qt::Literals::StringLiterals;

QString failureMessage(const QString& source)
{
    return source + u"\r\n\r\nのリネームに失敗しました。"_s;
}

QString collisionPrompt(const QString& target)
{
    return u"ファイル「 "_s + target
           + u" 」は既に存在します。ファイル名を変更してください。\r\n\r\n"
             u"このファイル名のリネームをしない場合はキャンセルを押してください。"_s;
}

QString completionMessage(const RenameSummary& summary)
{
    if (summary.notRenamed == 0)
        return u"リネームしました。"_s;
    return u"%1件中%2件をリネームしました。%3件はリネームしませんでした。"_s
        .arg(summary.renamed + summary.notRenamed)
        .arg(summary.renamed)
        .arg(summary.notRenamed);
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

// True when the entry ended renamed.
bool renameEntry(const QString& source, const QString& listedTarget,
                 const RenameOperations& operations, QChar separator)
{
    if (listedTarget == source)
        return true; // the name was not changed: nothing to do
    const std::optional<QString> target = ReplaceChecksumToken(listedTarget, source, operations);
    if (!target) {
        operations.showMessage(failureMessage(source));
        return false;
    }
    // The prompt shows the target as listed; its file name starts after the last separator
    // that is not part of a checksum token.
    const qsizetype nameStart = fileNameStart(listedTarget, separator);
    const QString folder = listedTarget.left(nameStart);
    const QString preset = listedTarget.mid(nameStart);
    QString attempt = *target;
    for (;;) {
        const RenameResult result = operations.rename(source, attempt);
        switch (result.outcome) {
        case RenameResult::Outcome::Done: return true;
        case RenameResult::Outcome::Failed:
            operations.showMessage(failureMessage(source));
            return false;
        case RenameResult::Outcome::TargetExists: {
            const QString answer = operations.askName(collisionPrompt(listedTarget),
                                                      kCollisionTitle.toString(), preset);
            if (answer.isEmpty())
                return false;
            attempt = folder + answer;
            break;
        }
        }
    }
}

} // namespace

RenameSummary RunRename(const QStringList& sources, const QStringList& targets,
                        const RenameOperations& operations, QChar separator)
{
    RenameSummary summary;
    const qsizetype count = sources.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (renameEntry(sources.at(i), targets.value(i), operations, separator))
            ++summary.renamed;
        else
            ++summary.notRenamed;
    }
    return summary;
}

} // namespace quillet::rename
