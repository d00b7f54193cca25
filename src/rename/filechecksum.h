#pragma once

#include "rename/crc.h"

#include <QString>

#include <optional>

namespace quillet::rename {

// Follows a checksum computation: the caption once, then label texts at fixed points.
class ChecksumProgress {
public:
    virtual ~ChecksumProgress() = default;
    virtual void begin(const QString& caption) = 0;
    virtual void step(const QString& label) = 0;
    virtual void end() = 0;
};

inline constexpr qint64 kChecksumBlockBytes = 1'000'000;

// "16bitCRC取得中..." or "32bitCRC取得中...".
[[nodiscard]] QString checksumCaption(ChecksumKind kind);

// The label before the block at `offset`: the share done, rounded half to even, + "%取得".
[[nodiscard]] QString progressLabel(qint64 offset, qint64 length);

// The checksum of the whole file as 4 or 8 upper-case hexadecimal digits, read in blocks of
// blockFactor x 1,000,000 bytes; the next blocks are read while the current one is summed.
// Fails before any progress is shown when the path is no file; fails (after closing the
// progress) when the file cannot be opened or read to its end.
[[nodiscard]] std::optional<QString> FileChecksum(const QString& path, ChecksumKind kind,
                                                  ChecksumProgress& progress, int blockFactor = 1);

} // namespace quillet::rename
