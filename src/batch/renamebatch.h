#pragma once

#include <QChar>
#include <QSet>
#include <QString>
#include <QStringList>

namespace quillet::batch {

// The source half of a rename batch: the full paths of the dropped items, in drop order and
// without duplicates. Line i of the names text is the new name of entry i.
class RenameBatch {
public:
    explicit RenameBatch(QChar separator);

    [[nodiscard]] const QStringList& sources() const { return m_sources; }
    [[nodiscard]] qsizetype count() const { return m_sources.size(); }
    [[nodiscard]] bool isEmpty() const { return m_sources.isEmpty(); }
    [[nodiscard]] QChar separator() const { return m_separator; }

    // Takes in dropped paths and returns the editor's new text. Paths already in the batch
    // (exact comparison) are skipped. Dropped into an empty batch, the names replace whatever
    // the editor held; otherwise each new name goes on its own line after the editor's text
    // without its trailing line breaks.
    [[nodiscard]] QString takeIn(const QString& editorText, const QStringList& droppedPaths);

    // The base names of all entries, one per line: the names as they stood right after adding.
    [[nodiscard]] QString restoredNames() const;

    void clear();

private:
    // Appends CR LF and the base name of every entry from index `from` on (no line break
    // before entry 0).
    void appendBaseNames(QString& text, qsizetype from) const;
    [[nodiscard]] QString shownBaseName(const QString& source) const;

    QChar m_separator;
    QStringList m_sources;
    QSet<QString> m_known;
};

} // namespace quillet::batch
