#include "rename/targets.h"

#include "batch/linetext.h"
#include "batch/nativepath.h"
#include "batch/pathparts.h"

namespace quillet::rename {

using namespace Qt::Literals::StringLiterals;

QString targetFor(const QString& source, const QString& line, QChar separator)
{
    // The new name is written as the user sees it: a file name in another encoding becomes
    // UTF-8, while the folder keeps its exact bytes.
    const QString fileName = batch::displayText(batch::FileNamePart(source, separator), separator);
    QString target = batch::FolderPart(source, separator) + separator + line;
    // Windows drops a trailing dot from a name; POSIX keeps it, so a name without a dot gets
    // none there.
    const bool windowsNames = separator == u'\\';
    if (windowsNames || fileName.contains(u'.'))
        target += u'.' + batch::ExtensionPart(fileName);
    return target;
}

QStringList BuildTargetList(const QStringList& sources, const QString& names, QChar separator)
{
    const QStringList lines = batch::linesForEntries(names, sources.size());
    QStringList targets;
    targets.reserve(sources.size());
    for (qsizetype i = 0; i < sources.size(); ++i)
        targets.append(targetFor(sources.at(i), lines.at(i), separator));
    return targets;
}

QString FormatConfirmationListing(const QStringList& sources, const QStringList& targets,
                                  QChar separator)
{
    QString listing;
    for (qsizetype i = 0; i < sources.size(); ++i) {
        listing += batch::displayText(sources.at(i), separator);
        listing += u"\r\n ↓↓↓ \r\n"_s;
        listing += batch::displayText(targets.value(i), separator);
        listing += u"\r\n\r\n"_s;
    }
    return listing;
}

qsizetype fileNameStart(const QString& target, QChar separator)
{
    // Mark the characters that belong to a token, then look for the last free separator.
    QList<bool> inToken(target.size(), false);
    for (const QStringView token : {kCrc16Token, kCrc32Token}) {
        for (qsizetype at = target.indexOf(token); at >= 0;
             at = target.indexOf(token, at + token.size())) {
            for (qsizetype k = at; k < at + token.size(); ++k)
                inToken[k] = true;
        }
    }
    for (qsizetype i = target.size() - 1; i >= 0; --i) {
        if (target.at(i) == separator && !inToken.at(i))
            return i + 1;
    }
    return 0;
}

} // namespace quillet::rename
