#include "ui/listingview.h"

#include "rename/targets.h"
#include "ui/listingaccessible.h"
#include "ui/problemcolour.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>

namespace quillet::ui {

namespace {

// Space around the text, as a plain text box leaves it.
constexpr int kMargin = 4;
// Space between the end of a target line and its tag, in average character widths.
constexpr int kTagGap = 2;

// A character that would end the line on screen becomes a symbol of the same length, so columns
// stay those of the text: controls their pictures (U+2400…), the line and paragraph separators ↵.
QChar shown(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x20)
        return QChar(char16_t(0x2400 + u));
    if (u == 0x7f)
        return QChar(char16_t(0x2421));
    if (u == 0x2028 || u == 0x2029)
        return QChar(char16_t(0x21b5));
    return c;
}

QString shownText(const QString& text)
{
    const auto odd =
        std::find_if(text.cbegin(), text.cend(), [](QChar c) { return shown(c) != c; });
    if (odd == text.cend())
        return text;
    QString visible = text;
    for (QChar& c : visible)
        c = shown(c);
    return visible;
}

} // namespace

ListingView::ListingView(QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_listing(std::make_shared<rename::ConfirmationListing>())
{
    installListingAccessible();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
}

ListingView::~ListingView() = default;

void ListingView::setListing(std::shared_ptr<const rename::ConfirmationListing> listing)
{
    m_listing = listing ? std::move(listing) : std::make_shared<rename::ConfirmationListing>();
    m_marks.clear();
    m_anchor = m_cursor = {};
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    measureWidestLine();
    viewport()->update();
    // A text update must come as its own event class: the accessibility bridge reads the
    // removed and inserted texts of every TextUpdated event, and a plain event has none (the
    // program crashed here under a screen reader). The listing was replaced whole; a screen
    // reader reads it anew. Without a screen reader this costs nothing.
    QAccessibleTextUpdateEvent reset(this, 0, QString(), QString());
    QAccessible::updateAccessibility(&reset);
}

void ListingView::markEntries(const QList<rename::EntryMark>& marks)
{
    m_marks = marks;
    viewport()->update();
}

const rename::EntryMark* ListingView::markOf(qsizetype entry) const
{
    const auto found =
        std::lower_bound(m_marks.cbegin(), m_marks.cend(), entry,
                         [](const rename::EntryMark& mark, qsizetype e) { return mark.entry < e; });
    return found != m_marks.cend() && found->entry == entry ? &*found : nullptr;
}

QColor ListingView::tagColour(bool problem) const
{
    return problem ? problemColour(palette().color(QPalette::Base))
                   : palette().color(QPalette::Text);
}

QColor ListingView::lineColour(qsizetype line) const
{
    const rename::EntryMark* mark = markOf(line / rename::kListingLinesPerEntry);
    const bool marked = mark && mark->isProblem()
                        && line % rename::kListingLinesPerEntry <= rename::kListingTargetLine;
    return tagColour(marked);
}

QString ListingView::tagAfter(qsizetype line) const
{
    if (line % rename::kListingLinesPerEntry != rename::kListingTargetLine)
        return {};
    const rename::EntryMark* mark = markOf(line / rename::kListingLinesPerEntry);
    return mark ? mark->tag : QString();
}

int ListingView::lineHeight() const
{
    return qMax(1, fontMetrics().height());
}

qsizetype ListingView::firstVisibleLine() const
{
    return verticalScrollBar()->value();
}

void ListingView::layOut(QTextLayout& layout, qsizetype line) const
{
    layout.setText(shownText(m_listing->line(line)));
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine only = layout.createLine();
    if (only.isValid()) {
        only.setLineWidth(1e9);
        only.setPosition({0, 0});
    }
    layout.endLayout();
}

void ListingView::updateScrollBars()
{
    const int fullLines = qMax(1, (viewport()->height() - 2 * kMargin) / lineHeight());
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, int(qMax<qsizetype>(0, m_listing->lineCount() - fullLines)));
    vertical->setPageStep(fullLines);
    vertical->setSingleStep(1);
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, qMax(0, m_widest + 2 * kMargin - viewport()->width()));
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(qMax(1, fontMetrics().averageCharWidth() * 2));
}

void ListingView::measureWidestLine()
{
    // The lines with the most characters are measured; one wider after all (full-width letters
    // in a shorter name) widens the range as soon as it is on screen.
    m_widest = 0;
    const QFontMetrics metrics = fontMetrics();
    for (const qsizetype line : m_listing->longestLines())
        m_widest = qMax(m_widest, metrics.horizontalAdvance(shownText(m_listing->line(line))));
    updateScrollBars();
}

void ListingView::ensureLineVisible(qsizetype line)
{
    QScrollBar* vertical = verticalScrollBar();
    if (line < vertical->value())
        vertical->setValue(int(line));
    else if (line >= vertical->value() + vertical->pageStep())
        vertical->setValue(int(line - vertical->pageStep() + 1));
}

void ListingView::setSelection(Position anchor, Position cursor)
{
    anchor = m_listing->clamped(anchor);
    cursor = m_listing->clamped(cursor);
    if (anchor == m_anchor && cursor == m_cursor)
        return;
    m_anchor = anchor;
    m_cursor = cursor;
    viewport()->update();
    emit selectionChanged();
    if (QAccessible::isActive()) {
        const int start = int(m_listing->offsetOf(selectionStart()));
        const int end = int(m_listing->offsetOf(selectionEnd()));
        QAccessibleTextSelectionEvent selection(this, start, end);
        selection.setCursorPosition(int(m_listing->offsetOf(m_cursor)));
        QAccessible::updateAccessibility(&selection);
    }
}

QString ListingView::selectedText() const
{
    return m_listing->text(selectionStart(), selectionEnd());
}

void ListingView::copy() const
{
    if (hasSelection())
        QGuiApplication::clipboard()->setText(selectedText());
}

void ListingView::selectEntry(qsizetype entry)
{
    const qsizetype first = entry * rename::kListingLinesPerEntry;
    const qsizetype target = first + rename::kListingTargetLine;
    if (entry < 0 || entry >= m_listing->entryCount())
        return;
    setSelection({first, 0}, {target, m_listing->lineLength(target)});
    // The entry in the middle of the view, as a text box centres its cursor.
    verticalScrollBar()->setValue(int(target - verticalScrollBar()->pageStep() / 2));
    // Paths start on the left; that is where the eye looks for the entry.
    horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
}

QRect ListingView::cursorRect(Position position) const
{
    position = m_listing->clamped(position);
    QTextLayout layout;
    layOut(layout, position.line);
    const int x = kMargin - horizontalScrollBar()->value()
                  + int(layout.lineAt(0).cursorToX(int(position.column)));
    const int y = kMargin + int(position.line - firstVisibleLine()) * lineHeight();
    return {x, y, 1, lineHeight()};
}

ListingView::Position ListingView::positionAt(QPoint point) const
{
    const qsizetype line = std::clamp<qsizetype>(
        firstVisibleLine() + (point.y() - kMargin) / lineHeight() - (point.y() < kMargin ? 1 : 0),
        0, m_listing->lineCount() - 1);
    QTextLayout layout;
    layOut(layout, line);
    const qreal x = point.x() - kMargin + horizontalScrollBar()->value();
    return {line, layout.lineAt(0).xToCursor(x)};
}

void ListingView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const int height = lineHeight();
    const qreal left = kMargin - horizontalScrollBar()->value();
    const qreal gap = kTagGap * fontMetrics().averageCharWidth();
    const Position from = selectionStart();
    const Position to = selectionEnd();
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    QTextCharFormat selected;
    selected.setBackground(palette().brush(group, QPalette::Highlight));
    selected.setForeground(palette().brush(group, QPalette::HighlightedText));
    int widestShown = m_widest;
    for (qsizetype line = firstVisibleLine(); line < m_listing->lineCount(); ++line) {
        const int top = kMargin + int(line - firstVisibleLine()) * height;
        if (top > event->rect().bottom())
            break;
        QTextLayout layout;
        layOut(layout, line);
        const QTextLine text = layout.lineAt(0);
        QList<QTextLayout::FormatRange> selections;
        if (hasSelection() && line >= from.line && line <= to.line) {
            const qsizetype start = line == from.line ? from.column : 0;
            const qsizetype end = line == to.line ? to.column : layout.text().size();
            if (end > start)
                selections.append({int(start), int(end - start), selected});
            // A selection that goes on past the line takes its line break along.
            if (line < to.line)
                painter.fillRect(QRectF(left + text.naturalTextWidth(), top,
                                        fontMetrics().averageCharWidth(), height),
                                 selected.background());
        }
        painter.setPen(lineColour(line));
        layout.draw(&painter, {left, qreal(top)}, selections);
        widestShown = qMax(widestShown, int(std::ceil(text.naturalTextWidth())));
        const QString tag = tagAfter(line);
        if (!tag.isEmpty()) {
            painter.setPen(tagColour(markOf(line / rename::kListingLinesPerEntry)->isProblem()));
            painter.setFont(font());
            painter.drawText(QPointF(left + text.naturalTextWidth() + gap, top + text.ascent()),
                             tag);
        }
    }
    // What is on screen is never cut off, even a line shorter than the longest but wider.
    if (widestShown > m_widest) {
        m_widest = widestShown;
        QTimer::singleShot(0, this, &ListingView::updateScrollBars);
    }
}

void ListingView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void ListingView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        measureWidestLine();
    }
    // A light red on a dark palette: the marks are drawn again in the new shade.
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        viewport()->update();
}

void ListingView::keyPressEvent(QKeyEvent* event)
{
    QScrollBar* vertical = verticalScrollBar();
    QScrollBar* horizontal = horizontalScrollBar();
    if (event == QKeySequence::SelectAll) {
        selectAll();
    } else if (event == QKeySequence::Copy) {
        copy();
    } else if (event->modifiers() & ~(Qt::ControlModifier | Qt::KeypadModifier)) {
        // Shift+F8 and the like belong to the window.
        event->ignore();
        return;
    } else {
        switch (event->key()) {
        case Qt::Key_Up: vertical->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        case Qt::Key_Down: vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        case Qt::Key_PageUp: vertical->triggerAction(QAbstractSlider::SliderPageStepSub); break;
        case Qt::Key_PageDown: vertical->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
        case Qt::Key_Home: vertical->triggerAction(QAbstractSlider::SliderToMinimum); break;
        case Qt::Key_End: vertical->triggerAction(QAbstractSlider::SliderToMaximum); break;
        case Qt::Key_Left: horizontal->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        case Qt::Key_Right: horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        default: event->ignore(); return;
        }
    }
    event->accept();
}

void ListingView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const Position at = positionAt(event->position().toPoint());
    setSelection(event->modifiers() & Qt::ShiftModifier ? m_anchor : at, at);
}

void ListingView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    // Dragging past the top or bottom scrolls along, a line per move.
    const Position at = positionAt(event->position().toPoint());
    setSelection(m_anchor, at);
    ensureLineVisible(at.line);
}

void ListingView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const Position at = positionAt(event->position().toPoint());
    const QString line = m_listing->line(at.line);
    QTextBoundaryFinder words(QTextBoundaryFinder::Word, line);
    words.setPosition(at.column);
    const qsizetype start = words.isAtBoundary() ? at.column : words.toPreviousBoundary();
    words.setPosition(at.column);
    const qsizetype end = words.toNextBoundary();
    setSelection({at.line, qMax<qsizetype>(0, start)}, {at.line, end < 0 ? line.size() : end});
}

void ListingView::contextMenuEvent(QContextMenuEvent* event)
{
    // The texts of a text box's own menu, in Qt's translation.
    QMenu menu(this);
    QAction* copying = menu.addAction(QCoreApplication::translate("QWidgetTextControl", "&Copy"),
                                      this, &ListingView::copy);
    copying->setShortcut(QKeySequence::Copy);
    copying->setEnabled(hasSelection());
    menu.addSeparator();
    QAction* all = menu.addAction(QCoreApplication::translate("QWidgetTextControl", "Select All"),
                                  this, &ListingView::selectAll);
    all->setShortcut(QKeySequence::SelectAll);
    menu.exec(event->globalPos());
}

void ListingView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void ListingView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

} // namespace quillet::ui
