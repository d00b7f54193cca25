#include "batch/renamebatch.h"

#include "batch/linetext.h"
#include "batch/pathparts.h"

namespace quillet::batch {

RenameBatch::RenameBatch(QChar separator)
    : m_separator(separator)
{
}

QString RenameBatch::takeIn(const QString& editorText, const QStringList& droppedPaths)
{
    const qsizetype oldCount = m_sources.size();
    for (const QString& path : droppedPaths) {
        if (m_known.contains(path))
            continue;
        m_known.insert(path);
        m_sources.append(path);
    }

    QString text = withoutTrailingLineBreaks(editorText);
    for (qsizetype j = oldCount; j < m_sources.size(); ++j) {
        const QString name = BaseName(m_sources.at(j), m_separator);
        if (j == 0) {
            text = name;
        } else {
            text.append(kLineBreak);
            text.append(name);
        }
    }
    return text;
}

QString RenameBatch::restoredNames() const
{
    QStringList names;
    names.reserve(m_sources.size());
    for (const QString& path : m_sources)
        names.append(BaseName(path, m_separator));
    return joinLines(names);
}

void RenameBatch::clear()
{
    m_sources.clear();
    m_known.clear();
}

} // namespace quillet::batch
