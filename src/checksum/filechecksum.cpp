#include "checksum/filechecksum.h"

#include "batch/nativepath.h"

#include <QtGlobal>

#if defined(Q_OS_WIN)
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <limits>
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

// Bytes taken by one read. The copy out of the page cache costs more than the summing; with
// reads of 1 MiB the calls themselves cost little (measured: 64 KiB reads take a third more
// CPU per GiB than 1 MiB ones, 4 MiB ones no less), and the buffer still sits in the core's own
// cache when it is summed right after.
constexpr qint64 kReadBytes = 1 << 20;

// What must be the same after the reading as before it: otherwise the bytes summed may belong
// to no version of the file that ever existed.
struct FileStamp {
    qint64 size = 0;
    qint64 modifiedSeconds = 0;
    qint64 modifiedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

#if !defined(Q_OS_WIN)

bool isRegularFile(const QString& path)
{
    struct stat status {};
    return ::stat(batch::nativeBytesFromPath(path).constData(), &status) == 0
           && S_ISREG(status.st_mode);
}

// A file opened by its exact name bytes, read at offsets (pread keeps no shared position, so
// two threads read it at once). Plain reads, never a mapping: a file cut short meanwhile gives a
// short read, not a fault.
class ChecksumFile {
public:
    explicit ChecksumFile(const QString& path)
        : m_path(batch::nativeBytesFromPath(path))
        , m_fd(::open(m_path.constData(), O_RDONLY | O_CLOEXEC))
    {
    }
    ~ChecksumFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    ChecksumFile(const ChecksumFile&) = delete;
    ChecksumFile& operator=(const ChecksumFile&) = delete;

    [[nodiscard]] bool isOpen() const { return m_fd >= 0; }

    // Whether the path still names the file that was read: another program may have put a new
    // file in its place meanwhile, which the open descriptor does not see.
    [[nodiscard]] bool stillAtItsPath() const
    {
        struct stat atPath {};
        struct stat opened {};
        return ::stat(m_path.constData(), &atPath) == 0 && ::fstat(m_fd, &opened) == 0
               && atPath.st_dev == opened.st_dev && atPath.st_ino == opened.st_ino;
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

    // Exactly `size` bytes from `offset` on; false when the file ends before or cannot be read.
    [[nodiscard]] bool readAt(char* buffer, qint64 size, qint64 offset) const
    {
        while (size > 0) {
            const ssize_t got = ::pread(m_fd, buffer, size_t(size), off_t(offset));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            buffer += got;
            size -= got;
            offset += got;
        }
        return true;
    }

private:
    QByteArray m_path;
    int m_fd;
};

#else

bool isRegularFile(const QString& path)
{
    return QFileInfo(path).isFile();
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
    [[nodiscard]] bool looksCached(qint64) const { return true; }
    [[nodiscard]] bool stillAtItsPath() const { return true; }

    [[nodiscard]] std::optional<FileStamp> stamp() const
    {
        const std::lock_guard lock(m_mutex);
        const QDateTime modified = m_file.fileTime(QFileDevice::FileModificationTime);
        return FileStamp{m_file.size(), modified.toMSecsSinceEpoch(), 0};
    }

    [[nodiscard]] bool readAt(char* buffer, qint64 size, qint64 offset) const
    {
        const std::lock_guard lock(m_mutex);
        if (!m_file.seek(offset))
            return false;
        while (size > 0) {
            const qint64 got = m_file.read(buffer, size);
            if (got <= 0)
                return false;
            buffer += got;
            size -= got;
        }
        return true;
    }

private:
    mutable QFile m_file;
    mutable std::mutex m_mutex;
};

#endif

// Sums the bytes [begin, end) into `crc`, one read after the other, telling `afterRead` the
// size of each; false when a read fails or `afterRead` says to stop.
template <typename AfterRead>
bool sumRange(const ChecksumFile& file, Crc& crc, qint64 begin, qint64 end, std::span<char> buffer,
              AfterRead&& afterRead)
{
    for (qint64 offset = begin; offset < end;) {
        const qint64 n = std::min<qint64>(qint64(buffer.size()), end - offset);
        if (!file.readAt(buffer.data(), n, offset))
            return false;
        crc.update(buffer.data(), size_t(n));
        offset += n;
        if (!afterRead(n))
            return false;
    }
    return true;
}

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
        if (!m_bytes)
            m_bytes = std::make_unique_for_overwrite<char[]>(size_t(kReadBytes));
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
std::optional<std::uint32_t> sumOnThisThread(const ChecksumFile& file, ChecksumKind kind,
                                             qint64 length, qint64 blockSize,
                                             ChecksumProgress& progress)
{
    Crc crc(kind);
    const ReadBuffer buffer;
    for (qint64 offset = 0; offset < length; offset += blockSize) {
        progress.step(progressLabel(offset, length));
        if (!sumRange(file, crc, offset, std::min(offset + blockSize, length), buffer.span(),
                      [](qint64) { return true; }))
            return std::nullopt;
    }
    return crc.value();
}

// Two threads read and sum one half of the file each; their checksums are combined. The
// calling thread only shows the progress: it waits until both together have read as much as
// the next label stands for and then shows it, so the labels are the same as with one thread.
class HalvesSum {
public:
    HalvesSum(const ChecksumFile& file, ChecksumKind kind, qint64 length)
        : m_file(file)
        , m_kind(kind)
        , m_length(length)
        // The halves meet at a page boundary, so that every read of the page cache is whole
        // pages.
        , m_middle((length / 2) & ~qint64(4095))
    {
    }

    std::optional<std::uint32_t> run(qint64 blockSize, ChecksumProgress& progress)
    {
        {
            std::jthread first([this] { sumHalf(0, 0, m_middle); });
            std::jthread second([this] { sumHalf(1, m_middle, m_length); });
            showProgress(blockSize, progress);
        } // both threads have ended here
        if (m_failed)
            return std::nullopt;
        return combineCrc(m_kind, m_crcs[0], m_crcs[1], std::uint64_t(m_length - m_middle));
    }

private:
    static constexpr qint64 kNobodyWaits = std::numeric_limits<qint64>::max();

    void sumHalf(int half, qint64 begin, qint64 end)
    {
        Crc crc(m_kind);
        const bool read =
            sumRange(m_file, crc, begin, end, m_buffers[half].span(), [this](qint64 n) {
                bool wake = false;
                {
                    const std::lock_guard lock(m_mutex);
                    m_done += n;
                    wake = m_done >= m_wanted;
                }
                if (wake)
                    m_changed.notify_one();
                return !m_stop.load(std::memory_order_relaxed);
            });
        m_crcs[half] = crc.value();
        {
            const std::lock_guard lock(m_mutex);
            --m_running;
            if (!read)
                m_failed = true;
        }
        if (!read)
            m_stop = true; // the other half is of no use any more
        m_changed.notify_one();
    }

    void showProgress(qint64 blockSize, ChecksumProgress& progress)
    {
        // At memory speed a block is read in tens of microseconds. Waking up for each would take
        // a good part of a core from the reading, so after showing what is done the thread
        // waits a moment before it looks again; the labels stay the same, only bunched.
        constexpr auto kPause = std::chrono::milliseconds(5);
        std::unique_lock lock(m_mutex);
        for (qint64 offset = 0; offset < m_length && !m_failed;) {
            m_wanted = offset;
            m_changed.wait(lock, [&] { return m_done >= offset || m_failed; });
            m_wanted = kNobodyWaits;
            if (m_failed)
                break;
            const qint64 done = m_done;
            lock.unlock();
            for (; offset < m_length && offset <= done; offset += blockSize)
                progress.step(progressLabel(offset, m_length));
            lock.lock();
            if (offset < m_length)
                m_changed.wait_for(lock, kPause, [&] { return m_failed || m_running == 0; });
        }
        m_changed.wait(lock, [&] { return m_running == 0; });
    }

    const ChecksumFile& m_file;
    const ChecksumKind m_kind;
    const qint64 m_length;
    const qint64 m_middle;
    const ReadBuffer m_buffers[2];
    std::uint32_t m_crcs[2] = {};

    std::mutex m_mutex;
    std::condition_variable m_changed;
    qint64 m_done = 0;              // bytes read by both threads together
    qint64 m_wanted = kNobodyWaits; // the count the progress waits for
    int m_running = 2;
    bool m_failed = false;
    std::atomic<bool> m_stop{false};
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

std::optional<QString> FileChecksum(const QString& path, ChecksumKind kind,
                                    ChecksumProgress& progress, int blockFactor,
                                    ChecksumThreads threads)
{
    if (!isRegularFile(path))
        return std::nullopt;

    progress.begin(checksumCaption(kind));
    const auto fail = [&progress] {
        progress.end();
        return std::optional<QString>();
    };
    const ChecksumFile file(path);
    const std::optional<FileStamp> before = file.isOpen() ? file.stamp() : std::nullopt;
    if (!before)
        return fail();
    const qint64 length = before->size;
    const qint64 blockSize = qMax(1, blockFactor) * kChecksumBlockBytes;

    const std::optional<std::uint32_t> value =
        useTwoThreads(threads, file, length)
            ? HalvesSum(file, kind, length).run(blockSize, progress)
            : sumOnThisThread(file, kind, length, blockSize, progress);
    // A file written while it was read, even within its old size, is summed over a mix of old
    // and new bytes: no checksum for it.
    if (!value || file.stamp() != before || !file.stillAtItsPath())
        return fail();

    const QString text = checksumText(kind, *value);
    progress.step(u"100%取得"_s);
    progress.end();
    return text;
}

} // namespace quillet::checksum
