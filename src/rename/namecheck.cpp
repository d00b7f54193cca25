#include "rename/namecheck.h"

#include "batch/nativepath.h"
#include "rename/targets.h"

namespace quillet::rename {
namespace {

constexpr char16_t kIdeographicSpace = u'\u3000';

bool isWindowsReserved(char16_t c)
{
    switch (c) {
    case u'\\':
    case u':':
    case u'*':
    case u'?':
    case u'"':
    case u'<':
    case u'>':
    case u'|': return true;
    default: return false;
    }
}

bool hasInvalidCharacter(QStringView name, const DiskRules& rules)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        // A tab or a line break in a name is never meant, and shells and players choke on it.
        if (c < 0x20 || c == 0x7F)
            return true;
        if (rules.windowsNames && isWindowsReserved(c))
            return true;
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 >= name.size() || !QChar::isLowSurrogate(name[i + 1].unicode()))
                return true;
            ++i;
            continue;
        }
        // A lone low surrogate is valid only as an escaped byte.
        if (QChar::isLowSurrogate(c) && (c < 0xDC80 || c > 0xDCFF))
            return true;
    }
    return rules.noTrailingDotOrSpace && (name.endsWith(u'.') || name.endsWith(u' '));
}

bool onlySpaces(QStringView name)
{
    for (const QChar c : name) {
        if (c != u' ' && c != kIdeographicSpace)
            return false;
    }
    return true;
}

} // namespace

NameProblem checkFileName(QStringView fileName, const DiskRules& rules)
{
    if (onlySpaces(fileName))
        return NameProblem::Empty;
    if (fileName == u"." || fileName == u".." || hasInvalidCharacter(fileName, rules))
        return NameProblem::InvalidCharacter;
    const qsizetype length =
        rules.windowsNames ? fileName.size() : batch::nativeBytesFromPath(fileName).size();
    if (length > rules.maxNameLength)
        return NameProblem::TooLong;
    return NameProblem::None;
}

QString nameProblemReason(NameProblem problem)
{
    switch (problem) {
    case NameProblem::None: return {};
    case NameProblem::Empty: return QStringLiteral("新しい名前が空です");
    case NameProblem::InvalidCharacter: return QStringLiteral("名前に使えない文字があります");
    case NameProblem::TooLong: return QStringLiteral("名前が長すぎます");
    }
    return {};
}

QStringView nameFromLine(const QString& source, const QString& target, QChar separator)
{
    QStringView name = QStringView(target).sliced(fileNameStart(target, separator));
    // What targetFor adds after the line: "." and the extension, or nothing.
    QStringView sourceName = QStringView(source).sliced(source.lastIndexOf(separator) + 1);
    QString shown;
    if (batch::hasEscapedBytes(sourceName)) {
        shown = batch::displayText(sourceName.toString(), separator);
        sourceName = shown;
    }
    const qsizetype dot = sourceName.lastIndexOf(u'.');
    if (dot < 0 && separator != u'\\')
        return name;
    const QStringView extension = dot < 0 ? QStringView() : sourceName.sliced(dot + 1);
    if (name.endsWith(extension) && name.chopped(extension.size()).endsWith(u'.'))
        name.chop(extension.size() + 1);
    return name;
}

NameProblem checkTarget(const QString& source, const QString& target, QChar separator,
                        DiskRulesCache& rules)
{
    if (onlySpaces(nameFromLine(source, target, separator)))
        return NameProblem::Empty;
    QString renamed = target;
    if (hasChecksumToken(renamed)) {
        renamed.replace(kCrc16Token.toString(), QStringLiteral("0000"));
        renamed.replace(kCrc32Token.toString(), QStringLiteral("00000000"));
    }
    return checkFileName(QStringView(renamed).sliced(fileNameStart(renamed, separator)),
                         rules.ofFolderOf(renamed, separator));
}

bool hasSurroundingSpace(QStringView name)
{
    if (name.isEmpty())
        return false;
    const auto space = [](QChar c) { return c == u' ' || c == kIdeographicSpace; };
    return space(name.front()) || space(name.back());
}

} // namespace quillet::rename
