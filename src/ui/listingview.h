#pragma once

#include "rename/confirmationlisting.h"
#include "rename/precheck.h"

#include <QAbstractScrollArea>

#include <memory>

class QTextLayout;

namespace quillet::ui {

// The listing of the confirmation window, drawn from the entries themselves: only the lines on
// screen are laid out, so a million entries open as fast as ten. It reads and behaves as a
// read-only plain text box: scrolling, selecting with the mouse and keys, copying, select all,
// and the same text for a copy and a screen reader. The marks of the check are drawn on top:
// an entry with a problem has its lines in the problem colour, and every marked entry has its
// tag after the target line. Characters that would break a line (a file name may hold one) are
// drawn as visible symbols, so every entry keeps its four lines; the copied text keeps them.
class ListingView final : public QAbstractScrollArea {
    Q_OBJECT

public:
    using Position = rename::ListingPosition;

    explicit ListingView(QWidget* parent = nullptr);
    ~ListingView() override;

    // A new listing, without marks, shown from its start.
    void setListing(std::shared_ptr<const rename::ConfirmationListing> listing);
    [[nodiscard]] const rename::ConfirmationListing& listing() const { return *m_listing; }
    // Marks the entries of the listing now shown (in batch order); the colour follows the palette.
    void markEntries(const QList<rename::EntryMark>& marks);
    // Selects the lines of one entry and brings them into view.
    void selectEntry(qsizetype entry);
    // The entry of the cursor, or of the start of the selection.
    [[nodiscard]] qsizetype entryAtCursor() const { return selectionStart().line / 4; }

    [[nodiscard]] QString toPlainText() const { return m_listing->text(); }
    [[nodiscard]] qsizetype lineCount() const { return m_listing->lineCount(); }
    [[nodiscard]] Position cursorPosition() const { return m_cursor; }
    [[nodiscard]] Position selectionStart() const { return std::min(m_anchor, m_cursor); }
    [[nodiscard]] Position selectionEnd() const { return std::max(m_anchor, m_cursor); }
    [[nodiscard]] bool hasSelection() const { return m_anchor != m_cursor; }
    [[nodiscard]] QString selectedText() const;
    void setSelection(Position anchor, Position cursor);
    void selectAll() { setSelection({}, m_listing->end()); }
    void copy() const;

    // How a line is drawn: its colour, and the tag after it (empty when none).
    [[nodiscard]] QColor lineColour(qsizetype line) const;
    [[nodiscard]] QString tagAfter(qsizetype line) const;
    [[nodiscard]] qsizetype firstVisibleLine() const;
    [[nodiscard]] int lineHeight() const;
    // Where a place of the text is on the viewport, and the place at a point of it.
    [[nodiscard]] QRect cursorRect(Position position) const;
    [[nodiscard]] Position positionAt(QPoint point) const;
    // Scrolls the least that brings a line into view.
    void ensureLineVisible(qsizetype line);

signals:
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    const rename::EntryMark* markOf(qsizetype entry) const;
    QColor tagColour(bool problem) const;
    void layOut(QTextLayout& layout, qsizetype line) const;
    void updateScrollBars();
    void measureWidestLine();

    std::shared_ptr<const rename::ConfirmationListing> m_listing;
    QList<rename::EntryMark> m_marks; // ascending entries
    Position m_anchor;
    Position m_cursor;
    // The widest line known decides the horizontal scroll range.
    int m_widest = 0;
};

} // namespace quillet::ui
