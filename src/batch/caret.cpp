#include "batch/caret.h"

#include "batch/editortext.h"
#include "batch/linetext.h"

namespace quillet::batch {

CaretCounts caretCounts(const QString& text, qsizetype p)
{
    const qsizetype n = text.size();
    const qsizetype firstBreak = text.indexOf(kLineBreak);
    if (p <= 0)
        return {1, firstBreak < 0 ? n + 1 : firstBreak + 1};

    // The last CR LF that lies wholly within the first p characters.
    const qsizetype lastBefore = p >= 2 ? text.lastIndexOf(kLineBreak, p - 2) : -1;
    if (lastBefore >= 0) {
        const qsizetype next = text.indexOf(kLineBreak, p - 1);
        return {p - (lastBefore + 1), next < 0 ? n - p + 1 : next + 1 - p};
    }
    return {p + 1, firstBreak < 0 ? n - p + 1 : firstBreak + 1 - p};
}

CaretCounts paragraphCaretCounts(QStringView paragraph, qsizetype editorColumn)
{
    return caretCounts(fromEditorLine(paragraph), nameColumn(paragraph, editorColumn));
}

} // namespace quillet::batch
