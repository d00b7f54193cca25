#include "rename/confirmationlisting.h"

#include "batch/nativepath.h"

#include <algorithm>
#include <queue>

namespace quillet::rename {

namespace {

constexpr QStringView kArrowLine = u" ↓↓↓ ";

} // namespace

ConfirmationListing::ConfirmationListing(const QStringList& sources, const QStringList& targets,
                                         QChar separator, qsizetype named)
{
    if (named < 0)
        named = sources.size();
    m_sources.reserve(sources.size());
    m_targets.reserve(sources.size());
    m_entryStarts.reserve(size_t(sources.size()) + 1);
    // The longest lines so far, the shortest of them on top.
    using Sized = std::pair<qsizetype, qsizetype>; // characters, line
    std::priority_queue<Sized, std::vector<Sized>, std::greater<>> longest;
    const auto keep = [&longest](qsizetype characters, qsizetype line) {
        if (longest.size() < kLongestLines)
            longest.emplace(characters, line);
        else if (characters > longest.top().first) {
            longest.pop();
            longest.emplace(characters, line);
        }
    };
    keep(kArrowLine.size(), 1);
    for (qsizetype i = 0; i < sources.size(); ++i) {
        // A path without escaped bytes comes back shared: the listing costs no second copy.
        m_sources.append(batch::displayText(sources.at(i), separator));
        m_targets.append(i < named ? batch::displayText(targets.value(i), separator)
                                   : kNoLineText.toString());
        // Four lines, each with its line break.
        m_entryStarts.push_back(m_entryStarts.back() + m_sources.last().size() + kArrowLine.size()
                                + m_targets.last().size() + 4);
        keep(m_sources.last().size(), 4 * i);
        keep(m_targets.last().size(), 4 * i + 2);
    }
    for (; !longest.empty(); longest.pop()) {
        if (longest.top().second < lineCount())
            m_longest.push_back(longest.top().second);
    }
}

QString ConfirmationListing::line(qsizetype line) const
{
    const qsizetype entry = line / 4;
    if (line < 0 || entry >= m_sources.size())
        return {};
    switch (line % 4) {
    case 0: return m_sources.at(entry);
    case 1: return kArrowLine.toString();
    case 2: return m_targets.at(entry);
    default: return {};
    }
}

ListingPosition ConfirmationListing::clamped(ListingPosition position) const
{
    if (position.line < 0)
        return {};
    if (position.line >= lineCount())
        return end();
    position.column = std::clamp<qsizetype>(position.column, 0, lineLength(position.line));
    return position;
}

qsizetype ConfirmationListing::offsetOf(ListingPosition position) const
{
    position = clamped(position);
    const qsizetype entry = position.line / 4;
    qsizetype offset = m_entryStarts[size_t(entry)];
    for (qsizetype line = 4 * entry; line < position.line; ++line)
        offset += lineLength(line) + 1;
    return offset + position.column;
}

ListingPosition ConfirmationListing::positionAt(qsizetype offset) const
{
    if (offset <= 0)
        return {};
    if (offset >= textLength())
        return end();
    // The last entry that starts at or before the offset.
    const auto after = std::upper_bound(m_entryStarts.cbegin(), m_entryStarts.cend(), offset);
    const qsizetype entry = (after - m_entryStarts.cbegin()) - 1;
    qsizetype rest = offset - m_entryStarts[size_t(entry)];
    qsizetype line = 4 * entry;
    while (rest > lineLength(line)) {
        rest -= lineLength(line) + 1;
        ++line;
    }
    return {line, rest};
}

QString ConfirmationListing::text(ListingPosition from, ListingPosition to) const
{
    from = clamped(from);
    to = clamped(to);
    if (to <= from)
        return {};
    QString text;
    text.reserve(offsetOf(to) - offsetOf(from));
    for (qsizetype line = from.line; line <= to.line; ++line) {
        const QString whole = this->line(line);
        const qsizetype start = line == from.line ? from.column : 0;
        const qsizetype stop = line == to.line ? to.column : whole.size();
        text += QStringView(whole).sliced(start, stop - start);
        if (line != to.line)
            text += u'\n';
    }
    return text;
}

} // namespace quillet::rename
