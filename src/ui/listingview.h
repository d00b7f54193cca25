#pragma once

#include "rename/precheck.h"

#include <QPlainTextEdit>

namespace quillet::ui {

// The listing of the confirmation window: the text the run is shown with, and on top of it the
// entries the check found something about. Marks live in the document's formats, never in its
// text: an entry with a problem has its lines in the problem colour, and the block format of
// every marked target line carries the entry's tag, drawn after the line's end.
class ListingView final : public QPlainTextEdit {
    Q_OBJECT

public:
    // Block format properties of a marked target line.
    static constexpr int kTagProperty = QTextFormat::UserProperty + 1;     // QString
    static constexpr int kProblemProperty = QTextFormat::UserProperty + 2; // bool

    explicit ListingView(QWidget* parent = nullptr);

    // A new listing, without marks.
    void setListing(const QString& text);
    // Marks the entries of the listing now shown; the colour follows the palette.
    void markEntries(const QList<rename::EntryMark>& marks);
    // Selects the lines of one entry and brings them into view.
    void selectEntry(qsizetype entry);
    // The entry of the cursor, or of the start of the selection.
    [[nodiscard]] qsizetype entryAtCursor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyMarks();
    QColor tagColour(bool problem) const;

    QList<rename::EntryMark> m_marks;
};

} // namespace quillet::ui
