#include "journal/renamejournal.h"

#include "batch/nativepath.h"
#include "datafile/systemerror.h"
#include "journal/journalfolder.h"
#include "journal/journalrecords.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <fcntl.h>

#ifdef Q_OS_WIN
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace quillet::journal {

using namespace Qt::Literals::StringLiterals;

namespace {

// Outcomes wait in memory up to this size or this long before they go to the file.
constexpr qsizetype kPendingBytes = 64 * 1024;
constexpr qint64 kForceIntervalMs = 1000;

int openNew(const QString& path)
{
#ifdef Q_OS_WIN
    return ::_wopen(reinterpret_cast<const wchar_t*>(path.utf16()),
                    _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    return ::open(QFile::encodeName(path).constData(),
                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
#endif
}

// A new name in a folder is only durable once the folder itself is on the disk.
void syncFolder(const QString& folder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(folder);
#else
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

// The exact bytes of a path as the journal keeps it: absolute, without "." or ".." parts.
// Such parts, where a name typed them, are resolved by the system, the way the rename will
// resolve them; nothing when the folder is not there (the rename cannot happen either).
std::optional<QByteArray> journalPath(const QString& path)
{
    QByteArray bytes = batch::nativeBytesFromPath(path);
    if (records::isAbsoluteAndNormal(bytes))
        return bytes;
#ifdef Q_OS_WIN
    const QString canonical = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
    if (canonical.isEmpty())
        return std::nullopt;
    return batch::nativeBytesFromPath(
        QDir::cleanPath(canonical + u'/' + QFileInfo(path).fileName()));
#else
    const qsizetype slash = bytes.lastIndexOf('/');
    const QByteArray name = bytes.mid(slash + 1);
    if (slash < 0 || name.isEmpty() || name == "." || name == "..")
        return std::nullopt;
    char* resolved = ::realpath(slash == 0 ? "/" : bytes.left(slash).constData(), nullptr);
    if (!resolved)
        return std::nullopt;
    QByteArray folder(resolved);
    ::free(resolved);
    if (!folder.endsWith('/'))
        folder += '/';
    return folder + name;
#endif
}

// Keeps the newest runs: this run's journal is about to be one of them.
void removeOldJournals(const QString& folder)
{
    QStringList existing = journalFiles(folder);
    while (existing.size() > kKeptRuns - 1)
        QFile::remove(existing.takeFirst());
}

} // namespace

QByteArray runKindWord(RunKind kind)
{
    switch (kind) {
    case RunKind::Undo: return QByteArrayLiteral("undo");
    case RunKind::Redo: return QByteArrayLiteral("redo");
    case RunKind::Rename: break;
    }
    return QByteArrayLiteral("rename");
}

RenameJournal::RenameJournal(QString folder, RunKind kind, QString undoes)
    : m_folder(std::move(folder))
    , m_kind(kind)
    , m_undoes(std::move(undoes))
{
}

RenameJournal::~RenameJournal()
{
    finish();
}

void RenameJournal::close()
{
    if (m_fd < 0)
        return;
#ifdef Q_OS_WIN
    ::_close(m_fd);
#else
    ::close(m_fd);
#endif
    m_fd = -1;
}

void RenameJournal::fail(const QString& reason)
{
    if (m_error.isEmpty())
        m_error = reason.isEmpty() ? datafile::systemErrorReason(EIO) : reason;
    // Once a line is missing the journal stops: what it holds stays true.
    close();
}

bool RenameJournal::create()
{
    if (const std::optional<QString> problem = checkJournalFolder(m_folder, true)) {
        fail(*problem);
        return false;
    }
    removeOldJournals(m_folder);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int sameMoment = 0; sameMoment < 100; ++sameMoment) {
        const QString path = QDir(m_folder).filePath(journalName(now, sameMoment));
        m_fd = openNew(path);
        if (m_fd >= 0) {
            m_path = path;
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    fail(QDir::toNativeSeparators(m_folder) + u": "_s + datafile::systemErrorReason(errno));
    return false;
}

bool RenameJournal::write(const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
#ifdef Q_OS_WIN
        const int n = ::_write(m_fd, bytes.constData() + done, unsigned(bytes.size() - done));
#else
        const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
#endif
        if (n <= 0) {
            fail(datafile::systemErrorReason(n < 0 ? errno : ENOSPC));
            return false;
        }
        done += n;
    }
    return true;
}

bool RenameJournal::force()
{
    if (!m_pending.isEmpty()) {
        const bool written = write(m_pending);
        m_pending.resize(0);
        if (!written)
            return false;
    }
#if defined(Q_OS_WIN)
    const bool forced = ::_commit(m_fd) == 0;
#elif defined(Q_OS_DARWIN)
    const bool forced = ::fcntl(m_fd, F_FULLFSYNC) != -1;
#else
    const bool forced = ::fdatasync(m_fd) == 0;
#endif
    if (!forced) {
        fail(datafile::systemErrorReason(errno));
        return false;
    }
    m_sinceForced.start();
    return true;
}

bool RenameJournal::append(const QByteArray& record, bool forced)
{
    if (m_fd < 0)
        return false;
    m_pending += record;
    if (forced)
        return force();
    if (m_sinceForced.hasExpired(kForceIntervalMs))
        return force();
    if (m_pending.size() >= kPendingBytes) {
        const bool written = write(m_pending);
        m_pending.resize(0); // keeps its room for the next outcomes
        return written;
    }
    return true;
}

std::optional<QString> RenameJournal::writePlan(const QStringList& sources,
                                                const QStringList& targets,
                                                const IdentityLookup& lookup)
{
    const qsizetype count = qMin(sources.size(), targets.size());
    QByteArray plan;
    plan.reserve(count * 256);
    QByteArray payload;
    m_sources.reserve(count);
    m_targets.reserve(count);
    QList<std::optional<ItemIdentity>> identities;
    identities.reserve(count);
    bool missing = false;
    for (qsizetype i = 0; i < count; ++i) {
        identities.append(lookup(sources.at(i)));
        missing = missing || !identities.last();
    }
    if (missing) {
        // A rename through a name that an earlier one fills (a swap through a third name, an
        // undo that puts a folder back before the files inside it) plans the item that will
        // be there.
        QHash<QString, qsizetype> filledBy;
        for (qsizetype i = 0; i < count; ++i) {
            if (!identities.at(i)) {
                if (const auto earlier = filledBy.constFind(sources.at(i));
                    earlier != filledBy.cend())
                    identities[i] = identities.at(*earlier);
            }
            filledBy.insert(targets.at(i), i);
        }
    }
    for (qsizetype i = 0; i < count; ++i) {
        const std::optional<ItemIdentity>& identity = identities.at(i);
        const std::optional<QByteArray> from = journalPath(sources.at(i));
        const std::optional<QByteArray> to = journalPath(targets.at(i));
        if (!identity || !from || !to)
            continue;
        payload.clear();
        payload.append("P\t");
        records::appendNumber(payload, m_sources.size());
        payload.append('\t');
        records::appendBase64(payload, *from);
        payload.append('\t');
        records::appendBase64(payload, *to);
        payload.append('\t');
        records::appendIdentity(payload, *identity);
        records::appendLine(plan, payload);
        m_sources.append(sources.at(i));
        m_targets.append(targets.at(i));
    }
    const QByteArray header =
        records::line(records::kMagic.toByteArray() + '\t' + records::kVersion.toByteArray() + '\t'
                      + runKindWord(m_kind) + '\t'
                      + QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toLatin1()
                      + '\t' + QByteArray::number(m_sources.size()) + '\t'
                      + (m_undoes.isEmpty() ? QByteArray("-") : m_undoes.toUtf8().toBase64()));
    if (!create()) {
        m_sources.clear();
        m_targets.clear();
        return m_error;
    }
    if (!write(header + plan) || !force()) {
        m_sources.clear();
        m_targets.clear();
        return m_error;
    }
    syncFolder(m_folder);
    return std::nullopt;
}

std::optional<qsizetype> RenameJournal::entryOf(const QString& from)
{
    for (qsizetype i = m_next; i < m_sources.size(); ++i) {
        if (m_sources.at(i) == from) {
            m_next = i;
            return i;
        }
    }
    return std::nullopt;
}

bool RenameJournal::recordTarget(qsizetype entry, const QString& to)
{
    if (m_targets.at(entry) == to)
        return m_fd >= 0;
    const std::optional<QByteArray> recorded = journalPath(to);
    if (!recorded)
        return false;
    m_targets[entry] = to;
    return append(
        records::line("T\t" + QByteArray::number(entry) + '\t' + recorded->toBase64()), true);
}

bool RenameJournal::recordHelper(qsizetype entry, const QString& path)
{
    const std::optional<QByteArray> recorded = journalPath(path);
    return recorded
           && append(records::line("H\t" + QByteArray::number(entry) + '\t'
                                   + recorded->toBase64()),
                     true);
}

void RenameJournal::recordOutcome(qsizetype entry, bool renamed)
{
    m_renamedAny = m_renamedAny || renamed;
    if (m_fd < 0)
        return;
    char payload[32] = {renamed ? 'R' : 'N', '\t'};
    const std::to_chars_result end =
        std::to_chars(payload + 2, payload + sizeof payload, qint64(entry));
    records::appendLine(m_pending, QByteArrayView(payload, end.ptr - payload));
    (void)append({}, false);
}

void RenameJournal::finish()
{
    if (m_fd < 0)
        return;
    if (!m_renamedAny) {
        close();
        QFile::remove(m_path);
        return;
    }
    if (append(records::line("E"), true))
        close();
}

} // namespace quillet::journal
