#pragma once

#include <QAccessibleWidget>

namespace quillet::ui {

class ListingView;

// What a screen reader gets from the listing of 確認: a read-only text whose characters,
// selection and lines are those of the text a copy gives, read from the entries as the view is.
class ListingAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ListingAccessible(ListingView* view);

    [[nodiscard]] QAccessible::State state() const override;
    [[nodiscard]] QString text(QAccessible::Text kind) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    [[nodiscard]] int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    [[nodiscard]] int cursorPosition() const override;
    void setCursorPosition(int position) override;
    [[nodiscard]] QString text(int startOffset, int endOffset) const override;
    [[nodiscard]] QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                           int* startOffset, int* endOffset) const override;
    [[nodiscard]] QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                          int* startOffset, int* endOffset) const override;
    [[nodiscard]] QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                       int* startOffset, int* endOffset) const override;
    [[nodiscard]] int characterCount() const override;
    [[nodiscard]] QRect characterRect(int offset) const override;
    [[nodiscard]] int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    [[nodiscard]] QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    [[nodiscard]] ListingView* view() const;
    // The piece of text around `offset` bounded as asked: [start, end) in offsets.
    void pieceAt(int offset, QAccessible::TextBoundaryType boundary, int* start, int* end) const;
};

// Lets the accessibility framework find ListingAccessible for every listing; installed once.
void installListingAccessible();

} // namespace quillet::ui
