#pragma once

#include <QString>

namespace quillet::batch {

// Where the caret stands within its line, both counts 1-based: a caret at the start of a line
// has front count 1, one at the end of a line back count 1.
struct CaretCounts {
    qsizetype front = 1;
    qsizetype back = 1;
    friend bool operator==(const CaretCounts&, const CaretCounts&) = default;
};

// The counts for a caret at column `editorColumn` of a paragraph of the name editor: counted in
// characters of the name line the paragraph stands for (an escaped symbol is one character).
[[nodiscard]] CaretCounts paragraphCaretCounts(QStringView paragraph, qsizetype editorColumn);

} // namespace quillet::batch
