#pragma once

#include <QString>
#include <QStringList>

namespace quillet::batch {

// Where the caret stands within its line, both counts 1-based: a caret at the start of a line
// has front count 1, one at the end of a line back count 1.
struct CaretCounts {
    qsizetype front = 1;
    qsizetype back = 1;
    friend bool operator==(const CaretCounts&, const CaretCounts&) = default;
};

// caretOffset is the number of characters of the names text before the caret (or before the
// start of the selection), 0 .. text length.
[[nodiscard]] CaretCounts caretCounts(const QString& text, qsizetype caretOffset);

// The index of the caret's line: the number of CR LF pairs before the caret.
[[nodiscard]] qsizetype caretLineIndex(const QString& text, qsizetype caretOffset);

// The source entry that the caret's line is paired with; empty when there is none.
[[nodiscard]] QString caretSource(const QString& text, qsizetype caretOffset,
                                  const QStringList& sources);

} // namespace quillet::batch
