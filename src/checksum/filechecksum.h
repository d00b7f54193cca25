#pragma once

#include "checksum/crc.h"

#include <QString>

#include <optional>

namespace quillet::checksum {

// Follows a checksum computation: the caption once, then label texts at fixed points.
class ChecksumProgress {
public:
    virtual ~ChecksumProgress() = default;
    virtual void begin(const QString& caption) = 0;
    virtual void step(const QString& label) = 0;
    // Told just before each label: the bytes summed so far of how many.
    virtual void reached(qint64 offset, qint64 length)
    {
        Q_UNUSED(offset);
        Q_UNUSED(length);
    }
    virtual void end() = 0;
    // Asked between reads, from the reading thread: true ends the checksum as stopped.
    [[nodiscard]] virtual bool stopRequested() const { return false; }
};

// A checksum, or why there is none, in words for the user.
struct ChecksumResult {
    std::optional<QString> text; // 4 or 8 upper-case hexadecimal digits
    std::uint32_t value = 0;
    QString failure;      // when there is no text
    bool stopped = false; // the progress asked to stop
};

// Why a checksum was stopped.
inline constexpr QStringView kChecksumStoppedReason = u"中止しました";

inline constexpr qint64 kChecksumBlockBytes = 1'000'000;

// "16bitCRC取得中..." or "32bitCRC取得中...".
[[nodiscard]] QString checksumCaption(ChecksumKind kind);

// The label before the block at `offset`: the share done, rounded half to even, + "%取得".
[[nodiscard]] QString progressLabel(qint64 offset, qint64 length);

// Files from this size on are summed by two threads sharing the file in chunks (when the
// processor has two cores and the file is in the page cache; the second thread joins once the
// first has read a stretch alone, and leaves when the two read slower than the first alone, or
// as soon as it finds itself starved of a core). Starting and ending the threads costs about 0.1 ms
// (measured on a cached 2 MiB file: 229 us with two threads, 144 us with one), as much as summing 1
// to 2 MiB; from 8 MiB on it is a small share of the time however the readers fare.
inline constexpr qint64 kTwoThreadChecksumBytes = 8 << 20;

// Who reads and sums the file: chosen by its size and by how busy the machine is, or forced
// (tests and benchmarks compare the ways on the same file; Two keeps the second reader to the
// end however busy the machine).
enum class ChecksumThreads { Automatic, One, Two };

// How the reading was shared, for benchmarks and tests.
struct ChecksumReaders {
    qint64 helperBytes = 0; // summed by the second thread; 0 when it never ran or found none
};

// The checksum of the whole file as 4 or 8 upper-case hexadecimal digits. The progress labels
// come from the calling thread, once per block of blockFactor x 1,000,000 bytes, also when two
// threads share the reading meanwhile. Fails before any progress is shown when the path is
// no file; fails (after closing the progress) when the file cannot be opened or read to its
// end, when its size or modification time after the reading differs from before it, when
// another file took its path meanwhile, or when the progress asks to stop. Each failure
// carries its reason.
[[nodiscard]] ChecksumResult FileChecksum(const QString& path, ChecksumKind kind,
                                          ChecksumProgress& progress, int blockFactor = 1,
                                          ChecksumThreads threads = ChecksumThreads::Automatic,
                                          ChecksumReaders* readers = nullptr);

} // namespace quillet::checksum
