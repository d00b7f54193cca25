#include "batch/caret.h"

#include "batch/editortext.h"

namespace quillet::batch {

CaretCounts paragraphCaretCounts(QStringView paragraph, qsizetype editorColumn)
{
    // A paragraph is one name, whatever line-breaking characters the name itself holds.
    const qsizetype column = nameColumn(paragraph, editorColumn);
    return {column + 1, fromEditorLine(paragraph).size() - column + 1};
}

} // namespace quillet::batch
