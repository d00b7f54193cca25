#include "datafile/datafolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quillet::datafile {
namespace {

QString withSeparator(const QString& folder)
{
    const QString native = QDir::toNativeSeparators(folder);
    return native.endsWith(QDir::separator()) ? native : native + QDir::separator();
}

} // namespace

QString chooseDataFolder(const QString& programFolder, bool programFolderWritable,
                         const QString& userFolder)
{
    return withSeparator(programFolderWritable ? programFolder : userFolder);
}

bool isWritableProgramFolder(const QString& programFolder)
{
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(programFolder)) + u'/';
    if (clean.startsWith(QStringLiteral("/usr/"))
        && !clean.startsWith(QStringLiteral("/usr/local/")))
        return false;
    const QFileInfo info(programFolder);
    return info.isDir() && info.isWritable();
}

QString resolveDataFolder(const QString& programFolder)
{
    if (isWritableProgramFolder(programFolder))
        return chooseDataFolder(programFolder, true, QString());
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(userFolder);
    return chooseDataFolder(programFolder, false, userFolder);
}

} // namespace quillet::datafile
