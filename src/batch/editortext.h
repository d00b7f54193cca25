#pragma once

#include "batch/chunkedtext.h"

#include <QString>
#include <QStringList>

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
// the paragraphs it touched and copies only the piece of the names text that holds them.
class EditorNames {
public:
    EditorNames() = default;

    // Takes a whole new names text; returns the editor text for it.
    [[nodiscard]] QString reset(const ChunkedText& names);

    // The editor replaced its paragraphs first .. first + removedCount - 1 by `paragraphs`.
    void replaceLines(qsizetype first, qsizetype removedCount, const QStringList& paragraphs);

    // A copy of it shares its pieces: the history keeps such copies.
    [[nodiscard]] const ChunkedText& names() const { return m_names; }
    [[nodiscard]] qsizetype lineCount() const { return m_names.lineCount(); }

private:
    ChunkedText m_names;
};

} // namespace quillet::batch
