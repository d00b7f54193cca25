#pragma once

#include <QString>
#include <QStringList>

namespace quillet::batch {

// The names text holds one name per line; lines are separated by CR LF. A lone CR or a lone
// LF is an ordinary character of its line. A text with k CR LF pairs has k + 1 lines.
inline constexpr QStringView kLineBreak = u"\r\n";

// Line n of the text (0-based); the empty text when the text has no line n.
[[nodiscard]] QString LineAt(const QString& text, qsizetype n);

// Lines 0 .. count - 1 as LineAt reads them, found in one pass over the text. Callers that
// visit every line use this instead of calling LineAt from the start for each line.
[[nodiscard]] QStringList linesForEntries(const QString& text, qsizetype count);

// The number of CR LF pairs plus one.
[[nodiscard]] qsizetype lineCount(const QString& text);

// The lines joined by CR LF, with no line break after the last.
[[nodiscard]] QString joinLines(const QStringList& lines);

// The text without the CR LF pairs at its end.
[[nodiscard]] QString withoutTrailingLineBreaks(QString text);

} // namespace quillet::batch
