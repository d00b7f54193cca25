#include "batch/localpaths.h"

#include "batch/nativepath.h"

#include <QDir>

namespace quillet::batch {

QStringList localPathsOf(const QList<QUrl>& urls)
{
    QStringList paths;
    paths.reserve(urls.size());
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
#ifdef Q_OS_WIN
        const QString path = QDir::toNativeSeparators(url.toLocalFile());
#else
        // toLocalFile() decodes the path as UTF-8 and replaces every other byte; the encoded
        // form still holds the bytes themselves.
        const QString path = pathFromNativeBytes(
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
#endif
        if (path.isEmpty())
            continue;
        // cleanPath drops a trailing separator that some file managers put after a folder.
        paths.append(QDir::toNativeSeparators(QDir::cleanPath(path)));
    }
    return paths;
}

} // namespace quillet::batch
