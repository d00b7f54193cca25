#include "rename/diskrules.h"

#include "batch/nativepath.h"

#ifdef Q_OS_LINUX
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace quillet::rename {

DiskRules windowsDiskRules()
{
    return DiskRules{true, true, true, 255};
}

#if defined(Q_OS_WIN)

DiskRules rulesOfFolder(const QString&)
{
    // NTFS, FAT and exFAT alike; the system itself drops a trailing dot or space.
    return DiskRules{true, true, false, 255};
}

#elif !defined(Q_OS_LINUX)

DiskRules rulesOfFolder(const QString&)
{
    return {};
}

#else

namespace {

// Kinds of file system by their statfs magic (linux/magic.h; not every one is in older headers).
constexpr long kMsdosMagic = 0x4d44; // vfat and msdos
constexpr long kExfatMagic = 0x2011BAB0;
constexpr long kNtfsMagic = 0x5346544e; // ntfs and ntfs3
constexpr long kCifsMagic = 0xFF534D42;
constexpr long kSmb2Magic = 0xFE534D42;
constexpr long kSmbMagic = 0x517B;
constexpr long kFuseMagic = 0x65735546;
constexpr long kExt4Magic = 0xEF53;
constexpr long kF2fsMagic = 0xF2F52010;
#ifndef FS_CASEFOLD_FL
constexpr int FS_CASEFOLD_FL = 0x40000000;
#endif

// A FUSE file system tells its kind only in the mount table: "fuse.fusefat", "fuseblk" (the
// drivers of NTFS and exFAT on a block device).
QByteArray fuseTypeOf(dev_t device)
{
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly))
        return {};
    const QByteArray wanted =
        QByteArray::number(major(device)) + ':' + QByteArray::number(minor(device));
    // The table reads as empty until it is read: its size is 0 to QFile.
    const QByteArray text = table.readAll();
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 3 || fields.at(2) != wanted)
            continue;
        const qsizetype dash = line.indexOf(" - ");
        if (dash < 0)
            return {};
        return line.sliced(dash + 3).split(' ').value(0);
    }
    return {};
}

bool windowsLikeFuse(const QByteArray& type)
{
    static const QByteArrayView kinds[] = {"fuseblk",         "fuse.fusefat", "fuse.exfat",
                                           "fuse.exfat-fuse", "fuse.ntfs",    "fuse.ntfs-3g",
                                           "fuse.smbnetfs",   "fuse.vfat"};
    for (const QByteArrayView kind : kinds) {
        if (type == kind)
            return true;
    }
    return false;
}

bool casefolded(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    int flags = 0;
    const bool folded = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_CASEFOLD_FL);
    ::close(fd);
    return folded;
}

} // namespace

DiskRules rulesOfFolder(const QString& folder)
{
    QByteArray path = batch::nativeBytesFromPath(folder);
    if (path.isEmpty() || path.contains('\0'))
        return {};
    struct statfs fs;
    // A folder the batch makes is judged by the folder it will be made in.
    while (::statfs(path.constData(), &fs) != 0) {
        if ((errno != ENOENT && errno != ENOTDIR) || path == "/")
            return {};
        const qsizetype slash = path.lastIndexOf('/');
        path = slash <= 0 ? QByteArray("/") : path.left(slash);
    }
    DiskRules rules;
    rules.maxNameLength = fs.f_namelen > 0 ? qsizetype(fs.f_namelen) : 255;
    switch (long(fs.f_type)) {
    case kMsdosMagic:
    case kExfatMagic:
    case kNtfsMagic:
    case kCifsMagic:
    case kSmb2Magic:
    case kSmbMagic: return windowsDiskRules();
    case kFuseMagic: {
        struct stat st;
        if (::stat(path.constData(), &st) == 0 && windowsLikeFuse(fuseTypeOf(st.st_dev)))
            return windowsDiskRules();
        break;
    }
    case kExt4Magic:
    case kF2fsMagic: rules.ignoresCase = casefolded(path); break;
    default: break;
    }
    return rules;
}

#endif

const DiskRules* DiskRulesCache::recent(QStringView folder)
{
    for (const int k : {m_newest, 1 - m_newest}) {
        if (m_recent[k].known && folder == m_recent[k].folder)
            return &m_recent[k].rules;
    }
    return nullptr;
}

DiskRules DiskRulesCache::remember(const QString& folder, const DiskRules& rules)
{
    m_newest = 1 - m_newest;
    m_recent[m_newest] = {folder, rules, true};
    return m_recent[m_newest].rules;
}

DiskRules DiskRulesCache::of(const QString& folder)
{
    // A batch is mostly one folder: the last answers are asked for again and again.
    if (const DiskRules* known = recent(folder))
        return *known;
    auto known = m_known.constFind(folder);
    if (known == m_known.cend())
        known = m_known.insert(folder, m_rules(folder));
    return remember(folder, *known);
}

DiskRules DiskRulesCache::ofFolderOf(const QString& path, QChar separator)
{
    const qsizetype at = path.lastIndexOf(separator);
    if (at <= 0)
        return of(at == 0 ? QString(separator) : QString());
    if (const DiskRules* known = recent(QStringView(path).left(at)))
        return *known;
    return of(path.left(at));
}

} // namespace quillet::rename
