#include "transform/textpositions.h"

namespace quillet::transform {

qsizetype findFrom(QStringView text, QStringView what, qsizetype start)
{
    if (start < 1 || start > text.size())
        return 0;
    if (what.isEmpty())
        return start;
    return text.indexOf(what, start - 1) + 1;
}

std::optional<qsizetype> findLastUpTo(QStringView text, QStringView what, qsizetype start)
{
    if (start < 1)
        return std::nullopt;
    if (start > text.size())
        return 0;
    if (what.isEmpty())
        return start;
    const qsizetype latestBegin = start - what.size();
    if (latestBegin < 0)
        return 0;
    return text.lastIndexOf(what, latestBegin) + 1;
}

std::optional<QString> midText(QStringView text, qsizetype start, qsizetype length)
{
    if (start < 1 || length < 0)
        return std::nullopt;
    if (start > text.size())
        return QString();
    return text.sliced(start - 1, qMin(length, text.size() - (start - 1))).toString();
}

std::optional<QString> leftText(QStringView text, qsizetype n)
{
    if (n < 0)
        return std::nullopt;
    return text.first(qMin(n, text.size())).toString();
}

std::optional<QString> restText(QStringView text, qsizetype p)
{
    if (p < 1)
        return std::nullopt;
    if (p > text.size())
        return QString();
    return text.sliced(p - 1).toString();
}

} // namespace quillet::transform
