#include "rename/filechecksum.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <future>
#include <utility>
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

    // Two buffers: the reader fills one while the other is summed. The future is declared
    // after them, so a read still running is waited for before they go.
    const auto bufferSize = static_cast<size_t>(qMin(blockSize, qMax<qint64>(length, 1)));
    std::vector<char> first(bufferSize);
    std::vector<char> second(bufferSize);
    char* current = first.data();
    char* next = second.data();
    const auto readBlock = [&file](char* buffer, qint64 size) { return file.read(buffer, size); };

    Crc crc(kind);
    qint64 offset = 0;
    std::future<qint64> pending;
    if (length > 0)
        pending = std::async(std::launch::async, readBlock, current, qMin(blockSize, length));
    while (offset < length) {
        progress.step(progressLabel(offset, length));
        const qint64 expected = qMin(blockSize, length - offset);
        const qint64 got = pending.get();
        if (got != expected) {
            progress.end();
            return std::nullopt; // unreadable, or shorter than it was
        }
        const qint64 following = offset + got;
        if (following < length)
            pending = std::async(std::launch::async, readBlock, next,
                                 qMin(blockSize, length - following));
        crc.update(current, static_cast<size_t>(got));
        offset = following;
        std::swap(current, next);
    }
    const QString text = crc.text();
    progress.step(u"100%取得"_s);
    progress.end();
    return text;
}

} // namespace quillet::rename
