#include "batch/pathparts.h"

namespace quillet::batch {

QString FileNamePart(const QString& path, QChar separator)
{
    return path.mid(path.lastIndexOf(separator) + 1);
}

QString FolderPart(const QString& path, QChar separator)
{
    const qsizetype pos = path.lastIndexOf(separator);
    return pos < 0 ? QString() : path.left(pos);
}

QString StripExtension(const QString& name)
{
    const qsizetype pos = name.lastIndexOf(u'.');
    return pos < 0 ? name : name.left(pos);
}

QString ExtensionPart(const QString& path)
{
    const qsizetype pos = path.lastIndexOf(u'.');
    return pos < 0 ? QString() : path.mid(pos + 1);
}

QString BaseName(const QString& path, QChar separator)
{
    // One allocation: a batch takes in tens of thousands of these at a time.
    const QStringView name = QStringView(path).sliced(path.lastIndexOf(separator) + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return (dot < 0 ? name : name.first(dot)).toString();
}

} // namespace quillet::batch
