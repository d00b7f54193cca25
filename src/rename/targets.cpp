#include "rename/targets.h"

#include "batch/linetext.h"
#include "batch/pathparts.h"

namespace quillet::rename {

using namespace Qt::Literals::StringLiterals;

QStringList BuildTargetList(const QStringList& sources, const QString& names, QChar separator)
{
    const QStringList lines = batch::linesForEntries(names, sources.size());
    QStringList targets;
    targets.reserve(sources.size());
    for (qsizetype i = 0; i < sources.size(); ++i) {
        const QString& source = sources.at(i);
        targets.append(batch::FolderPart(source, separator) + separator + lines.at(i) + u'.'
                       + batch::ExtensionPart(source));
    }
    return targets;
}

QString FormatConfirmationListing(const QStringList& sources, const QStringList& targets)
{
    QString listing;
    for (qsizetype i = 0; i < sources.size(); ++i) {
        listing += sources.at(i);
        listing += u"\r\n ↓↓↓ \r\n"_s;
        listing += targets.value(i);
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
