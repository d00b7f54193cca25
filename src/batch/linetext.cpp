#include "batch/linetext.h"

namespace quillet::batch {

QString LineAt(const QString& text, qsizetype n)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype pos = text.indexOf(kLineBreak, start);
        if (pos < 0)
            return {};
        start = pos + kLineBreak.size();
    }
    const qsizetype end = text.indexOf(kLineBreak, start);
    return end < 0 ? text.mid(start) : text.mid(start, end - start);
}

QStringList linesForEntries(const QString& text, qsizetype count)
{
    QStringList lines;
    if (count <= 0)
        return lines;
    lines.reserve(count);
    qsizetype start = 0;
    while (lines.size() < count && start >= 0) {
        const qsizetype end = text.indexOf(kLineBreak, start);
        if (end < 0) {
            lines.append(text.mid(start));
            start = -1;
        } else {
            lines.append(text.mid(start, end - start));
            start = end + kLineBreak.size();
        }
    }
    while (lines.size() < count)
        lines.append(QString());
    return lines;
}

qsizetype lineCount(const QString& text)
{
    return text.count(kLineBreak) + 1;
}

QString joinLines(const QStringList& lines)
{
    return lines.join(kLineBreak);
}

QString withoutTrailingLineBreaks(QString text)
{
    qsizetype end = text.size();
    while (QStringView(text).first(end).endsWith(kLineBreak))
        end -= kLineBreak.size();
    text.truncate(end);
    return text;
}

} // namespace quillet::batch
