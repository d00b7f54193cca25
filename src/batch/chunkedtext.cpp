#include "batch/chunkedtext.h"

#include "batch/linetext.h"

#include <algorithm>

namespace quillet::batch {
namespace {

// The offset just past the CR LF that ends line `line` of `text`, counted from `from`, the
// offset of line 0; the text's size when the text has no more line breaks.
qsizetype startOfLine(QStringView text, qsizetype line, qsizetype from = 0)
{
    for (; line > 0; --line) {
        const qsizetype end = text.indexOf(kLineBreak, from);
        if (end < 0)
            return text.size();
        from = end + kLineBreak.size();
    }
    return from;
}

// The text read as a run of views: the pieces with a CR LF between each two.
class Reader {
public:
    explicit Reader(const ChunkedText& text)
    {
        text.forEachPiece([this](QStringView piece) {
            if (!m_views.isEmpty())
                m_views.append(kLineBreak);
            if (!piece.isEmpty())
                m_views.append(piece);
        });
        m_view = m_views.value(0);
    }

    [[nodiscard]] bool atEnd() const { return m_view.isEmpty(); }
    [[nodiscard]] QStringView view() const { return m_view; }
    void advance(qsizetype n)
    {
        m_view = m_view.sliced(n);
        if (m_view.isEmpty())
            m_view = m_views.value(++m_index);
    }

private:
    // Views of the pieces and the separators between them, none empty: a few thousand for a
    // million lines, against a whole copy of the text.
    QList<QStringView> m_views;
    qsizetype m_index = 0;
    QStringView m_view;
};

} // namespace

ChunkedText::ChunkedText()
{
    m_groups.append(Group{{Piece{}}, 1});
}

ChunkedText::ChunkedText(const QString& text)
    : m_size(text.size())
{
    QList<Piece> pieces;
    split(pieces, text);
    group(m_groups, pieces);
    m_lineCount = 0;
    for (const Group& group : std::as_const(m_groups))
        m_lineCount += group.lines;
}

void ChunkedText::group(QList<Group>& out, const QList<Piece>& pieces)
{
    for (qsizetype i = 0; i < pieces.size(); i += kGroupPieces) {
        Group group{pieces.mid(i, kGroupPieces), 0};
        for (const Piece& piece : std::as_const(group.pieces))
            group.lines += piece.lines;
        out.append(std::move(group));
    }
}

qsizetype ChunkedText::pieceCount() const
{
    qsizetype count = 0;
    for (const Group& group : m_groups)
        count += group.pieces.size();
    return count;
}

void ChunkedText::split(QList<Piece>& out, const QString& text)
{
    qsizetype start = 0;
    qsizetype lines = 1;
    qsizetype from = 0;
    while (true) {
        const qsizetype end = text.indexOf(kLineBreak, from);
        if (end < 0)
            break;
        if (lines == kPieceLines) {
            out.append(Piece{text.sliced(start, end - start), lines});
            start = end + kLineBreak.size();
            lines = 1;
        } else {
            ++lines;
        }
        from = end + kLineBreak.size();
    }
    // A text that is one piece is shared, not copied.
    out.append(Piece{start == 0 ? text : text.sliced(start), lines});
}

QString ChunkedText::toString() const
{
    if (m_groups.size() == 1 && m_groups.front().pieces.size() == 1)
        return m_groups.front().pieces.front().text;
    QString text;
    text.reserve(m_size);
    bool first = true;
    forEachPiece([&](QStringView piece) {
        if (!first)
            text.append(kLineBreak);
        first = false;
        text.append(piece);
    });
    return text;
}

void ChunkedText::replaceLines(qsizetype first, qsizetype count, const QString& replacement)
{
    Q_ASSERT(first >= 0 && count >= 1 && first + count <= m_lineCount);
    // The groups holding the first and the last replaced line; only their pieces are copied.
    qsizetype ga = 0;
    qsizetype gaLine = first;
    while (gaLine >= m_groups[ga].lines)
        gaLine -= m_groups[ga++].lines;
    qsizetype gb = ga;
    qsizetype gbLine = gaLine + count - 1;
    while (gbLine >= m_groups[gb].lines)
        gbLine -= m_groups[gb++].lines;
    QList<Piece> run = m_groups[ga].pieces;
    for (qsizetype g = ga + 1; g <= gb; ++g)
        run.append(m_groups[g].pieces);

    // Within the run: the pieces holding the first and the last replaced line, and those
    // lines' numbers within.
    const qsizetype last = gaLine + count - 1;
    qsizetype a = 0;
    qsizetype aLine = gaLine;
    while (aLine >= run[a].lines)
        aLine -= run[a++].lines;
    qsizetype b = a;
    qsizetype bLine = last - (gaLine - aLine);
    while (bLine >= run[b].lines)
        bLine -= run[b++].lines;

    const QStringView head = run[a].text;
    const QStringView tail = run[b].text;
    const qsizetype cut = startOfLine(head, aLine);
    const qsizetype lastStart =
        b == a ? startOfLine(head, bLine - aLine, cut) : startOfLine(tail, bLine);
    qsizetype rest = tail.indexOf(kLineBreak, lastStart);
    if (rest < 0)
        rest = tail.size();

    QString joined;
    joined.reserve(cut + replacement.size() + tail.size() - rest);
    joined.append(head.first(cut)).append(replacement).append(tail.sliced(rest));

    qsizetype removedSize = 0;
    qsizetype removedLines = 0;
    for (qsizetype i = a; i <= b; ++i) {
        removedSize += run[i].text.size() + (i > a ? kLineBreak.size() : 0);
        removedLines += run[i].lines;
    }

    QList<Piece> pieces;
    split(pieces, joined);
    qsizetype addedLines = 0;
    for (const Piece& piece : std::as_const(pieces))
        addedLines += piece.lines;
    // The pieces of `joined` and the line breaks between them are exactly `joined`.
    m_size += joined.size() - removedSize;
    m_lineCount += addedLines - removedLines;
    run.remove(a, b - a + 1);
    run.insert(a, pieces.size(), Piece{});
    for (qsizetype i = 0; i < pieces.size(); ++i)
        run[a + i] = std::move(pieces[i]);

    QList<Group> groups;
    group(groups, run);
    m_groups.remove(ga + 1, gb - ga);
    m_groups[ga] = std::move(groups.front());
    m_groups.insert(ga + 1, groups.size() - 1, Group{});
    for (qsizetype i = 1; i < groups.size(); ++i)
        m_groups[ga + i] = std::move(groups[i]);
}

void ChunkedText::dropLastGroups(qsizetype count)
{
    if (count >= m_groups.size()) {
        *this = ChunkedText();
        return;
    }
    for (; count > 0; --count) {
        // A line break stands before every piece of a group that is not the first one.
        for (const Piece& piece : std::as_const(m_groups.back().pieces))
            m_size -= kLineBreak.size() + piece.text.size();
        m_lineCount -= m_groups.back().lines;
        m_groups.removeLast();
    }
}

void ChunkedText::dropSharedGroups()
{
    if (!m_groups.isDetached()) {
        *this = ChunkedText();
        return;
    }
    m_groups.removeIf([](const Group& group) { return !group.pieces.isDetached(); });
    if (m_groups.isEmpty()) {
        *this = ChunkedText();
        return;
    }
    m_size = -kLineBreak.size();
    m_lineCount = 0;
    for (const Group& group : std::as_const(m_groups)) {
        for (const Piece& piece : group.pieces)
            m_size += kLineBreak.size() + piece.text.size();
        m_lineCount += group.lines;
    }
}

void ChunkedText::Builder::addLine(QStringView line)
{
    if (m_pieceLines == kPieceLines)
        endPiece();
    if (m_pieceLines > 0)
        m_piece.append(kLineBreak);
    m_piece.append(line);
    ++m_pieceLines;
    ++m_lineCount;
}

void ChunkedText::Builder::endPiece()
{
    // A piece lives as long as the text; the room it grew into would be wasted all that time.
    m_piece.squeeze();
    m_size += m_piece.size() + (m_pieces.isEmpty() ? 0 : kLineBreak.size());
    m_pieces.append(Piece{std::move(m_piece), m_pieceLines});
    m_piece = QString();
    m_pieceLines = 0;
}

ChunkedText ChunkedText::Builder::take()
{
    ChunkedText text;
    if (m_lineCount == 0)
        return text;
    endPiece();
    text.m_groups.clear();
    group(text.m_groups, m_pieces);
    text.m_size = m_size;
    text.m_lineCount = m_lineCount;
    *this = Builder();
    return text;
}

bool ChunkedText::sharesAllWith(const ChunkedText& other) const
{
    return m_groups.isSharedWith(other.m_groups);
}

bool operator==(const ChunkedText& a, const ChunkedText& b)
{
    if (a.size() != b.size() || a.lineCount() != b.lineCount())
        return false;
    if (a.sharesAllWith(b))
        return true;
    Reader left(a);
    Reader right(b);
    while (!left.atEnd() && !right.atEnd()) {
        const qsizetype n = std::min(left.view().size(), right.view().size());
        if (left.view().first(n) != right.view().first(n))
            return false;
        left.advance(n);
        right.advance(n);
    }
    return left.atEnd() && right.atEnd();
}

bool operator==(const ChunkedText& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    Reader reader(a);
    QStringView rest = b;
    while (!reader.atEnd()) {
        const QStringView view = reader.view();
        if (!rest.startsWith(view))
            return false;
        rest = rest.sliced(view.size());
        reader.advance(view.size());
    }
    return rest.isEmpty();
}

} // namespace quillet::batch
