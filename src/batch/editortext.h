#pragma once

#include <QString>

namespace quillet::batch {

// The names text separates lines with CR LF; the editor widget keeps each line as a paragraph
// and would also break a paragraph at a lone CR or LF. A lone CR or LF belongs to its line (a
// POSIX file name may hold one), so the editor shows it as the visible control picture
// U+240D or U+240A, and the way back restores it. Everything else passes unchanged.

// Names text -> text for the editor, paragraphs separated by U+2029.
[[nodiscard]] QString toEditorText(const QString& names);

// The editor's raw text (paragraphs separated by U+2029) -> names text.
[[nodiscard]] QString fromEditorText(const QString& raw);

} // namespace quillet::batch
