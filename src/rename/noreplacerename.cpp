#include "rename/noreplacerename.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QDir>
#include <qt_windows.h>
#else
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillet::rename {

#ifdef Q_OS_WIN

RenameResult renameWithoutReplacing(const QString& from, const QString& to)
{
    const std::wstring f = QDir::toNativeSeparators(from).toStdWString();
    const std::wstring t = QDir::toNativeSeparators(to).toStdWString();
    // Without MOVEFILE_REPLACE_EXISTING the move never replaces; a case-only change of the
    // same item is allowed by the system.
    if (MoveFileExW(f.c_str(), t.c_str(), 0))
        return RenameResult::done();
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return RenameResult::exists();
    return RenameResult::failed(qt_error_string(int(error)));
}

#else

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Whether the folder holds an entry spelled exactly like the path's last part. A lookup that
// finds an item although no entry is spelled so was matched without regard to letter case.
bool hasEntrySpelledExactly(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : path.left(qMax<qsizetype>(slash, 1));
    const QByteArray name = path.mid(slash + 1);
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return true; // cannot tell: take the safe answer
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        if (name == entry->d_name) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

bool exists(const QByteArray& path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

int renameNoReplace(const QByteArray& from, const QByteArray& to)
{
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    return errno;
#else
    Q_UNUSED(from);
    Q_UNUSED(to);
    return ENOSYS;
#endif
}

// Without the atomic flag: a hard link cannot replace either; only where the file system has
// neither (or for folders) is the target checked just before a plain rename.
RenameResult renameFallback(const QByteArray& from, const QByteArray& to)
{
    struct stat st;
    if (::lstat(from.constData(), &st) != 0)
        return RenameResult::failed(systemReason(errno));
    if (!S_ISDIR(st.st_mode)) {
        if (::link(from.constData(), to.constData()) == 0) {
            if (::unlink(from.constData()) == 0)
                return RenameResult::done();
            const int error = errno;
            ::unlink(to.constData());
            return RenameResult::failed(systemReason(error));
        }
        if (errno == EEXIST)
            return RenameResult::exists();
    }
    if (exists(to))
        return RenameResult::exists();
    if (::rename(from.constData(), to.constData()) == 0)
        return RenameResult::done();
    return RenameResult::failed(systemReason(errno));
}

// One rename attempt: the atomic no-replace rename, or the fallback where the file system
// does not offer it.
RenameResult renameOnce(const QByteArray& from, const QByteArray& to)
{
    const int error = renameNoReplace(from, to);
    if (error == 0)
        return RenameResult::done();
    if (error == EEXIST)
        return RenameResult::exists();
    if (error == EINVAL || error == ENOSYS || error == EOPNOTSUPP)
        return renameFallback(from, to);
    return RenameResult::failed(systemReason(error));
}

// On a case-insensitive file system the new spelling names the item itself. The rename goes
// through a fresh temporary name, since renaming an item onto itself changes nothing there.
RenameResult renameLetterCase(const QByteArray& from, const QByteArray& to)
{
    const qsizetype slash = from.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray() : from.left(slash + 1);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QByteArray temporary =
            folder + ".quillet-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        const RenameResult away = renameOnce(from, temporary);
        if (away.outcome == RenameResult::Outcome::TargetExists)
            continue;
        if (away.outcome != RenameResult::Outcome::Done)
            return away;
        const RenameResult back = renameOnce(temporary, to);
        if (back.outcome != RenameResult::Outcome::Done)
            (void)renameOnce(temporary, from);
        return back;
    }
    return RenameResult::exists();
}

} // namespace

RenameResult renameWithoutReplacing(const QString& from, const QString& to)
{
    const QByteArray f = QFile::encodeName(from);
    const QByteArray t = QFile::encodeName(to);
    const RenameResult result = renameOnce(f, t);
    // A new spelling of the same name that the file system found although no entry is spelled
    // so: a case-insensitive file system found the item itself.
    if (result.outcome == RenameResult::Outcome::TargetExists && from != to
        && from.compare(to, Qt::CaseInsensitive) == 0 && !hasEntrySpelledExactly(t))
        return renameLetterCase(f, t);
    return result;
}

#endif

} // namespace quillet::rename
