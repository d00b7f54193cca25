#include "rename/itemlookup.h"

#ifdef Q_OS_WIN
#include <QDir>
#include <QFileInfo>
#include <QHash>
#else
#include "batch/nativepath.h"

#include <cerrno>
#include <sys/stat.h>
#endif

namespace quillet::rename {

#ifdef Q_OS_WIN

namespace {

// A move cannot leave its drive ("C:") or network share ("//server/share"); the volume is what
// the absolute path starts with. A volume mounted into a folder is not told apart.
quint64 volumeOf(const QFileInfo& info)
{
    const QString path = QDir::fromNativeSeparators(info.absoluteFilePath());
    const qsizetype sections = path.startsWith(QLatin1StringView("//")) ? 4 : 1;
    const quint64 volume = qHash(path.section(u'/', 0, sections - 1).toCaseFolded());
    return volume == kUnknownDevice ? 1 : volume;
}

} // namespace

std::optional<ItemInfo> lookUpItem(const QString& path, LookUp how)
{
    const QFileInfo info(path);
    const bool there = how == LookUp::Folder ? info.exists() : info.exists() || info.isSymLink();
    if (!there)
        return std::nullopt;
    const bool folder = info.isDir() && (how == LookUp::Folder || !info.isSymLink());
    return ItemInfo{folder, volumeOf(info)};
}

#else

std::optional<ItemInfo> lookUpItem(const QString& path, LookUp how)
{
    const QByteArray bytes = batch::nativeBytesFromPath(path);
    if (bytes.contains('\0'))
        return std::nullopt;
    struct stat st;
    const int result =
        how == LookUp::Item ? ::lstat(bytes.constData(), &st) : ::stat(bytes.constData(), &st);
    if (result == 0)
        return ItemInfo{S_ISDIR(st.st_mode), quint64(st.st_dev)};
    if (errno == ENOENT || errno == ENOTDIR)
        return std::nullopt;
    return ItemInfo{how == LookUp::Folder, kUnknownDevice};
}

#endif

} // namespace quillet::rename
