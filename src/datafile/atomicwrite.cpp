#include "datafile/atomicwrite.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QSaveFile>
#else
#include "datafile/systemerror.h"

#include <QFile>
#include <QRandomGenerator>

#include <variant>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
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

// The file a write replaces, and what of it the new file keeps.
struct Destination {
    QByteArray path;
    std::optional<struct stat> existing;
};

WriteError leftAlone(const QString& why)
{
    return WriteError{
        QStringLiteral("読み取れないファイルなので、そのまま残しました（%1）").arg(why)};
}

// A symbolic link is written through: the file it points to is replaced and the link stays.
// A file that is there but cannot be read (no permission, a folder, a pipe, a device) is left
// alone: what it holds was never read, so replacing it would lose it unseen.
std::variant<Destination, WriteError> destinationOf(const QByteArray& path)
{
    struct stat status {};
    if (::lstat(path.constData(), &status) != 0) {
        if (errno == ENOENT)
            return Destination{path, std::nullopt};
        return WriteError{systemErrorReason(errno)};
    }
    QByteArray target = path;
    if (S_ISLNK(status.st_mode)) {
        char resolved[PATH_MAX];
        if (!::realpath(path.constData(), resolved)) {
            if (errno == ENOENT)
                return WriteError{QStringLiteral("リンク先のファイルがありません")};
            return WriteError{systemErrorReason(errno)};
        }
        target = resolved;
        if (::stat(target.constData(), &status) != 0)
            return WriteError{systemErrorReason(errno)};
    }
    // The type is checked before anything is opened: opening a device can act on it.
    if (S_ISDIR(status.st_mode))
        return leftAlone(systemErrorReason(EISDIR));
    if (!S_ISREG(status.st_mode))
        return leftAlone(QStringLiteral("通常のファイルではありません"));
    const int fd = ::open(target.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return leftAlone(systemErrorReason(errno));
    ::close(fd);
    return Destination{target, status};
}

} // namespace

std::optional<WriteError> writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    std::variant<Destination, WriteError> found = destinationOf(QFile::encodeName(path));
    if (const auto* error = std::get_if<WriteError>(&found))
        return *error;
    const Destination& destination = std::get<Destination>(found);
    const QByteArray& target = destination.path;
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
    std::optional<int> error;
    // The new file keeps the old one's mode (a file kept at 0600 stays private) and, where
    // we may, its owner.
    if (destination.existing) {
        const struct stat& old = *destination.existing;
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            error = errno;
        // Only root can give a file away; for anyone else the file is already theirs.
        if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid())
            && ::fchown(fd, old.st_uid, old.st_gid) != 0 && ::geteuid() == 0)
            error = errno;
    }
    if (!error)
        error = writeAll(fd, bytes);
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
