#pragma once

#include "batch/linetext.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace quillet::batch {

// A names text (lines separated by CR LF) held in pieces of whole lines, the pieces in groups.
// Copies share every group and every piece; a change copies only the list of groups, the group
// it touches and the pieces it touches. So the editor's mirror of the text and the ten steps of
// the history, each a copy, together cost one text plus what changed, and a keystroke in a
// million lines takes about ten kilobytes of new memory, not the whole text nor a list of
// every piece: the first keys, which the history keeps, cost what the later ones cost.
//
// The pieces are joined by CR LF. Each piece holds one or more whole lines, so line n of the
// text is a line of exactly one piece, read the same way as in the whole text.
class ChunkedText {
    // A run of whole lines and how many there are.
    struct Piece {
        QString text;
        qsizetype lines = 1;
    };
    // A run of pieces and the lines they hold.
    struct Group {
        QList<Piece> pieces;
        qsizetype lines = 0;
    };

public:
    // About this many lines per piece and pieces per group: small enough that a copied piece
    // and a copied group cost little, large enough that the list of groups is short.
    static constexpr qsizetype kPieceLines = 128;
    static constexpr qsizetype kGroupPieces = 64;

    ChunkedText();
    // Implicit, so that a whole text can stand wherever a chunked one is taken.
    ChunkedText(const QString& text);

    [[nodiscard]] QString toString() const;
    [[nodiscard]] qsizetype size() const { return m_size; }
    [[nodiscard]] bool isEmpty() const { return m_size == 0; }
    [[nodiscard]] qsizetype lineCount() const { return m_lineCount; }
    [[nodiscard]] qsizetype pieceCount() const;
    [[nodiscard]] qsizetype groupCount() const { return m_groups.size(); }

    // Every piece in order, as a view; joined by CR LF they are the text.
    template <typename Visit> void forEachPiece(Visit&& visit) const
    {
        for (const Group& group : m_groups) {
            for (const Piece& piece : group.pieces)
                visit(QStringView(piece.text));
        }
    }

    // Replaces lines first .. first + count - 1 by the lines of `replacement` (one line more
    // than it has CR LF pairs).
    void replaceLines(qsizetype first, qsizetype count, const QString& replacement);

    // Takes away the last `count` groups of pieces, all of them when it has no more: the text
    // keeps its first lines. Frees a large text in steps.
    void dropLastGroups(qsizetype count);
    // Takes away every group another text shares: releasing one costs a reference count, not
    // the freeing of its pieces. What is left, the groups only this text holds, is the
    // concatenation of their lines. For a text about to be freed in steps.
    void dropSharedGroups();

    // True when both hold the same groups, without looking at a character.
    [[nodiscard]] bool sharesAllWith(const ChunkedText& other) const;

    // Lines 0 .. count - 1 handed to `visit` one at a time as views into the pieces, the
    // empty line for lines the text does not have. Nothing is copied.
    template <typename Visit> void forEachLine(qsizetype count, Visit&& visit) const
    {
        qsizetype done = 0;
        forEachPiece([&](QStringView piece) {
            if (done < count)
                done += visitLines(piece, count - done, visit);
        });
        for (; done < count; ++done)
            visit(QStringView());
    }

    // Builds a text line by line, a piece at a time, so that a text made from another (an
    // operation run on every line) never exists as one whole string besides its pieces.
    class Builder {
    public:
        void addLine(QStringView line);
        // The lines added so far; the empty text when none was.
        [[nodiscard]] ChunkedText take();

    private:
        void endPiece();

        QList<Piece> m_pieces;
        QString m_piece;
        qsizetype m_pieceLines = 0;
        qsizetype m_size = 0;
        qsizetype m_lineCount = 0;
    };

    friend bool operator==(const ChunkedText& a, const ChunkedText& b);
    friend bool operator==(const ChunkedText& a, const QString& b);

private:
    // Calls `visit` for at most `count` lines of one piece; returns how many it visited.
    template <typename Visit>
    static qsizetype visitLines(QStringView piece, qsizetype count, Visit& visit)
    {
        qsizetype start = 0;
        qsizetype visited = 0;
        while (visited < count) {
            const qsizetype end = piece.indexOf(kLineBreak, start);
            visit(piece.sliced(start, (end < 0 ? piece.size() : end) - start));
            ++visited;
            if (end < 0)
                break;
            start = end + kLineBreak.size();
        }
        return visited;
    }
    // Appends the pieces of `text`, about kPieceLines lines each.
    static void split(QList<Piece>& out, const QString& text);
    // Appends the pieces in groups of kGroupPieces.
    static void group(QList<Group>& out, const QList<Piece>& pieces);

    QList<Group> m_groups;
    qsizetype m_size = 0;
    qsizetype m_lineCount = 1;
};

} // namespace quillet::batch
