#pragma once

// A file of the given size whose bytes follow a pattern no compressing file system flattens,
// for the checksum benchmarks; flushed to the disk.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <unistd.h>

namespace quillet::bench {

inline void writePatternFile(const QString& path, qint64 bytes)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (qint64 written = 0; written < bytes; written += chunk.size()) {
        for (int i = 0; i < chunk.size(); ++i)
            chunk[i] = char(((written + i) * 2654435761u) >> 24);
        out.write(chunk.constData(), qMin<qint64>(chunk.size(), bytes - written));
    }
    out.flush();
    ::fsync(out.handle());
}

} // namespace quillet::bench
