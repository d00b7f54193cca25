#include "transform/bracketoperations.h"

namespace quillet::transform {
namespace {

struct BracketKind {
    QChar open;
    QChar close;
};

constexpr BracketKind kKinds[] = {{u'[', u']'}, {u'(', u')'}, {u'（', u'）'}};

bool isTrimmedSpace(QChar c)
{
    return c == u' ' || c == u'　';
}

QString withoutRange(const QString& line, qsizetype from, qsizetype length)
{
    return QString(line).remove(from, length);
}

} // namespace

QString RemoveLeadingBracketGroup(const QString& line)
{
    if (line.isEmpty())
        return {};
    for (const BracketKind& kind : kKinds) {
        if (line.front() != kind.open)
            continue;
        const qsizetype close = line.indexOf(kind.close);
        if (close < 0)
            return {};
        const qsizetype open = line.lastIndexOf(kind.open, close);
        return withoutRange(line, open, close - open + 1);
    }
    return {};
}

QString RemoveTrailingBracketGroup(const QString& line)
{
    if (line.isEmpty())
        return {};
    for (const BracketKind& kind : kKinds) {
        if (line.back() != kind.close)
            continue;
        const qsizetype open = line.lastIndexOf(kind.open);
        return open < 0 ? QString() : line.left(open);
    }
    return {};
}

QString RemoveFirstValueA(const QString& line, const QString& valueA)
{
    if (valueA.isEmpty())
        return {};
    const qsizetype at = line.indexOf(valueA);
    return at < 0 ? QString() : withoutRange(line, at, valueA.size());
}

QString RemoveLastValueA(const QString& line, const QString& valueA)
{
    if (valueA.isEmpty())
        return {};
    const qsizetype at = line.lastIndexOf(valueA);
    return at < 0 ? QString() : withoutRange(line, at, valueA.size());
}

QString TrimSpaces(const QString& line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && isTrimmedSpace(line[begin]))
        ++begin;
    while (end > begin && isTrimmedSpace(line[end - 1]))
        --end;
    return line.mid(begin, end - begin);
}

} // namespace quillet::transform
