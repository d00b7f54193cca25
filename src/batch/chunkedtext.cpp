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
        : m_text(text)
    {
        load();
    }

    [[nodiscard]] bool atEnd() const { return m_view.isEmpty(); }
    [[nodiscard]] QStringView view() const { return m_view; }
    void advance(qsizetype n)
    {
        m_view = m_view.sliced(n);
        if (m_view.isEmpty())
            next();
    }

private:
    void load()
    {
        m_view = m_text.piece(m_index);
        if (m_view.isEmpty())
            next();
    }
    void next()
    {
        // A separator follows every piece but the last; pieces may be empty.
        while (m_view.isEmpty() && m_index + 1 < m_text.pieceCount()) {
            if (!m_inSeparator) {
                m_inSeparator = true;
                m_view = kLineBreak;
                return;
            }
            m_inSeparator = false;
            m_view = m_text.piece(++m_index);
        }
    }

    const ChunkedText& m_text;
    qsizetype m_index = 0;
    bool m_inSeparator = false;
    QStringView m_view;
};

} // namespace

ChunkedText::ChunkedText()
{
    m_pieces.append(Piece{});
}

ChunkedText::ChunkedText(const QString& text)
    : m_size(text.size())
{
    split(m_pieces, text);
    m_lineCount = 0;
    for (const Piece& piece : std::as_const(m_pieces))
        m_lineCount += piece.lines;
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
    if (m_pieces.size() == 1)
        return m_pieces.front().text;
    QString text;
    text.reserve(m_size);
    for (qsizetype i = 0; i < m_pieces.size(); ++i) {
        if (i > 0)
            text.append(kLineBreak);
        text.append(m_pieces[i].text);
    }
    return text;
}

void ChunkedText::replaceLines(qsizetype first, qsizetype count, const QString& replacement)
{
    Q_ASSERT(first >= 0 && count >= 1 && first + count <= m_lineCount);
    const qsizetype last = first + count - 1;
    // The pieces holding the first and the last replaced line, and those lines' numbers within.
    qsizetype a = 0;
    qsizetype aLine = first;
    while (aLine >= m_pieces[a].lines)
        aLine -= m_pieces[a++].lines;
    qsizetype b = a;
    qsizetype bLine = last - (first - aLine);
    while (bLine >= m_pieces[b].lines)
        bLine -= m_pieces[b++].lines;

    const QStringView head = m_pieces[a].text;
    const QStringView tail = m_pieces[b].text;
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
    for (qsizetype i = a; i <= b; ++i)
        removedSize += m_pieces[i].text.size() + (i > a ? kLineBreak.size() : 0);
    qsizetype removedLines = 0;
    for (qsizetype i = a; i <= b; ++i)
        removedLines += m_pieces[i].lines;

    QList<Piece> pieces;
    split(pieces, joined);
    qsizetype addedLines = 0;
    for (const Piece& piece : std::as_const(pieces))
        addedLines += piece.lines;
    // The pieces of `joined` and the line breaks between them are exactly `joined`.
    m_size += joined.size() - removedSize;
    m_lineCount += addedLines - removedLines;
    m_pieces.remove(a + 1, b - a);
    m_pieces[a] = std::move(pieces.front());
    m_pieces.insert(a + 1, pieces.size() - 1, Piece{});
    for (qsizetype i = 1; i < pieces.size(); ++i)
        m_pieces[a + i] = std::move(pieces[i]);
}

QStringList ChunkedText::lines(qsizetype count) const
{
    QStringList out;
    out.reserve(count);
    forEachLine(count, [&out](QStringView line) { out.append(line.toString()); });
    return out;
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
    text.m_pieces = std::move(m_pieces);
    text.m_size = m_size;
    text.m_lineCount = m_lineCount;
    *this = Builder();
    return text;
}

bool ChunkedText::sharesAllWith(const ChunkedText& other) const
{
    return m_pieces.isSharedWith(other.m_pieces);
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
