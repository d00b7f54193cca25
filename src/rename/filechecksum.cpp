#include "rename/filechecksum.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <atomic>
#include <cmath>
#include <semaphore>
#include <thread>
#include <vector>

namespace quillet::rename {

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

// Reads a file's blocks in order on a thread of its own, into buffers that take turns: the
// next blocks are read while the current one is summed. Memory stays at a few blocks,
// whatever the file's size.
class BlockReader {
public:
    // Three buffers keep the reader ahead even when a block takes a little longer to sum.
    static constexpr int kBuffers = 3;
    BlockReader(QFile& file, qint64 length, qint64 blockSize)
        : m_file(file)
        , m_length(length)
        , m_blockSize(blockSize)
    {
        const auto bufferSize = static_cast<size_t>(qMin(blockSize, qMax<qint64>(length, 1)));
        for (Buffer& buffer : m_buffers)
            buffer.bytes.resize(bufferSize);
        m_thread = std::thread([this] { run(); });
    }

    ~BlockReader()
    {
        m_stop = true;
        m_free.release(kBuffers); // wake the reader if it waits for a buffer
        m_thread.join();
    }

    struct Block {
        const char* data = nullptr;
        qint64 size = 0; // -1: the read failed
    };

    // The next block in file order; hand it back with release() once it is summed.
    Block next()
    {
        m_filled.acquire();
        const Buffer& buffer = m_buffers[m_taken++ % kBuffers];
        return {buffer.bytes.data(), buffer.size};
    }
    void release() { m_free.release(); }

private:
    struct Buffer {
        std::vector<char> bytes;
        qint64 size = 0;
    };

    void run()
    {
        for (qint64 offset = 0, index = 0; offset < m_length && !m_stop; ++index) {
            m_free.acquire();
            if (m_stop)
                return;
            Buffer& buffer = m_buffers[index % kBuffers];
            const qint64 wanted = qMin(m_blockSize, m_length - offset);
            const qint64 got = m_file.read(buffer.bytes.data(), wanted);
            buffer.size = got == wanted ? got : -1; // unreadable, or shorter than it was
            m_filled.release();
            if (buffer.size < 0)
                return;
            offset += got;
        }
    }

    QFile& m_file;
    const qint64 m_length;
    const qint64 m_blockSize;
    std::array<Buffer, kBuffers> m_buffers;
    std::counting_semaphore<2 * kBuffers> m_free{kBuffers};
    std::counting_semaphore<2 * kBuffers> m_filled{0};
    std::atomic<bool> m_stop{false};
    qint64 m_taken = 0;
    std::thread m_thread;
};

} // namespace

std::optional<QString> FileChecksum(const QString& path, ChecksumKind kind,
                                    ChecksumProgress& progress, int blockFactor)
{
    if (!QFileInfo(path).isFile())
        return std::nullopt;

    progress.begin(checksumCaption(kind));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        progress.end();
        return std::nullopt;
    }
    const qint64 length = file.size();
    const qint64 blockSize = qMax(1, blockFactor) * kChecksumBlockBytes;

    Crc crc(kind);
    {
        BlockReader reader(file, length, blockSize);
        for (qint64 offset = 0; offset < length;) {
            progress.step(progressLabel(offset, length));
            const BlockReader::Block block = reader.next();
            if (block.size < 0) {
                progress.end();
                return std::nullopt;
            }
            crc.update(block.data, static_cast<size_t>(block.size));
            reader.release();
            offset += block.size;
        }
    }
    const QString text = crc.text();
    progress.step(u"100%取得"_s);
    progress.end();
    return text;
}

} // namespace quillet::rename
