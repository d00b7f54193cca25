#include "checksum/filechecksum.h"

#include "batch/nativepath.h"
#include "checksum/secondreaderjudge.h"
#include "datafile/systemerror.h"

#include <QtGlobal>

#if defined(Q_OS_WIN)
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#else
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

namespace quillet::checksum {

using namespace Qt::Literals::StringLiterals;

QString checksumCaption(ChecksumKind kind)
{
    return kind == ChecksumKind::Crc16 ? u"16bitCRC取得中..."_s : u"32bitCRC取得中..."_s;
}

QString progressLabel(qint64 offset, qint64 length)
{
    const double share = length > 0 ? double(offset) / double(length) * 100.0 : 0.0;
    return QString::number(static_cast<qint64>(std::nearbyint(share))) + u"%取得"_s;
}

namespace {

double secondsNow()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Bytes taken by one read. The copy out of the page cache costs more than the summing; with
// reads of 1 MiB the calls themselves cost little (measured: 64 KiB reads take a third more
// CPU per GiB than 1 MiB ones, 4 MiB ones no less), and the buffer still sits in the core's own
// cache when it is summed right after.
constexpr qint64 kReadBytes = 1 << 20;

// How a read, or a run of them, ended: 0 when all went well, an errno value when the system
// refused, or one of these.
using ReadStatus = int;
constexpr ReadStatus kReadDone = 0;
constexpr ReadStatus kEndedEarly = -1; // the file ended before its length
constexpr ReadStatus kStopped = -2;    // the progress asked to stop

QString readFailureReason(ReadStatus status)
{
    switch (status) {
    case kEndedEarly: return u"読んでいる間にファイルが短くなりました"_s;
    case kStopped: return kChecksumStoppedReason.toString();
    default: return datafile::systemErrorReason(status);
    }
}

// What must be the same after the reading as before it: otherwise the bytes summed may belong
// to no version of the file that ever existed.
struct FileStamp {
    qint64 size = 0;
    qint64 modifiedSeconds = 0;
    qint64 modifiedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

#if !defined(Q_OS_WIN)

// Why the path names no file that can be summed; nothing when it names one.
std::optional<QString> notAFile(const QString& path)
{
    struct stat status {};
    if (::stat(batch::nativeBytesFromPath(path).constData(), &status) != 0)
        return datafile::systemErrorReason(errno);
    if (S_ISDIR(status.st_mode))
        return datafile::systemErrorReason(EISDIR);
    if (!S_ISREG(status.st_mode))
        return u"通常のファイルではありません"_s;
    return std::nullopt;
}

// A file opened by its exact name bytes, read at offsets (pread keeps no shared position, so
// two threads read it at once). Plain reads, never a mapping: a file cut short meanwhile gives a
// short read, not a fault.
class ChecksumFile {
public:
    explicit ChecksumFile(const QString& path)
        : m_path(batch::nativeBytesFromPath(path))
        , m_fd(::open(m_path.constData(), O_RDONLY | O_CLOEXEC))
        , m_openError(m_fd < 0 ? errno : 0)
    {
        // From a disk the file is read in order: the kernel may read further ahead.
#ifdef POSIX_FADV_SEQUENTIAL
        if (m_fd >= 0)
            ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    }
    ~ChecksumFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    ChecksumFile(const ChecksumFile&) = delete;
    ChecksumFile& operator=(const ChecksumFile&) = delete;

    [[nodiscard]] bool isOpen() const
    {
        return m_fd >= 0;
    }
    // Why it could not be opened.
    [[nodiscard]] QString openFailure() const
    {
        return datafile::systemErrorReason(m_openError);
    }

    // Why the path no longer names the file that was read: another program may have removed it
    // or put a new file in its place meanwhile, which the open descriptor does not see.
    [[nodiscard]] std::optional<QString> goneFromItsPath() const
    {
        struct stat atPath {};
        struct stat opened {};
        if (::stat(m_path.constData(), &atPath) != 0)
            return u"読んでいる間にファイルが移動または削除されました"_s;
        if (::fstat(m_fd, &opened) != 0 || atPath.st_dev != opened.st_dev
            || atPath.st_ino != opened.st_ino)
            return u"読んでいる間に別のファイルに置き換えられました"_s;
        return std::nullopt;
    }

    [[nodiscard]] std::optional<FileStamp> stamp() const
    {
        struct stat status {};
        if (::fstat(m_fd, &status) != 0 || !S_ISREG(status.st_mode))
            return std::nullopt;
#if defined(__APPLE__)
        const timespec& modified = status.st_mtimespec;
#else
        const timespec& modified = status.st_mtim;
#endif
        return FileStamp{qint64(status.st_size), qint64(modified.tv_sec), qint64(modified.tv_nsec)};
    }

    // Whether the file looks to be in the page cache: a few bytes spread over it can be read
    // without waiting for the disk. Unknown (no such probe here) counts as cached.
    [[nodiscard]] bool looksCached(qint64 length) const
    {
#ifdef RWF_NOWAIT
        constexpr int kProbes = 8;
        for (int i = 0; i < kProbes; ++i) {
            char byte = 0;
            iovec vector{&byte, 1};
            const off_t offset = off_t(length / kProbes * i);
            if (::preadv2(m_fd, &vector, 1, offset, RWF_NOWAIT) < 0)
                return errno != EAGAIN;
        }
#else
        Q_UNUSED(length);
#endif
        return true;
    }

    // Exactly `size` bytes from `offset` on.
    [[nodiscard]] ReadStatus readAt(char* buffer, qint64 size, qint64 offset) const
    {
        while (size > 0) {
            const ssize_t got = ::pread(m_fd, buffer, size_t(size), off_t(offset));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return errno;
            if (got == 0)
                return kEndedEarly;
            buffer += got;
            size -= got;
            offset += got;
        }
        return kReadDone;
    }

private:
    QByteArray m_path;
    int m_fd;
    int m_openError;
};

#else

std::optional<QString> notAFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return datafile::systemErrorReason(ENOENT);
    if (info.isDir())
        return datafile::systemErrorReason(EISDIR);
    if (!info.isFile())
        return u"通常のファイルではありません"_s;
    return std::nullopt;
}

// The same through QFile; its reads share one position, so they take turns.
class ChecksumFile {
public:
    explicit ChecksumFile(const QString& path)
        : m_file(path)
    {
        m_file.open(QIODevice::ReadOnly);
    }

    [[nodiscard]] bool isOpen() const { return m_file.isOpen(); }
    [[nodiscard]] QString openFailure() const { return m_file.errorString(); }
    [[nodiscard]] bool looksCached(qint64) const { return true; }
    [[nodiscard]] std::optional<QString> goneFromItsPath() const { return std::nullopt; }

    [[nodiscard]] std::optional<FileStamp> stamp() const
    {
        const std::lock_guard lock(m_mutex);
        const QDateTime modified = m_file.fileTime(QFileDevice::FileModificationTime);
        return FileStamp{m_file.size(), modified.toMSecsSinceEpoch(), 0};
    }

    [[nodiscard]] ReadStatus readAt(char* buffer, qint64 size, qint64 offset) const
    {
        const std::lock_guard lock(m_mutex);
        if (!m_file.seek(offset))
            return kEndedEarly;
        while (size > 0) {
            const qint64 got = m_file.read(buffer, size);
            if (got < 0)
                return EIO;
            if (got == 0)
                return kEndedEarly;
            buffer += got;
            size -= got;
        }
        return kReadDone;
    }

private:
    mutable QFile m_file;
    mutable std::mutex m_mutex;
};

#endif

// Sums the bytes [begin, end) into `crc`, one read after the other, asking `goOn` after each
// whether to go on (kReadDone) or how to end.
template <typename GoOn>
ReadStatus sumRange(const ChecksumFile& file, Crc& crc, qint64 begin, qint64 end,
                    std::span<char> buffer, GoOn&& goOn)
{
    for (qint64 offset = begin; offset < end;) {
        const qint64 n = std::min<qint64>(qint64(buffer.size()), end - offset);
        if (const ReadStatus status = file.readAt(buffer.data(), n, offset); status != kReadDone)
            return status;
        crc.update(buffer.data(), size_t(n));
        offset += n;
        if (const ReadStatus status = goOn(); status != kReadDone)
            return status;
    }
    return kReadDone;
}

void tellProgress(ChecksumProgress& progress, qint64 offset, qint64 length)
{
    progress.reached(offset, length);
    progress.step(progressLabel(offset, length));
}

ReadStatus stopAsked(const ChecksumProgress& progress)
{
    return progress.stopRequested() ? kStopped : kReadDone;
}

// A sum, or how its reading ended.
struct SumOutcome {
    std::uint32_t value = 0;
    ReadStatus status = kReadDone;
};

// A buffer for one thread's reads. The buffers are kept for the next checksum rather than
// freed: a fresh buffer costs a page fault for every 4 KiB the first read writes, and on a
// virtual machine those faults took longer than the reading itself (measured: two threads over
// a cached 4 MiB file 30 ms with fresh buffers, under 1 ms with kept ones).
class ReadBuffer {
public:
    ReadBuffer()
    {
        const std::lock_guard lock(keptMutex());
        if (!kept().empty()) {
            m_bytes = std::move(kept().back());
            kept().pop_back();
        }
        if (!m_bytes) {
            m_bytes = std::make_unique_for_overwrite<char[]>(size_t(kReadBytes));
            // Its pages are faulted in now, before any reading is timed.
            std::memset(m_bytes.get(), 0, size_t(kReadBytes));
        }
    }
    ~ReadBuffer()
    {
        const std::lock_guard lock(keptMutex());
        if (kept().size() < kKept)
            kept().push_back(std::move(m_bytes));
    }
    ReadBuffer(const ReadBuffer&) = delete;
    ReadBuffer& operator=(const ReadBuffer&) = delete;

    [[nodiscard]] std::span<char> span() const { return {m_bytes.get(), size_t(kReadBytes)}; }

private:
    static constexpr size_t kKept = 2; // as many as threads read at once
    static std::mutex& keptMutex()
    {
        static std::mutex mutex;
        return mutex;
    }
    static std::vector<std::unique_ptr<char[]>>& kept()
    {
        static std::vector<std::unique_ptr<char[]>> buffers;
        return buffers;
    }

    std::unique_ptr<char[]> m_bytes;
};

// The calling thread reads and sums, block after block.
SumOutcome sumOnThisThread(const ChecksumFile& file, ChecksumKind kind, qint64 length,
                           qint64 blockSize, ChecksumProgress& progress)
{
    Crc crc(kind);
    const ReadBuffer buffer;
    for (qint64 offset = 0; offset < length; offset += blockSize) {
        tellProgress(progress, offset, length);
        if (const ReadStatus status =
                sumRange(file, crc, offset, std::min(offset + blockSize, length), buffer.span(),
                         [&progress] { return stopAsked(progress); });
            status != kReadDone)
            return {0, status};
    }
    return {crc.value(), kReadDone};
}

// Two readers share the file in chunks: the calling thread and a helper take the next chunk in
// turn and sum it on its own; the chunks' checksums are combined in order at the end. Shared
// chunks rather than fixed halves, because a reader that gets less of a core than the other
// then simply reads fewer chunks instead of holding up the end. The calling thread tells the
// progress between its chunks, the labels the same as with one thread, only bunched.
//
// Halves made a busy machine slower than one thread: the half whose thread got less of a core
// held up the end. Shared chunks take what each reader gets (with a spinning process on the
// other core two readers still finished in 0.77 of one reader's time, measured on a 1 GiB
// file). Whether the helper pays is still judged by the speed itself (SecondReaderJudge): the
// caller reads the first chunks alone, and the helper leaves once the two read slower than the
// caller did alone. A reader that hardly gets a core at all costs more in switching and in the
// last chunk it holds than it reads, sooner than that judgement comes: each measures the share
// of a core it got over its last chunks, and the helper leaves for good once either got less
// than kStarvedShare.
class SharedSum {
public:
    SharedSum(const ChecksumFile& file, ChecksumKind kind, qint64 length, bool helperStays)
        : m_file(file)
        , m_kind(kind)
        , m_length(length)
        , m_chunks((length + kChunkBytes - 1) / kChunkBytes)
        , m_crcs(size_t(m_chunks))
        , m_helperStays(helperStays)
    {
    }

    SumOutcome run(qint64 blockSize, ChecksumProgress& progress, ChecksumReaders* readers)
    {
        m_progress = &progress;
        qint64 offset = 0; // the next label's
        const auto showDone = [&](qint64 done) {
            for (; offset < m_length && offset <= done; offset += blockSize)
                tellProgress(progress, offset, m_length);
        };
        {
            std::jthread helper;
            const auto startHelper = [this, &helper] {
                helper = std::jthread([this] { read(kHelper); });
            };
            if (m_helperStays) {
                startHelper();
                read(kCaller, showDone);
            } else {
                // The caller reads alone first and judges from its rate whether the helper pays.
                SecondReaderJudge judge(secondsNow());
                read(kCaller, [&](qint64 done) {
                    showDone(done);
                    switch (judge.chunkDone(done, secondsNow())) {
                    case SecondReaderJudge::Step::StartSecondReader: startHelper(); break;
                    case SecondReaderJudge::Step::SecondReaderLeaves: m_helperLeft = true; break;
                    case SecondReaderJudge::Step::ReadAlone:
                    case SecondReaderJudge::Step::ReadTogether: break;
                    }
                });
            }
        } // the helper has ended here
        if (readers)
            readers->helperBytes = m_helperBytes;
        if (const ReadStatus status = m_status.load(); status != kReadDone)
            return {0, status};
        showDone(m_length);
        if (m_chunks == 0)
            return {Crc(m_kind).value(), kReadDone};
        std::uint32_t crc = m_crcs[0];
        for (qint64 i = 1; i < m_chunks; ++i)
            crc = combineCrc(m_kind, crc, m_crcs[size_t(i)], std::uint64_t(chunkLength(i)));
        return {crc, kReadDone};
    }

private:
    // 4 MiB: a few milliseconds of reading, so the progress stays lively, the share of a core
    // is measured over a fair stretch and combining hundreds of chunk checksums costs nothing.
    static constexpr qint64 kChunkBytes = 4 << 20;
    // The share of a core is judged over a reader's last this many chunks, once it has them.
    static constexpr int kWindow = 8;
    static constexpr double kStarvedShare = 0.1;
    static constexpr int kCaller = 0;
    static constexpr int kHelper = 1;

    [[nodiscard]] qint64 chunkLength(qint64 chunk) const
    {
        return std::min(kChunkBytes, m_length - chunk * kChunkBytes);
    }

    template <typename AfterChunk = void (*)(qint64)>
    void read(
        int reader, AfterChunk&& afterChunk = [](qint64) {})
    {
        ShareClock clock;
        for (;;) {
            if (reader == kHelper && m_helperLeft.load(std::memory_order_relaxed))
                return;
            const qint64 chunk = m_nextChunk.fetch_add(1, std::memory_order_relaxed);
            if (chunk >= m_chunks || m_status.load(std::memory_order_relaxed) != kReadDone)
                return;
            const qint64 begin = chunk * kChunkBytes;
            const qint64 end = begin + chunkLength(chunk);
            Crc crc(m_kind);
            // Only the caller asks the progress; the helper ends when the caller did.
            const auto goOn = [this, reader] {
                const ReadStatus status = m_status.load(std::memory_order_relaxed);
                return status == kReadDone && reader == kCaller ? stopAsked(*m_progress) : status;
            };
            if (const ReadStatus status =
                    sumRange(m_file, crc, begin, end, m_buffers[reader].span(), goOn);
                status != kReadDone) {
                ReadStatus none = kReadDone;
                m_status.compare_exchange_strong(none, status);
                return;
            }
            m_crcs[size_t(chunk)] = crc.value();
            const qint64 done = m_done.fetch_add(end - begin) + (end - begin);
            if (reader == kHelper)
                m_helperBytes += end - begin;
            m_share[reader].store(clock.chunkDone(), std::memory_order_relaxed);
            if (reader == kHelper && !m_helperStays
                && std::min(m_share[kCaller].load(std::memory_order_relaxed),
                            m_share[kHelper].load(std::memory_order_relaxed))
                       < kStarvedShare)
                m_helperLeft = true;
            afterChunk(done);
        }
    }

    // A reader's share of a core over its last kWindow chunks: the thread's CPU time against the
    // time gone by. 1 until it has read that many, or where threads have no CPU clock.
    class ShareClock {
    public:
        ShareClock() { m_marks[0] = now(); }
        double chunkDone()
        {
            ++m_count;
            m_marks[m_count % (kWindow + 1)] = now();
            if (m_count < kWindow)
                return 1.0;
            const Mark& first = m_marks[(m_count - kWindow) % (kWindow + 1)];
            const Mark& last = m_marks[m_count % (kWindow + 1)];
            const double wall = last.wall - first.wall;
            return wall > 0 && last.cpu >= 0 ? (last.cpu - first.cpu) / wall : 1.0;
        }

    private:
        struct Mark {
            double wall = 0;
            double cpu = -1;
        };
        static Mark now()
        {
            Mark mark;
            mark.wall = secondsNow();
#if !defined(Q_OS_WIN)
            timespec cpu{};
            if (::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu) == 0)
                mark.cpu = double(cpu.tv_sec) + double(cpu.tv_nsec) / 1e9;
#endif
            return mark;
        }
        Mark m_marks[kWindow + 1];
        int m_count = 0;
    };

    const ChecksumFile& m_file;
    const ChecksumKind m_kind;
    const qint64 m_length;
    const qint64 m_chunks;
    std::vector<std::uint32_t> m_crcs; // each chunk's own, written by the reader that read it
    const bool m_helperStays;
    const ReadBuffer m_buffers[2];
    std::atomic<qint64> m_nextChunk{0};
    std::atomic<qint64> m_done{0}; // bytes summed by both readers
    std::atomic<double> m_share[2] = {1.0, 1.0};
    std::atomic<bool> m_helperLeft{false};
    std::atomic<ReadStatus> m_status{kReadDone}; // how the first reader to fail ended
    const ChecksumProgress* m_progress = nullptr;
    qint64 m_helperBytes = 0; // the helper's own count, read after it ended
};

bool useTwoThreads(ChecksumThreads threads, const ChecksumFile& file, qint64 length)
{
    switch (threads) {
    case ChecksumThreads::One: return false;
    case ChecksumThreads::Two: return true;
    case ChecksumThreads::Automatic: break;
    }
    // Two threads pay where the bytes come from memory. From the disk, two reading places at
    // once only make the disk seek between them: one sequential reader is faster there.
    return length >= kTwoThreadChecksumBytes && std::thread::hardware_concurrency() >= 2
           && file.looksCached(length);
}

} // namespace

ChecksumResult FileChecksum(const QString& path, ChecksumKind kind, ChecksumProgress& progress,
                            int blockFactor, ChecksumThreads threads, ChecksumReaders* readers)
{
    if (std::optional<QString> reason = notAFile(path))
        return {std::nullopt, 0, std::move(*reason), false};

    progress.begin(checksumCaption(kind));
    const auto fail = [&progress](QString reason, bool stopped = false) {
        progress.end();
        return ChecksumResult{std::nullopt, 0, std::move(reason), stopped};
    };
    const ChecksumFile file(path);
    if (!file.isOpen())
        return fail(file.openFailure());
    const std::optional<FileStamp> before = file.stamp();
    if (!before)
        return fail(datafile::systemErrorReason(EISDIR));
    const qint64 length = before->size;
    const qint64 blockSize = qMax(1, blockFactor) * kChecksumBlockBytes;

    if (readers)
        *readers = {};
    const SumOutcome sum = useTwoThreads(threads, file, length)
                               ? SharedSum(file, kind, length, threads == ChecksumThreads::Two)
                                     .run(blockSize, progress, readers)
                               : sumOnThisThread(file, kind, length, blockSize, progress);
    // Only the calling thread asks between reads, and the helper may have read every chunk:
    // a stop asked for meanwhile still counts.
    if (sum.status == kStopped || progress.stopRequested())
        return fail(readFailureReason(kStopped), true);
    // A file written while it was read, even within its old size, is summed over a mix of old
    // and new bytes: no checksum for it.
    if (const std::optional<FileStamp> after = file.stamp(); after != before) {
        if (after && after->size < before->size)
            return fail(readFailureReason(kEndedEarly));
        return fail(u"読んでいる間にファイルが変更されました"_s);
    }
    if (sum.status != kReadDone)
        return fail(readFailureReason(sum.status));
    if (std::optional<QString> gone = file.goneFromItsPath())
        return fail(std::move(*gone));

    QString text = checksumText(kind, sum.value);
    progress.reached(length, length);
    progress.step(u"100%取得"_s);
    progress.end();
    return {std::move(text), sum.value, {}, false};
}

} // namespace quillet::checksum
