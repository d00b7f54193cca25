#pragma once

// Files for the tests that work on a real disk.
#include <QByteArray>
#include <QFile>
#include <QString>

namespace quillet::test {

// Writes the whole file; a test that cannot set up its files stops at once.
inline QString writeFile(const QString& path, const QByteArray& content = {})
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The whole file, or "<missing>" when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace quillet::test
