#pragma once

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace quillet::batch {

// The names text separates lines with CR LF; the editor widget keeps each line as a paragraph.
// The widget also ends a paragraph at a lone CR or LF, at U+2029 and at U+FDD0/U+FDD1 (its
// frame marks), and breaks the shown line at U+2028. A name may hold any of them (a POSIX file
// name may), so each is shown as a visible symbol of its own:
//
//   CR -> U+240D   LF -> U+240A   U+2028 -> U+2424   U+2029 -> U+204B
//   U+FDD0 -> U+2402   U+FDD1 -> U+2403
//
// A name that really holds one of these symbols shows it behind the escape symbol U+241B, and
// so does a name holding U+241B itself where the next character would otherwise be read as
// escaped. Every name therefore comes back exactly, and every name line is one paragraph.
//
// Reading the editor back is lenient: the escape symbol before any other character is an
// ordinary character, and a CR symbol followed by an LF symbol reads as a CR and the LF symbol
// itself, so that no paragraph ever becomes two lines.

inline constexpr char16_t kEscapeSymbol = u'\u241B';

// One name line (no CR LF in it) -> one paragraph of the editor.
[[nodiscard]] QString toEditorLine(QStringView line);

// One paragraph of the editor -> one name line.
[[nodiscard]] QString fromEditorLine(QStringView paragraph);

// The number of characters of the name line that lie wholly before the editor's column
// `editorColumn` of the paragraph: an escaped symbol counts once both halves are passed.
[[nodiscard]] qsizetype nameColumn(QStringView paragraph, qsizetype editorColumn);

// Names text -> text for the editor, paragraphs separated by U+2029.
[[nodiscard]] QString toEditorText(const QString& names);

// The editor's raw text (paragraphs separated by U+2029) -> names text.
[[nodiscard]] QString fromEditorText(const QString& raw);

// The names text kept in step with the editor one change at a time: a keystroke converts only
// the paragraphs it touched and finds them in the names text without scanning what lies before.
class EditorNames {
public:
    EditorNames() = default;

    // Takes a whole new names text; returns the editor text for it.
    [[nodiscard]] QString reset(const QString& names);

    // The editor replaced its paragraphs first .. first + removedCount - 1 by `paragraphs`.
    // editorStart is the editor offset at which paragraph `first` begins, the same before and
    // after the change.
    void replaceLines(qsizetype first, qsizetype removedCount, qsizetype editorStart,
                      const QStringList& paragraphs);

    [[nodiscard]] const QString& names() const { return m_names; }
    [[nodiscard]] qsizetype lineCount() const { return m_lineCount; }

private:
    [[nodiscard]] qsizetype namesOffset(qsizetype line, qsizetype editorStart) const;
    // A buffer of at least `size` characters that no one else holds any more.
    [[nodiscard]] QString takeSpare(qsizetype size);
    void keep(const QString& text);

    QString m_names;
    // The texts handed out lately. The history holds each for a while; once it lets one go, the
    // next keystroke writes into that buffer instead of touching fresh memory, which costs far
    // more than the copy itself for a large text.
    std::vector<QString> m_recent;
    qsizetype m_lineCount = 1;
    // The lines whose paragraph is longer than the line (escaped symbols), in line order, each
    // with the difference. Without escapes, line k begins at the paragraph's offset plus k.
    std::vector<std::pair<qsizetype, qsizetype>> m_longer;
};

} // namespace quillet::batch
