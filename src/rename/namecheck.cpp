#include "rename/namecheck.h"

#include "batch/nativepath.h"

namespace quillet::rename {
namespace {

bool hasInvalidCharacter(QStringView name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (c == 0)
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
    return false;
}

} // namespace

NameProblem checkFileName(QStringView fileName)
{
    if (fileName.isEmpty())
        return NameProblem::Empty;
    if (fileName == u"." || fileName == u".." || hasInvalidCharacter(fileName))
        return NameProblem::InvalidCharacter;
    if (batch::nativeBytesFromPath(fileName).size() > kMaxFileNameBytes)
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

} // namespace quillet::rename
