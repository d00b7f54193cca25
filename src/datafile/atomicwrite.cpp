#include "datafile/atomicwrite.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QSaveFile>
#else
#include "datafile/systemerror.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace quillet::datafile {

#ifdef Q_OS_WIN

std::optional<WriteError> writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return WriteError{file.errorString()};
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return WriteError{reason};
    }
    if (!file.commit())
        return WriteError{file.errorString()};
    return std::nullopt;
}

#else

namespace {

// Written by hand rather than through QSaveFile, whose errors on a full disk or a read-only
// folder read "Unknown error": here every failing call keeps its errno for the message.
std::optional<int> writeAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += written;
        left -= written;
    }
    if (::fsync(fd) != 0)
        return errno;
    return std::nullopt;
}

} // namespace

std::optional<WriteError> writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary =
            target + ".tmp-" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST)
            return WriteError{systemErrorReason(errno)};
    }
    if (fd < 0)
        return WriteError{systemErrorReason(EEXIST)};
    std::optional<int> error = writeAll(fd, bytes);
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(temporary.constData());
        return WriteError{systemErrorReason(*error)};
    }
    return std::nullopt;
}

#endif

} // namespace quillet::datafile
