#include "socketfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "datafile/systemerror.h"
#endif

namespace quillet::app {

#ifdef Q_OS_UNIX

std::optional<QString> privateFolderProblem(const QString& folder, uint owner)
{
    if (folder.isEmpty())
        return QStringLiteral("フォルダーが指定されていません");
    struct stat status {};
    // lstat: a link to a private folder is not private, whoever can replace the link decides.
    if (::lstat(QFile::encodeName(folder).constData(), &status) != 0)
        return datafile::systemErrorReason(errno);
    if (S_ISLNK(status.st_mode))
        return QStringLiteral("シンボリックリンクです");
    if (!S_ISDIR(status.st_mode))
        return QStringLiteral("フォルダーではありません");
    if (status.st_uid != owner)
        return QStringLiteral("別のユーザーのフォルダーです");
    if ((status.st_mode & 07777) != 0700)
        return QStringLiteral("ほかのユーザーも使える権限です (%1)")
            .arg(status.st_mode & 07777, 4, 8, QLatin1Char('0'));
    return std::nullopt;
}

SocketLocation instanceSocketLocation(const QString& runtimeFolder, const QString& cacheFolder,
                                      uint owner)
{
    const auto socketIn = [](const QString& folder) {
        return SocketLocation{folder + u'/' + kSocketFileName.toString(), {}};
    };
    const std::optional<QString> runtimeProblem = privateFolderProblem(runtimeFolder, owner);
    if (!runtimeProblem)
        return socketIn(runtimeFolder);
    if (cacheFolder.isEmpty())
        return {{}, QStringLiteral("%1: %2").arg(runtimeFolder, *runtimeProblem)};
    // Created 0700 (a user's umask only ever takes bits away); one already there must have
    // been made so, and is checked rather than repaired: a folder that others could enter
    // may already hold their socket.
    const QString own = cacheFolder + u'/' + kOwnSocketFolder.toString();
    if (QDir().mkpath(cacheFolder))
        ::mkdir(QFile::encodeName(own).constData(), 0700);
    if (const std::optional<QString> problem = privateFolderProblem(own, owner))
        return {{}, QStringLiteral("%1: %2").arg(own, *problem)};
    return socketIn(own);
}

SocketLocation instanceSocketLocation()
{
    // The runtime folder from the environment only: Qt's own fallback for an unset variable is
    // a folder in the shared temporary folder that someone else may have made first.
    return instanceSocketLocation(
        qEnvironmentVariable("XDG_RUNTIME_DIR"),
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation), uint(::geteuid()));
}

#else

std::optional<QString> privateFolderProblem(const QString& folder, uint)
{
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("フォルダーではありません");
    return std::nullopt;
}

SocketLocation instanceSocketLocation(const QString&, const QString&, uint)
{
    return instanceSocketLocation();
}

// A named pipe: QLocalServer::UserAccessOption keeps it to this user.
SocketLocation instanceSocketLocation()
{
    return {QStringLiteral("quillet-") + qEnvironmentVariable("USERNAME"), {}};
}

#endif

} // namespace quillet::app
