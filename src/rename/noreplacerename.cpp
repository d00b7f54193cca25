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
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillet::rename {

#ifdef Q_OS_WIN

RenameResult renameWithoutReplacing(const QString& from, const QString& to) {
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

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool isSameItem(const QByteArray& a, const QByteArray& b) {
    struct stat sa;
    struct stat sb;
    return ::lstat(a.constData(), &sa) == 0 && ::lstat(b.constData(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool exists(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

int renameNoReplace(const QByteArray& from, const QByteArray& to) {
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
RenameResult renameFallback(const QByteArray& from, const QByteArray& to) {
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

// On a case-insensitive file system the new spelling names the item itself. The rename goes
// through a fresh temporary name, since renaming an item onto itself changes nothing there.
RenameResult renameLetterCase(const QByteArray& from, const QByteArray& to) {
    const qsizetype slash = from.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray() : from.left(slash + 1);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QByteArray temporary =
            folder + ".quillet-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        const int error = renameNoReplace(from, temporary);
        if (error == EEXIST)
            continue;
        if (error != 0)
            return RenameResult::failed(systemReason(error));
        const int second = renameNoReplace(temporary, to);
        if (second == 0)
            return RenameResult::done();
        renameNoReplace(temporary, from);
        return second == EEXIST ? RenameResult::exists()
                                : RenameResult::failed(systemReason(second));
    }
    return RenameResult::exists();
}

} // namespace

RenameResult renameWithoutReplacing(const QString& from, const QString& to) {
    const QByteArray f = QFile::encodeName(from);
    const QByteArray t = QFile::encodeName(to);
    const int error = renameNoReplace(f, t);
    if (error == 0)
        return RenameResult::done();
    if (error == EEXIST) {
        const bool caseOnly = from != to && from.compare(to, Qt::CaseInsensitive) == 0;
        return caseOnly && isSameItem(f, t) ? renameLetterCase(f, t) : RenameResult::exists();
    }
    if (error == EINVAL || error == ENOSYS || error == EOPNOTSUPP)
        return renameFallback(f, t);
    return RenameResult::failed(systemReason(error));
}

#endif

} // namespace quillet::rename
