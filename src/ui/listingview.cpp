#include "ui/listingview.h"

#include "rename/targets.h"
#include "ui/problemcolour.h"

#include <QEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>

namespace quillet::ui {

namespace {

// Space between the end of a target line and its tag, in average character widths.
constexpr int kTagGap = 2;

} // namespace

ListingView::ListingView(QWidget* parent)
    : QPlainTextEdit(parent)
{
    // The listing is read-only; marks need no undo, and 100,000 of them would fill it.
    document()->setUndoRedoEnabled(false);
}

void ListingView::setListing(const QString& text)
{
    m_marks.clear();
    setPlainText(text);
}

void ListingView::markEntries(const QList<rename::EntryMark>& marks)
{
    m_marks = marks;
    applyMarks();
}

void ListingView::changeEvent(QEvent* event)
{
    QPlainTextEdit::changeEvent(event);
    // A light red on a dark palette: the marks are written again in the new shade.
    if (event->type() == QEvent::PaletteChange && !m_marks.isEmpty())
        applyMarks();
}

void ListingView::applyMarks()
{
    QTextCharFormat problemLines;
    problemLines.setForeground(tagColour(true));
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (const rename::EntryMark& mark : m_marks) {
        const int first = int(mark.entry * rename::kListingLinesPerEntry);
        const QTextBlock target = document()->findBlockByNumber(first + rename::kListingTargetLine);
        if (!target.isValid())
            continue;
        cursor.setPosition(target.position());
        QTextBlockFormat tagged;
        tagged.setProperty(kTagProperty, mark.tag);
        tagged.setProperty(kProblemProperty, mark.isProblem());
        cursor.mergeBlockFormat(tagged);
        if (!mark.isProblem())
            continue;
        cursor.setPosition(document()->findBlockByNumber(first).position());
        cursor.setPosition(target.position() + target.length() - 1, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(problemLines);
    }
    cursor.endEditBlock();
}

void ListingView::selectEntry(qsizetype entry)
{
    const int first = int(entry * rename::kListingLinesPerEntry);
    const QTextBlock source = document()->findBlockByNumber(first);
    const QTextBlock target = document()->findBlockByNumber(first + rename::kListingTargetLine);
    if (!source.isValid() || !target.isValid())
        return;
    QTextCursor cursor(document());
    cursor.setPosition(source.position());
    cursor.setPosition(target.position() + target.length() - 1, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    centerCursor();
    // Paths start on the left; that is where the eye looks for the entry.
    horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
}

qsizetype ListingView::entryAtCursor() const
{
    const QTextCursor cursor = textCursor();
    const QTextBlock block = document()->findBlock(cursor.selectionStart());
    return block.blockNumber() / rename::kListingLinesPerEntry;
}

QColor ListingView::tagColour(bool problem) const
{
    return problem ? problemColour(palette().color(QPalette::Base))
                   : palette().color(QPalette::Text);
}

void ListingView::paintEvent(QPaintEvent* event)
{
    QPlainTextEdit::paintEvent(event);
    QPainter painter(viewport());
    painter.setFont(font());
    const QPointF offset = contentOffset();
    const qreal gap = kTagGap * fontMetrics().averageCharWidth();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF box = blockBoundingGeometry(block).translated(offset);
        if (box.top() > event->rect().bottom())
            break;
        const QTextBlockFormat format = block.blockFormat();
        if (!format.hasProperty(kTagProperty) || !block.layout()
            || block.layout()->lineCount() == 0)
            continue;
        const QTextLine line = block.layout()->lineAt(0);
        painter.setPen(tagColour(format.boolProperty(kProblemProperty)));
        painter.drawText(QPointF(box.left() + line.x() + line.naturalTextWidth() + gap,
                                 box.top() + line.y() + line.ascent()),
                         format.stringProperty(kTagProperty));
    }
}

} // namespace quillet::ui
