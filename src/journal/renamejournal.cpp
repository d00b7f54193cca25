#include "journal/renamejournal.h"

#include "batch/nativepath.h"
#include "checksum/crc.h"
#include "datafile/systemerror.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillet::journal {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QByteArrayView kMagic = "QUILLET-JOURNAL";
constexpr QByteArrayView kVersion = "1";
constexpr QByteArrayView kAttempt = "A";
constexpr QByteArrayView kRenamed = "R";
constexpr QByteArrayView kNotRenamed = "N";

constexpr QFileDevice::Permissions kOwnerOnlyFile =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions kOwnerOnlyFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

QString journalName(qint64 sequence)
{
    return u"run-%1.journal"_s.arg(sequence, 10, 10, QLatin1Char('0'));
}

// The sequence number of a journal file name; nothing for any other file.
std::optional<qint64> journalSequence(const QString& name)
{
    if (name.size() != 22 || !name.startsWith(u"run-"_s) || !name.endsWith(u".journal"_s))
        return std::nullopt;
    bool ok = false;
    const qint64 sequence = QStringView(name).sliced(4, 10).toLongLong(&ok);
    return ok ? std::optional(sequence) : std::nullopt;
}

QByteArray crcText(QByteArrayView bytes)
{
    checksum::Crc crc(checksum::ChecksumKind::Crc32);
    crc.update(bytes.data(), std::size_t(bytes.size()));
    return crc.text().toLatin1();
}

QByteArray pathField(const QString& path)
{
    return batch::nativeBytesFromPath(path).toBase64();
}

std::optional<QString> pathFromField(const QByteArray& field)
{
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(field, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty())
        return std::nullopt;
    return batch::pathFromNativeBytes(decoded.decoded);
}

QByteArray identityField(const std::optional<ItemIdentity>& identity)
{
    if (!identity)
        return "-";
    return QByteArray::number(identity->device) + ',' + QByteArray::number(identity->inode) + ','
           + QByteArray::number(identity->size) + ',' + QByteArray::number(identity->modifiedNs)
           + ',' + QByteArray::number(identity->createdNs);
}

// Whether the field is well formed; `identity` is left empty for "-".
bool identityFromField(const QByteArray& field, std::optional<ItemIdentity>& identity)
{
    identity.reset();
    if (field == "-")
        return true;
    const QList<QByteArray> parts = field.split(',');
    if (parts.size() != 5)
        return false;
    bool ok[5] = {};
    ItemIdentity read;
    read.device = parts[0].toULongLong(&ok[0]);
    read.inode = parts[1].toULongLong(&ok[1]);
    read.size = parts[2].toLongLong(&ok[2]);
    read.modifiedNs = parts[3].toLongLong(&ok[3]);
    read.createdNs = parts[4].toLongLong(&ok[4]);
    if (!std::all_of(std::begin(ok), std::end(ok), [](bool b) { return b; }))
        return false;
    identity = read;
    return true;
}

// Why forcing the file to the disk failed; nothing when it succeeded.
std::optional<QString> syncToDisk(QFile& file)
{
#if defined(Q_OS_WIN)
    if (::_commit(file.handle()) == 0)
        return std::nullopt;
    return file.errorString();
#else
#ifdef Q_OS_DARWIN
    const bool synced = ::fcntl(file.handle(), F_FULLFSYNC) != -1;
#else
    const bool synced = ::fdatasync(file.handle()) == 0;
#endif
    if (synced)
        return std::nullopt;
    return datafile::systemErrorReason(errno);
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

bool makeOwnerOnlyFolder(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.exists()) {
        if (!QDir().mkpath(info.absolutePath()))
            return false;
        if (!QDir().mkdir(folder, kOwnerOnlyFolder) && !QFileInfo(folder).isDir())
            return false;
    }
    // A folder made by hand, or by an older version, is closed to others too.
    return QFile::setPermissions(folder, kOwnerOnlyFolder) && QFileInfo(folder).isDir();
}

} // namespace

bool ItemIdentity::sameItem(const ItemIdentity& other) const
{
    const bool sameTime = createdNs != 0 && other.createdNs != 0 ? createdNs == other.createdNs
                                                                 : modifiedNs == other.modifiedNs;
    if (inode != 0 || other.inode != 0)
        return device == other.device && inode == other.inode && sameTime;
    return size == other.size && sameTime;
}

std::optional<ItemIdentity> identityOf(const QString& path)
{
#if defined(Q_OS_WIN)
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return std::nullopt;
    ItemIdentity identity;
    identity.size = info.size();
    identity.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
    if (const QDateTime born = info.birthTime(); born.isValid())
        identity.createdNs = born.toMSecsSinceEpoch() * 1000000;
    return identity;
#else
    const QByteArray bytes = batch::nativeBytesFromPath(path);
#ifdef STATX_BTIME
    struct statx sx {};
    if (::statx(AT_FDCWD, bytes.constData(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME,
                &sx)
        == 0) {
        ItemIdentity identity;
        identity.device = (quint64(sx.stx_dev_major) << 32) | sx.stx_dev_minor;
        identity.inode = sx.stx_ino;
        identity.size = qint64(sx.stx_size);
        identity.modifiedNs = qint64(sx.stx_mtime.tv_sec) * 1000000000 + sx.stx_mtime.tv_nsec;
        if (sx.stx_mask & STATX_BTIME)
            identity.createdNs = qint64(sx.stx_btime.tv_sec) * 1000000000 + sx.stx_btime.tv_nsec;
        return identity;
    }
    if (errno != ENOSYS)
        return std::nullopt;
#endif
    struct stat st {};
    if (::lstat(bytes.constData(), &st) != 0)
        return std::nullopt;
    ItemIdentity identity;
    identity.device = quint64(st.st_dev);
    identity.inode = quint64(st.st_ino);
    identity.size = qint64(st.st_size);
#ifdef Q_OS_DARWIN
    identity.modifiedNs = qint64(st.st_mtimespec.tv_sec) * 1000000000 + st.st_mtimespec.tv_nsec;
#else
    identity.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
    return identity;
#endif
}

QString defaultJournalFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + u"/journal"_s;
}

QStringList journalFiles(const QString& folder)
{
    QList<std::pair<qint64, QString>> found;
    const QStringList names = QDir(folder).entryList({u"run-*.journal"_s}, QDir::Files);
    for (const QString& name : names) {
        if (const std::optional<qint64> sequence = journalSequence(name))
            found.append({*sequence, QDir(folder).filePath(name)});
    }
    std::sort(found.begin(), found.end());
    QStringList paths;
    for (const auto& [sequence, path] : found)
        paths.append(path);
    return paths;
}

RenameJournal::RenameJournal(QString folder, RunKind kind)
    : m_folder(std::move(folder))
    , m_kind(kind)
{
}

RenameJournal::~RenameJournal()
{
    finish();
}

void RenameJournal::fail(const QString& reason)
{
    if (m_error.isEmpty())
        m_error = reason.isEmpty() ? u"記録を書き込めません"_s : reason;
    // Once a record is missing the journal stops: what it holds stays true.
    if (m_file.isOpen())
        m_file.close();
}

bool RenameJournal::open()
{
    if (!makeOwnerOnlyFolder(m_folder)) {
        fail(u"記録のフォルダを作れません: "_s + QDir::toNativeSeparators(m_folder));
        return false;
    }
    QStringList existing = journalFiles(m_folder);
    qint64 sequence =
        existing.isEmpty() ? 1 : *journalSequence(QFileInfo(existing.last()).fileName()) + 1;
    // This run's journal is one of those kept.
    while (existing.size() > kKeptRuns - 1)
        QFile::remove(existing.takeFirst());

    for (int attempt = 0; attempt < 100; ++attempt, ++sequence) {
        m_file.setFileName(QDir(m_folder).filePath(journalName(sequence)));
        if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered,
                        kOwnerOnlyFile))
            break;
        if (QFileInfo::exists(m_file.fileName()))
            continue; // another run took this number at the same moment
        fail(m_file.errorString());
        return false;
    }
    if (!m_file.isOpen()) {
        fail(QString());
        return false;
    }
    m_path = m_file.fileName();
    syncFolder(m_folder);
    const QByteArray header =
        kMagic.toByteArray() + '\t' + kVersion.toByteArray() + '\t'
        + (m_kind == RunKind::Undo ? "undo" : "rename") + '\t'
        + QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toLatin1();
    return append(header, false);
}

bool RenameJournal::append(const QByteArray& payload, bool sync)
{
    QByteArray record = payload + '\t';
    record += crcText(record) + '\n';
    if (m_file.write(record) != record.size()) {
        fail(m_file.errorString());
        return false;
    }
    if (sync) {
        if (const std::optional<QString> reason = syncToDisk(m_file)) {
            fail(*reason);
            return false;
        }
    }
    return true;
}

void RenameJournal::recordAttempt(const QString& from, const QString& to)
{
    m_attemptOpen = false;
    if (!m_error.isEmpty())
        return;
    if (!m_file.isOpen() && !open())
        return;
    ++m_sequence;
    m_lastTarget = to;
    // Forced to the disk before the rename: a rename that happened is always in the journal.
    m_attemptOpen = append(kAttempt.toByteArray() + '\t' + QByteArray::number(m_sequence) + '\t'
                               + pathField(from) + '\t' + pathField(to) + '\t'
                               + identityField(identityOf(from)),
                           true);
}

void RenameJournal::recordOutcome(bool renamed)
{
    m_renamedAny = m_renamedAny || renamed;
    if (!m_attemptOpen)
        return;
    m_attemptOpen = false;
    // Not forced on its own: the next attempt's sync (or the end of the run) takes it along,
    // and an outcome lost in between leaves an attempt that the disk itself answers.
    const QByteArray sequence = QByteArray::number(m_sequence);
    if (renamed)
        append(kRenamed.toByteArray() + '\t' + sequence + '\t'
                   + identityField(identityOf(m_lastTarget)),
               false);
    else
        append(kNotRenamed.toByteArray() + '\t' + sequence, false);
}

void RenameJournal::finish()
{
    if (!m_file.isOpen())
        return;
    if (m_renamedAny) {
        if (const std::optional<QString> reason = syncToDisk(m_file))
            fail(*reason);
        m_file.close();
        return;
    }
    m_file.close();
    QFile::remove(m_path);
}

JournalRead readJournal(const QString& path)
{
    const auto damaged = [&path](qsizetype line) {
        return JournalRead{std::nullopt,
                           u"%1（%2行目）"_s.arg(QDir::toNativeSeparators(path)).arg(line + 1)};
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, QDir::toNativeSeparators(path) + u": "_s + file.errorString()};
    const QByteArray data = file.readAll();
    QList<QByteArray> lines = data.split('\n');
    // The last piece has no line break: empty, or a record the program was writing when it
    // stopped. Such a record was never followed by anything it would vouch for.
    lines.removeLast();

    JournalContents contents;
    contents.path = path;
    qint64 lastAttempt = 0;
    bool outcomeSeen = true;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines.at(i);
        const qsizetype crcStart = line.lastIndexOf('\t') + 1;
        if (crcStart == 0 || crcText(QByteArrayView(line).first(crcStart)) != line.mid(crcStart))
            return damaged(i);
        const QList<QByteArray> fields = line.first(crcStart - 1).split('\t');
        if (i == 0) {
            if (fields.size() != 4 || fields[0] != kMagic || fields[1] != kVersion
                || (fields[2] != "rename" && fields[2] != "undo"))
                return damaged(i);
            contents.kind = fields[2] == "undo" ? RunKind::Undo : RunKind::Rename;
            continue;
        }
        bool numberOk = false;
        const qint64 sequence = fields.value(1).toLongLong(&numberOk);
        if (!numberOk)
            return damaged(i);
        if (fields[0] == kAttempt && fields.size() == 5) {
            // Attempts are numbered one after the other, each after the outcome of the last.
            if (sequence != lastAttempt + 1 || !outcomeSeen)
                return damaged(i);
            JournalEntry entry;
            const std::optional<QString> from = pathFromField(fields[2]);
            const std::optional<QString> to = pathFromField(fields[3]);
            if (!from || !to || !identityFromField(fields[4], entry.before))
                return damaged(i);
            entry.from = *from;
            entry.to = *to;
            contents.entries.append(entry);
            lastAttempt = sequence;
            outcomeSeen = false;
        } else if (fields[0] == kRenamed && fields.size() == 3) {
            if (sequence != lastAttempt || outcomeSeen)
                return damaged(i);
            JournalEntry& entry = contents.entries.last();
            if (!identityFromField(fields[2], entry.after))
                return damaged(i);
            entry.state = JournalEntry::State::Renamed;
            outcomeSeen = true;
        } else if (fields[0] == kNotRenamed && fields.size() == 2) {
            if (sequence != lastAttempt || outcomeSeen)
                return damaged(i);
            contents.entries.last().state = JournalEntry::State::NotRenamed;
            outcomeSeen = true;
        } else {
            return damaged(i);
        }
    }
    return {std::move(contents), QString()};
}

} // namespace quillet::journal
