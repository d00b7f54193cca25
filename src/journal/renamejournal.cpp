#include "journal/renamejournal.h"

#include "batch/nativepath.h"
#include "datafile/systemerror.h"
#include "journal/journalfolder.h"
#include "journal/journalrecords.h"
#include "journal/planencoder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
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
// The plan's first piece, forced before the first rename; a short run's whole plan. Later
// pieces reach as far ahead of the renames as the plan already is, so each force is paid for
// by more renames than it costs, and bounded so the renames never wait long.
constexpr qsizetype kFirstPiece = 512;
constexpr qsizetype kLargestPiece = 64 * 1024;

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

void RenameJournal::failLocked(const QString& reason)
{
    if (m_error.isEmpty())
        m_error = reason.isEmpty() ? datafile::systemErrorReason(EIO) : reason;
    // Once a line is missing the journal stops: what it holds stays true. The file stays open
    // until the run ends, since the other thread may be forcing it.
    m_failed.store(true, std::memory_order_relaxed);
}

bool RenameJournal::create()
{
    if (const std::optional<QString> problem = checkJournalFolder(m_folder, true)) {
        failLocked(*problem);
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
    failLocked(QDir::toNativeSeparators(m_folder) + u": "_s + datafile::systemErrorReason(errno));
    return false;
}

bool RenameJournal::writeLocked(const QByteArray& bytes)
{
    if (m_failed.load(std::memory_order_relaxed))
        return false;
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
            failLocked(datafile::systemErrorReason(n < 0 ? errno : ENOSPC));
            return false;
        }
        done += n;
    }
    return true;
}

bool RenameJournal::force()
{
#if defined(Q_OS_WIN)
    const bool forced = ::_commit(m_fd) == 0;
#elif defined(Q_OS_DARWIN)
    const bool forced = ::fcntl(m_fd, F_FULLFSYNC) != -1;
#else
    const bool forced = ::fdatasync(m_fd) == 0;
#endif
    if (!forced) {
        const int error = errno;
        const std::lock_guard lock(m_mutex);
        failLocked(datafile::systemErrorReason(error));
    }
    return forced && !m_failed.load(std::memory_order_relaxed);
}

bool RenameJournal::append(const QByteArray& record, bool forced)
{
    m_pending += record;
    if (m_failed.load(std::memory_order_relaxed)) {
        m_pending.clear();
        return false;
    }
    forced = forced || m_sinceForced.hasExpired(kForceIntervalMs);
    if (!forced && m_pending.size() < kPendingBytes)
        return true;
    {
        // The plan's thread writes a piece now and then; unforced outcomes simply wait for the
        // next chance rather than hold up the renames.
        std::unique_lock lock(m_mutex, std::defer_lock);
        if (forced)
            lock.lock();
        else if (!lock.try_lock())
            return true;
        const bool written = writeLocked(m_pending);
        m_pending.resize(0); // keeps its room for the next outcomes
        if (!written)
            return false;
    }
    if (!forced)
        return true;
    m_sinceForced.start();
    return force();
}

std::optional<QString> RenameJournal::writePlan(const QStringList& sources,
                                                const QStringList& targets, IdentityLookup lookup)
{
    auto encoder = std::make_unique<PlanEncoder>(sources, targets, std::move(lookup));
    const qsizetype count = encoder->count();
    m_plannedOf.assign(size_t(count), -1);
    m_entryOf.assign(size_t(count), -1);
    const QByteArray firstPiece = encoder->encode(kFirstPiece, m_plannedOf, m_entryOf);
    // The header counts the entries asked for; the plan holds those that can be renamed.
    const QByteArray header =
        records::line(records::kMagic.toByteArray() + '\t' + records::kVersion.toByteArray() + '\t'
                      + runKindWord(m_kind) + '\t'
                      + QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toLatin1()
                      + '\t' + QByteArray::number(count) + '\t'
                      + (m_undoes.isEmpty() ? QByteArray("-") : m_undoes.toUtf8().toBase64()));
    {
        const std::lock_guard lock(m_mutex);
        if (!create() || !writeLocked(header + firstPiece)) {
            close();
            return m_error;
        }
    }
    if (!force()) {
        close();
        return m_error;
    }
    syncFolder(m_folder);
    m_sinceForced.start();
    m_sources = sources;
    m_targets = targets;
    m_plannedUpTo.store(encoder->next(), std::memory_order_relaxed);
    if (encoder->next() < count)
        m_planner = std::thread(&RenameJournal::planTheRest, this, std::move(encoder));
    else
        m_planEnded = true;
    return std::nullopt;
}

void RenameJournal::planTheRest(std::unique_ptr<PlanEncoder> encoder)
{
    while (encoder->next() < encoder->count() && !m_cancelPlan.load(std::memory_order_relaxed)) {
        const qsizetype ahead = encoder->next() - m_renaming.load(std::memory_order_relaxed);
        const QByteArray piece =
            encoder->encode(encoder->next() + std::clamp(ahead, kFirstPiece, kLargestPiece),
                            m_plannedOf, m_entryOf);
        {
            const std::lock_guard lock(m_mutex);
            if (!writeLocked(piece))
                break;
        }
        if (!force())
            break;
        {
            const std::lock_guard lock(m_mutex);
            m_plannedUpTo.store(encoder->next(), std::memory_order_release);
        }
        m_planGrew.notify_all();
    }
    {
        const std::lock_guard lock(m_mutex);
        m_planEnded = true;
    }
    m_planGrew.notify_all();
}

void RenameJournal::stopPlanning()
{
    if (!m_planner.joinable())
        return;
    m_cancelPlan.store(true, std::memory_order_relaxed);
    m_planner.join();
}

std::optional<qsizetype> RenameJournal::entryOf(const QString& from)
{
    for (qsizetype i = m_nextEntry; i < m_sources.size(); ++i) {
        if (m_sources.at(i) != from)
            continue;
        m_renaming.store(i, std::memory_order_relaxed);
        if (i >= m_plannedUpTo.load(std::memory_order_acquire)) {
            std::unique_lock lock(m_mutex);
            m_planGrew.wait(lock, [this, i] {
                return m_plannedUpTo.load(std::memory_order_relaxed) > i || m_planEnded;
            });
            if (m_plannedUpTo.load(std::memory_order_relaxed) <= i)
                return std::nullopt;
        }
        const qsizetype entry = m_plannedOf[size_t(i)];
        if (entry < 0)
            return std::nullopt;
        m_nextEntry = i;
        return entry;
    }
    return std::nullopt;
}

bool RenameJournal::failed() const
{
    return m_failed.load(std::memory_order_relaxed);
}

QString RenameJournal::error()
{
    const std::lock_guard lock(m_mutex);
    return m_error;
}

bool RenameJournal::recordTarget(qsizetype entry, const QString& to)
{
    QString& target = m_targets[m_entryOf[size_t(entry)]];
    if (target == to)
        return !failed();
    const std::optional<QByteArray> recorded = journalPath(to);
    if (!recorded)
        return false;
    target = to;
    return append(records::line("T\t" + QByteArray::number(entry) + '\t' + recorded->toBase64()),
                  true);
}

bool RenameJournal::recordHelper(qsizetype entry, const QString& path)
{
    const std::optional<QByteArray> recorded = journalPath(path);
    return recorded
           && append(records::line("H\t" + QByteArray::number(entry) + '\t' + recorded->toBase64()),
                     true);
}

void RenameJournal::recordOutcome(qsizetype entry, bool renamed)
{
    m_renamedAny = m_renamedAny || renamed;
    char payload[32] = {renamed ? 'R' : 'N', '\t'};
    const std::to_chars_result end =
        std::to_chars(payload + 2, payload + sizeof payload, qint64(entry));
    records::appendLine(m_pending, QByteArrayView(payload, end.ptr - payload));
    (void)append({}, false);
}

void RenameJournal::recordPutBack(qsizetype index)
{
    if (index < 0 || size_t(index) >= m_plannedOf.size() || m_plannedOf[size_t(index)] < 0)
        return;
    // Only the outcome changes: the item is back where the plan found it.
    recordOutcome(m_plannedOf[size_t(index)], false);
}

void RenameJournal::finish()
{
    stopPlanning();
    if (m_fd < 0)
        return;
    if (!m_renamedAny) {
        close();
        QFile::remove(m_path);
        return;
    }
    (void)append(records::line("E"), true);
    close();
}

} // namespace quillet::journal
