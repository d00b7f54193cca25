#include "ui/listingaccessible.h"

#include "ui/listingview.h"

#include <QTextBoundaryFinder>

namespace quillet::ui {

namespace {

QAccessibleInterface* listingFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String(ListingView::staticMetaObject.className()) && object
        && object->isWidgetType())
        return new ListingAccessible(static_cast<ListingView*>(object));
    return nullptr;
}

} // namespace

void installListingAccessible()
{
    static const bool installed = [] {
        QAccessible::installFactory(listingFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

ListingAccessible::ListingAccessible(ListingView* view)
    : QAccessibleWidget(view, QAccessible::EditableText)
{
}

ListingView* ListingAccessible::view() const
{
    return static_cast<ListingView*>(widget());
}

QAccessible::State ListingAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

QString ListingAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Value)
        return view()->toPlainText();
    return QAccessibleWidget::text(kind);
}

void* ListingAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

void ListingAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !view()->hasSelection())
        return;
    *startOffset = int(view()->listing().offsetOf(view()->selectionStart()));
    *endOffset = int(view()->listing().offsetOf(view()->selectionEnd()));
}

int ListingAccessible::selectionCount() const
{
    return view()->hasSelection() ? 1 : 0;
}

void ListingAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void ListingAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        view()->setSelection(view()->cursorPosition(), view()->cursorPosition());
}

void ListingAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    const rename::ConfirmationListing& listing = view()->listing();
    view()->setSelection(listing.positionAt(startOffset), listing.positionAt(endOffset));
}

int ListingAccessible::cursorPosition() const
{
    return int(view()->listing().offsetOf(view()->cursorPosition()));
}

void ListingAccessible::setCursorPosition(int position)
{
    const ListingView::Position at = view()->listing().positionAt(position);
    view()->setSelection(at, at);
    view()->ensureLineVisible(at.line);
}

QString ListingAccessible::text(int startOffset, int endOffset) const
{
    const rename::ConfirmationListing& listing = view()->listing();
    return listing.text(listing.positionAt(startOffset), listing.positionAt(endOffset));
}

void ListingAccessible::pieceAt(int offset, QAccessible::TextBoundaryType boundary, int* start,
                                int* end) const
{
    const rename::ConfirmationListing& listing = view()->listing();
    const int count = characterCount();
    offset = qBound(0, offset, count);
    const ListingView::Position at = listing.positionAt(offset);
    const int lineStart = offset - int(at.column);
    const int lineEnd = lineStart + int(listing.lineLength(at.line));
    switch (boundary) {
    case QAccessible::CharBoundary:
        *start = offset;
        *end = qMin(offset + 1, count);
        return;
    case QAccessible::WordBoundary: {
        QTextBoundaryFinder words(QTextBoundaryFinder::Word, listing.line(at.line));
        words.setPosition(at.column);
        const qsizetype before = words.isAtBoundary() ? at.column : words.toPreviousBoundary();
        words.setPosition(at.column);
        const qsizetype after = words.toNextBoundary();
        *start = lineStart + int(qMax<qsizetype>(0, before));
        *end = after < 0 ? lineEnd : lineStart + int(after);
        return;
    }
    case QAccessible::NoBoundary:
        *start = 0;
        *end = count;
        return;
    default:
        // A sentence, a paragraph and a line are all one line of the listing, its break included.
        *start = lineStart;
        *end = qMin(lineEnd + 1, count);
        return;
    }
}

QString ListingAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                        int* startOffset, int* endOffset) const
{
    pieceAt(offset, boundaryType, startOffset, endOffset);
    return text(*startOffset, *endOffset);
}

QString ListingAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int* startOffset, int* endOffset) const
{
    int start = 0;
    int end = 0;
    pieceAt(offset, boundaryType, &start, &end);
    if (start <= 0) {
        *startOffset = *endOffset = 0;
        return {};
    }
    return textAtOffset(start - 1, boundaryType, startOffset, endOffset);
}

QString ListingAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                           int* startOffset, int* endOffset) const
{
    int start = 0;
    int end = 0;
    pieceAt(offset, boundaryType, &start, &end);
    if (end >= characterCount()) {
        *startOffset = *endOffset = characterCount();
        return {};
    }
    return textAtOffset(end, boundaryType, startOffset, endOffset);
}

int ListingAccessible::characterCount() const
{
    return int(view()->listing().textLength());
}

QRect ListingAccessible::characterRect(int offset) const
{
    const QRect at = view()->cursorRect(view()->listing().positionAt(offset));
    const QRect next = view()->cursorRect(view()->listing().positionAt(offset + 1));
    QRect box(at.topLeft(),
              QSize(next.top() == at.top() ? qMax(1, next.left() - at.left()) : 1, at.height()));
    box.moveTopLeft(view()->viewport()->mapToGlobal(box.topLeft()));
    return box;
}

int ListingAccessible::offsetAtPoint(const QPoint& point) const
{
    const QPoint local = view()->viewport()->mapFromGlobal(point);
    if (!view()->viewport()->rect().contains(local))
        return -1;
    return int(view()->listing().offsetOf(view()->positionAt(local)));
}

void ListingAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    Q_UNUSED(endIndex);
    view()->ensureLineVisible(view()->listing().positionAt(startIndex).line);
}

QString ListingAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = offset;
    return {};
}

} // namespace quillet::ui
