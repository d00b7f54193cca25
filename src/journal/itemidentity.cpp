#include "journal/itemidentity.h"

#include "batch/nativepath.h"

#include <QDateTime>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace quillet::journal {

bool ItemIdentity::sameItem(const ItemIdentity& other) const
{
    if (type != other.type)
        return false;
    if (inode == 0 && other.inode == 0)
        return size == other.size && modifiedNs == other.modifiedNs;
    if (device != other.device || inode != other.inode)
        return false;
    if (createdNs != 0 && other.createdNs != 0)
        return createdNs == other.createdNs;
    return type == Type::Folder || size == other.size;
}

#ifndef Q_OS_WIN
namespace {

ItemIdentity::Type typeOf(unsigned mode)
{
    if (S_ISREG(mode))
        return ItemIdentity::Type::File;
    if (S_ISDIR(mode))
        return ItemIdentity::Type::Folder;
    if (S_ISLNK(mode))
        return ItemIdentity::Type::Link;
    return ItemIdentity::Type::Other;
}

} // namespace
#endif

std::optional<ItemIdentity> identityOf(const QString& path)
{
#if defined(Q_OS_WIN)
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return std::nullopt;
    ItemIdentity identity;
    identity.type = info.isSymLink() ? ItemIdentity::Type::Link
                    : info.isDir()   ? ItemIdentity::Type::Folder
                                     : ItemIdentity::Type::File;
    identity.size = info.isDir() ? 0 : info.size();
    identity.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
    if (const QDateTime born = info.birthTime(); born.isValid())
        identity.createdNs = born.toMSecsSinceEpoch() * 1000000;
    return identity;
#else
    const QByteArray bytes = batch::nativeBytesFromPath(path);
    if (bytes.isEmpty() || bytes.contains('\0'))
        return std::nullopt;
#ifdef STATX_BTIME
    struct statx sx {};
    if (::statx(AT_FDCWD, bytes.constData(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME,
                &sx)
        == 0) {
        ItemIdentity identity;
        identity.type = typeOf(sx.stx_mode);
        identity.device = (quint64(sx.stx_dev_major) << 32) | sx.stx_dev_minor;
        identity.inode = sx.stx_ino;
        identity.size = identity.type == ItemIdentity::Type::Folder ? 0 : qint64(sx.stx_size);
        identity.modifiedNs = qint64(sx.stx_mtime.tv_sec) * 1000000000 + sx.stx_mtime.tv_nsec;
        if (sx.stx_mask & STATX_BTIME)
            identity.createdNs = qint64(sx.stx_btime.tv_sec) * 1000000000 + sx.stx_btime.tv_nsec;
        return identity;
    }
    if (errno != ENOSYS)
        return std::nullopt;
#endif
    struct stat st {};
    if (::lstat(bytes.constData(), &st) != 0)
        return std::nullopt;
    ItemIdentity identity;
    identity.type = typeOf(st.st_mode);
    identity.device = quint64(st.st_dev);
    identity.inode = quint64(st.st_ino);
    identity.size = identity.type == ItemIdentity::Type::Folder ? 0 : qint64(st.st_size);
#ifdef Q_OS_DARWIN
    identity.modifiedNs = qint64(st.st_mtimespec.tv_sec) * 1000000000 + st.st_mtimespec.tv_nsec;
#else
    identity.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
    return identity;
#endif
}

} // namespace quillet::journal
