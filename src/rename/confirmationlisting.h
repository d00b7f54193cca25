#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace quillet::rename {

// A place in the listing's text: a line and a column of it, both counted from 0.
struct ListingPosition {
    qsizetype line = 0;
    qsizetype column = 0;

    friend auto operator<=>(const ListingPosition&, const ListingPosition&) = default;
};

// The lines of 確認, read from the entries themselves instead of one text of four lines per
// entry: the source as the user reads it, " ↓↓↓ ", the target, an empty line; after the last
// entry one more empty line. Its text is FormatConfirmationListing with each CR LF one "\n".
// A million entries cost one offset each on top of the paths they share with the batch, so the
// listing can be built away from the window and shown a screen at a time.
class ConfirmationListing {
public:
    ConfirmationListing() = default;
    // Entries from `named` on have no line in the names: their target is not shown, since it
    // would only be the folder and the extension.
    ConfirmationListing(const QStringList& sources, const QStringList& targets, QChar separator,
                        qsizetype named = -1);
    static constexpr QStringView kNoLineText = u"（この項目に当たる名前の行がありません）";

    [[nodiscard]] qsizetype entryCount() const { return m_sources.size(); }
    [[nodiscard]] qsizetype lineCount() const { return 4 * m_sources.size() + 1; }
    [[nodiscard]] QString line(qsizetype line) const;
    [[nodiscard]] qsizetype lineLength(qsizetype line) const { return this->line(line).size(); }
    // The lines with the most characters, at most kLongestLines of them: where the widest line
    // is, without measuring every line in a font.
    static constexpr size_t kLongestLines = 64;
    [[nodiscard]] const std::vector<qsizetype>& longestLines() const { return m_longest; }

    // The whole text and the part of it between two places, lines joined by "\n".
    [[nodiscard]] qsizetype textLength() const { return m_entryStarts.back(); }
    [[nodiscard]] QString text() const { return text({}, end()); }
    [[nodiscard]] QString text(ListingPosition from, ListingPosition to) const;
    [[nodiscard]] ListingPosition end() const { return {lineCount() - 1, 0}; }

    // Between a place and its offset in the text; a place past its line's end is at the end.
    [[nodiscard]] qsizetype offsetOf(ListingPosition position) const;
    [[nodiscard]] ListingPosition positionAt(qsizetype offset) const;
    [[nodiscard]] ListingPosition clamped(ListingPosition position) const;

private:
    QStringList m_sources; // as shown
    QStringList m_targets;
    std::vector<qsizetype> m_entryStarts{0}; // offset of each entry's first line, then the end
    std::vector<qsizetype> m_longest;
};

} // namespace quillet::rename
