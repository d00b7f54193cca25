#include "datafile/datafile.h"

#include "datafile/windows31j.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillet::datafile {
namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

constexpr qsizetype kChunkSize = 64 * 1024;

// Opens a data file for reading only when it is a regular file (a link to one counts). A pipe
// would block the start-up until some other program wrote to it, and a device or a folder never
// ends: each gives nothing at once.
bool openRegularFile(QFile& file, const QString& path)
{
#ifdef Q_OS_UNIX
    // Opened without blocking and checked on the open descriptor itself: opening a pipe
    // that has no writer would otherwise wait, and a check by name could look at another file.
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#else
    if (!QFileInfo(path).isFile())
        return false;
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly);
#endif
}

} // namespace

std::optional<QByteArray> readDataFileBytes(const QString& path)
{
    QFile file;
    if (!openRegularFile(file, path))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

QString decodeDataFile(const QByteArray& bytes)
{
    if (bytes.startsWith(kUtf8Bom))
        return QString::fromUtf8(QByteArrayView(bytes).sliced(3));
    return decodeWindows31J(bytes);
}

QByteArray encodeDataFile(const QString& text)
{
    if (std::optional<QByteArray> bytes = encodeWindows31J(text))
        return *bytes;
    return QByteArray(kUtf8Bom) + text.toUtf8();
}

QStringList splitDataLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (text.at(i) != u'\r')
            continue;
        lines.append(text.mid(start, i - start));
        if (i + 1 < size && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

std::optional<QStringList> readDataFileLines(const QString& path)
{
    const std::optional<QByteArray> bytes = readDataFileBytes(path);
    if (!bytes)
        return std::nullopt;
    return splitDataLines(decodeDataFile(*bytes));
}

QString readFirstLine(const QString& path)
{
    QFile file;
    if (!openRegularFile(file, path))
        return {};
    // Read up to the first CR only: the rest of the file may be huge and is never used. A CR
    // byte is never part of a Windows-31J double-byte character, nor of a UTF-8 sequence.
    QByteArray line;
    while (true) {
        const QByteArray chunk = file.read(kChunkSize);
        if (chunk.isEmpty())
            break;
        if (const qsizetype end = chunk.indexOf('\r'); end >= 0) {
            line.append(QByteArrayView(chunk).first(end));
            break;
        }
        line.append(chunk);
    }
    if (file.error() != QFileDevice::NoError)
        return {};
    return decodeDataFile(line);
}

} // namespace quillet::datafile
