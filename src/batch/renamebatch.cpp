#include "batch/renamebatch.h"

#include "batch/linetext.h"
#include "batch/nativepath.h"
#include "batch/pathparts.h"

namespace quillet::batch {

RenameBatch::RenameBatch(QChar separator)
    : m_separator(separator)
{
}

QString RenameBatch::takeIn(const QString& editorText, const QStringList& droppedPaths)
{
    const qsizetype oldCount = m_sources.size();
    m_known.reserve(oldCount + droppedPaths.size());
    m_sources.reserve(oldCount + droppedPaths.size());
    for (const QString& path : droppedPaths) {
        const qsizetype known = m_known.size();
        m_known.insert(path);
        if (m_known.size() == known)
            continue; // already in the batch
        m_sources.append(path);
    }
    // The first drop into an empty batch replaces whatever the editor held; otherwise the new
    // names follow the editor's lines.
    QString text =
        oldCount == 0 && m_sources.size() > 0 ? QString() : withoutTrailingLineBreaks(editorText);
    appendBaseNames(text, oldCount);
    return text;
}

void RenameBatch::appendBaseNames(QString& text, qsizetype from) const
{
    qsizetype size = text.size();
    for (qsizetype j = from; j < m_sources.size(); ++j)
        size += m_sources.at(j).size() + kLineBreak.size();
    text.reserve(size);
    for (qsizetype j = from; j < m_sources.size(); ++j) {
        if (j > 0)
            text.append(kLineBreak);
        text.append(shownBaseName(m_sources.at(j)));
    }
}

QString RenameBatch::shownBaseName(const QString& source) const
{
    // A name in another encoding is shown, and so renamed, as the user reads it.
    if (!hasEscapedBytes(source))
        return BaseName(source, m_separator);
    return BaseName(displayText(FileNamePart(source, m_separator), m_separator), m_separator);
}

QString RenameBatch::restoredNames() const
{
    QString names;
    appendBaseNames(names, 0);
    return names;
}

void RenameBatch::clear()
{
    m_sources.clear();
    m_known.clear();
}

} // namespace quillet::batch
