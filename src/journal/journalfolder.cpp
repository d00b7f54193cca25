#include "journal/journalfolder.h"

#include "datafile/systemerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>

#ifndef Q_OS_WIN
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillet::journal {

using namespace Qt::Literals::StringLiterals;

namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

#ifndef Q_OS_WIN
// Why an item of the journal folder is not the user's own regular file or folder.
std::optional<QString> untrusted(const struct stat& st, bool folder)
{
    if (folder ? !S_ISDIR(st.st_mode) : !S_ISREG(st.st_mode))
        return folder ? u"フォルダではありません"_s : u"通常のファイルではありません"_s;
    if (st.st_uid != ::geteuid())
        return u"別のユーザーのものです"_s;
    return std::nullopt;
}
#endif

} // namespace

QString defaultJournalFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + u"/journal"_s;
}

std::optional<QString> checkJournalFolder(const QString& folder, bool create)
{
#ifdef Q_OS_WIN
    if (create && !QDir().mkpath(folder))
        return shown(folder) + u": 記録のフォルダを作れません"_s;
    if (!QFileInfo(folder).isDir())
        return shown(folder) + u": "_s + datafile::systemErrorReason(ENOENT);
    return std::nullopt;
#else
    const QByteArray bytes = QFile::encodeName(folder);
    struct stat st {};
    if (::lstat(bytes.constData(), &st) != 0) {
        const int error = errno;
        if (error != ENOENT || !create)
            return shown(folder) + u": "_s + datafile::systemErrorReason(error);
        const QString parent = QFileInfo(folder).absolutePath();
        if (!QDir().mkpath(parent) || (::mkdir(bytes.constData(), 0700) != 0 && errno != EEXIST))
            return shown(folder) + u": "_s + datafile::systemErrorReason(errno);
        if (::lstat(bytes.constData(), &st) != 0)
            return shown(folder) + u": "_s + datafile::systemErrorReason(errno);
    }
    if (S_ISLNK(st.st_mode))
        return shown(folder) + u": リンクです"_s;
    if (const std::optional<QString> reason = untrusted(st, true))
        return shown(folder) + u": "_s + *reason;
    // A folder made by hand, or by an older version, is closed to others too.
    if ((st.st_mode & 077) != 0 && ::chmod(bytes.constData(), 0700) != 0)
        return shown(folder) + u": "_s + datafile::systemErrorReason(errno);
    return std::nullopt;
#endif
}

std::optional<QString> probeJournalFolder(const QString& folder)
{
    if (const std::optional<QString> problem = checkJournalFolder(folder, true))
        return problem;
#ifdef Q_OS_WIN
    QFile probe(QDir(folder).filePath(u"probe-%1.tmp"_s.arg(QCoreApplication::applicationPid())));
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return shown(folder) + u": "_s + probe.errorString();
    probe.remove();
    return std::nullopt;
#else
    // A name no journal has, so the probe can never be taken for one or meet one; O_EXCL, so an
    // item someone put there is never opened, let alone removed.
    const QByteArray path = QFile::encodeName(folder) + "/.probe-" + QByteArray::number(::getpid())
                            + '-' + QByteArray::number(quint64(::time(nullptr)));
    const int fd =
        ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return shown(folder) + u": "_s + datafile::systemErrorReason(errno);
    ::close(fd);
    ::unlink(path.constData());
    return std::nullopt;
#endif
}

QString journalName(const QDateTime& startedUtc, int sameMoment)
{
    return u"run-"_s + startedUtc.toUTC().toString(u"yyyyMMdd-HHmmsszzz"_s)
           + u"-%1.journal"_s.arg(sameMoment, 2, 10, QLatin1Char('0'));
}

bool isJournalName(QStringView name)
{
    // run-YYYYMMDD-HHMMSSmmm-NN.journal
    static constexpr QStringView pattern = u"run-########-#########-##.journal";
    if (name.size() != pattern.size())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar wanted = pattern[i];
        if (wanted == u'#' ? !name[i].isDigit() || name[i].unicode() > u'9' : name[i] != wanted)
            return false;
    }
    return true;
}

QStringList journalFiles(const QString& folder)
{
    if (checkJournalFolder(folder, false))
        return {};
    QStringList names =
        QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const QString& name) { return !isJournalName(name); }),
                names.end());
    std::sort(names.begin(), names.end());
    QStringList paths;
    for (const QString& name : std::as_const(names))
        paths.append(QDir(folder).filePath(name));
    return paths;
}

JournalBytes readJournalBytes(const QString& path, const SizeLimit& limitFor)
{
    const QString tooLarge = shown(path) + u": 記録として読める大きさを超えています"_s;
#ifdef Q_OS_WIN
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, shown(path) + u": "_s + file.errorString()};
    const QByteArray head = file.peek(kJournalHeadBytes);
    if (file.size() > limitFor(head))
        return {std::nullopt, tooLarge};
    return {file.readAll(), QString()};
#else
    // No link is followed, and opening a pipe does not wait for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        return {std::nullopt,
                shown(path) + u": "_s
                    + (error == ELOOP ? u"リンクです"_s : datafile::systemErrorReason(error))};
    }
    struct stat st {};
    std::optional<QString> problem;
    if (::fstat(fd, &st) != 0)
        problem = datafile::systemErrorReason(errno);
    else if (const std::optional<QString> reason = untrusted(st, false))
        problem = reason;
    QByteArray bytes;
    if (!problem) {
        QByteArray head(qsizetype(qMin<qint64>(st.st_size, kJournalHeadBytes)), '\0');
        const ssize_t n = ::pread(fd, head.data(), size_t(head.size()), 0);
        head.truncate(qMax<qsizetype>(n, 0));
        if (st.st_size > limitFor(head)) {
            ::close(fd);
            return {std::nullopt, tooLarge};
        }
        bytes.resize(qsizetype(st.st_size));
        qsizetype got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                if (n < 0)
                    problem = datafile::systemErrorReason(errno);
                break;
            }
            got += n;
        }
        bytes.truncate(got);
    }
    ::close(fd);
    if (problem)
        return {std::nullopt, shown(path) + u": "_s + *problem};
    return {std::move(bytes), QString()};
#endif
}

} // namespace quillet::journal
