#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

namespace quillet::ui {

class NameEditor;

// What one row of the pairing gutter shows. Row r stands beside line r of the editor.
struct GutterRow {
    enum class Kind {
        Blank,    // the batch is empty: the gutter shows nothing
        Paired,   // the line renames entry `number` (1-based)
        Unpaired, // a line past the last entry: it renames nothing
    };
    Kind kind = Kind::Blank;
    qsizetype number = 0;
    // On the last line when there are fewer lines than entries: how many entries have no line.
    qsizetype withoutLine = 0;

    // The texts painted: the number, or the mark of a line that renames nothing; and the
    // shortfall mark such as "−2".
    [[nodiscard]] QString label() const;
    [[nodiscard]] QString shortfallLabel() const;

    friend bool operator==(const GutterRow&, const GutterRow&) = default;
};

[[nodiscard]] GutterRow gutterRow(qsizetype row, qsizetype lineCount, qsizetype entryCount);

// The tooltip of a row: the source path it renames, shown decoded; for a line that renames
// nothing, a note saying so; on the shortfall row, also the entries that have no line.
[[nodiscard]] QString gutterToolTip(qsizetype row, qsizetype lineCount, const QStringList& sources,
                                    QChar separator);

// Where the gutter takes the entries from: the batch's source paths and their separator.
struct PairingModel {
    std::function<const QStringList&()> sources;
    QChar separator;
};

// The strip in the editor's left margin that numbers each line with the entry it renames.
// It paints only the rows of the visible blocks.
class PairingGutter final : public QWidget {
    Q_OBJECT

public:
    PairingGutter(NameEditor* editor, PairingModel model);

    // The width the strip needs now; 0 while the batch is empty.
    [[nodiscard]] int neededWidth() const;
    // Row r as the gutter shows it, from the model and the editor's line count.
    [[nodiscard]] GutterRow row(qsizetype r) const;
    [[nodiscard]] QString toolTipAt(qsizetype r) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    [[nodiscard]] qsizetype entryCount() const;
    // The row under a point of the strip; -1 below the last line.
    [[nodiscard]] qsizetype rowAt(int y) const;

    NameEditor* m_editor;
    PairingModel m_model;
};

} // namespace quillet::ui
