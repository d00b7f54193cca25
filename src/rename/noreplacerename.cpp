#include "rename/noreplacerename.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QDir>
#include <QFileInfo>
#include <qt_windows.h>
#else
#include "batch/nativepath.h"
#include "datafile/systemerror.h"

#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillet::rename {

#ifdef Q_OS_WIN

RenameResult renameWithoutReplacing(const QString& from, const QString& to, const HelperNotice&)
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

bool itemExists(const QString& path)
{
    return QFileInfo(path).exists() || QFileInfo(path).isSymLink();
}

#else

namespace {

RenameResult failedWith(int error)
{
    return RenameResult::failed(datafile::systemErrorReason(error));
}

bool exists(const QByteArray& path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : path.left(qMax<qsizetype>(slash, 1));
}

// Whether the new path lies inside the folder being moved. Both are resolved, so that a link
// on the way to the new path is seen through, as the system sees it.
bool movesIntoItself(const QByteArray& from, const QByteArray& to)
{
    char source[PATH_MAX];
    char targetFolder[PATH_MAX];
    if (!::realpath(from.constData(), source)
        || !::realpath(folderOf(to).constData(), targetFolder))
        return false;
    const QByteArrayView folder(source);
    const QByteArrayView inside(targetFolder);
    return inside == folder
           || (inside.startsWith(folder) && inside.size() > folder.size()
               && (folder == "/" || inside.at(folder.size()) == '/'));
}

// The reason of a failed rename, told by what the error means for these two paths: the
// system says "no such file" for a missing item and for a missing target folder alike, and
// "invalid argument" for a folder moved into itself.
RenameResult failedWith(int error, const QByteArray& from, const QByteArray& to)
{
    if (error == ENOENT && exists(from) && !exists(folderOf(to)))
        return RenameResult::failed(kFolderMissingReason.toString());
    if (error == EINVAL && movesIntoItself(from, to))
        return RenameResult::failed(
            QStringLiteral("フォルダーをそのフォルダー自身の中へは移動できません"));
    return failedWith(error);
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

int systemRenameNoReplace(const char* from, const char* to)
{
#ifdef RENAME_NOREPLACE
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
#else
    Q_UNUSED(from);
    Q_UNUSED(to);
    errno = ENOSYS;
    return -1;
#endif
}

int systemCreateExclusive(const char* path)
{
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    ::close(fd);
    return 0;
}

int systemMkdir(const char* path)
{
    return ::mkdir(path, 0700);
}

class Renamer {
public:
    Renamer(const FileSystemCalls& calls, const HelperNotice& notice)
        : m_calls(calls)
        , m_notice(notice)
    {
    }

    // One rename attempt: the atomic no-replace rename, or the fallbacks where the file system
    // does not offer it.
    RenameResult renameOnce(const QByteArray& from, const QByteArray& to) const
    {
        if (m_calls.renameNoReplace(from.constData(), to.constData()) == 0)
            return RenameResult::done();
        const int error = errno;
        if (error == EEXIST)
            return RenameResult::exists();
        // EINVAL is also how the system refuses to move a folder into itself; the fallback
        // would first reserve the name inside it.
        if (error == EINVAL && movesIntoItself(from, to))
            return failedWith(error, from, to);
        if (error == EINVAL || error == ENOSYS || error == EOPNOTSUPP)
            return renameFallback(from, to);
        return failedWith(error, from, to);
    }

    // On a case-insensitive file system the new spelling names the item itself. The rename goes
    // through a fresh temporary name, since renaming an item onto itself changes nothing there.
    RenameResult renameLetterCase(const QByteArray& from, const QByteArray& to) const
    {
        const qsizetype slash = from.lastIndexOf('/');
        const QByteArray folder = slash < 0 ? QByteArray() : from.left(slash + 1);
        for (int attempt = 0; attempt < 16; ++attempt) {
            const QByteArray temporary =
                folder + ".quillet-"
                + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
            if (!announce(temporary))
                return RenameResult::failed(kHelperNotRecordedReason.toString());
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

private:
    // Without the atomic flag a hard link cannot replace either. Where the file system has
    // neither (or for folders), the target is reserved first, by an exclusive create or a
    // mkdir, and the item is renamed over its own reservation: whoever creates the name first
    // owns it, so an item another program puts there in the meantime is never replaced.
    RenameResult renameFallback(const QByteArray& from, const QByteArray& to) const
    {
        struct stat st;
        if (::lstat(from.constData(), &st) != 0)
            return failedWith(errno, from, to);
        const bool folder = S_ISDIR(st.st_mode);
        if (!folder) {
            if (m_calls.link(from.constData(), to.constData()) == 0) {
                if (::unlink(from.constData()) == 0)
                    return RenameResult::done();
                const int error = errno;
                ::unlink(to.constData());
                return failedWith(error, from, to);
            }
            if (errno == EEXIST)
                return RenameResult::exists();
        }
        if (!announce(to))
            return RenameResult::failed(kHelperNotRecordedReason.toString());
        const int reserved =
            folder ? m_calls.mkdir(to.constData()) : m_calls.createExclusive(to.constData());
        if (reserved != 0)
            return errno == EEXIST ? RenameResult::exists() : failedWith(errno, from, to);
        if (m_calls.rename(from.constData(), to.constData()) == 0)
            return RenameResult::done();
        const int error = errno;
        // Our reservation goes; a folder that someone has filled in the meantime is theirs now
        // and stays (rmdir leaves a folder that is not empty).
        if (folder)
            ::rmdir(to.constData());
        else
            ::unlink(to.constData());
        // A folder renamed over its reservation meets ENOTEMPTY when another program put an
        // item into the reserved folder first: the name is taken, as with EEXIST.
        if (error == EEXIST || error == ENOTEMPTY)
            return RenameResult::exists();
        return failedWith(error, from, to);
    }

    bool announce(const QByteArray& path) const
    {
        return !m_notice || m_notice(batch::pathFromNativeBytes(path));
    }

    const FileSystemCalls& m_calls;
    const HelperNotice& m_notice;
};

} // namespace

bool itemExists(const QString& path)
{
    struct stat st;
    const QByteArray bytes = batch::nativeBytesFromPath(path);
    return !bytes.contains('\0') && ::lstat(bytes.constData(), &st) == 0;
}

const FileSystemCalls& systemCalls()
{
    static const FileSystemCalls calls{systemRenameNoReplace, ::link, ::rename,
                                       systemCreateExclusive, systemMkdir};
    return calls;
}

RenameResult renameWithoutReplacing(const QString& from, const QString& to,
                                    const HelperNotice& notice)
{
    return renameThrough(systemCalls(), from, to, notice);
}

RenameResult renameThrough(const FileSystemCalls& calls, const QString& from, const QString& to,
                           const HelperNotice& notice)
{
    const QByteArray f = batch::nativeBytesFromPath(from);
    const QByteArray t = batch::nativeBytesFromPath(to);
    if (f.contains('\0') || t.contains('\0'))
        return failedWith(EINVAL);
    const Renamer renamer(calls, notice);
    const RenameResult result = renamer.renameOnce(f, t);
    // A new spelling of the same name that the file system found although no entry is spelled
    // so: a case-insensitive file system found the item itself.
    if (result.outcome == RenameResult::Outcome::TargetExists && from != to
        && from.compare(to, Qt::CaseInsensitive) == 0 && !hasEntrySpelledExactly(t))
        return renamer.renameLetterCase(f, t);
    return result;
}

#endif

} // namespace quillet::rename
