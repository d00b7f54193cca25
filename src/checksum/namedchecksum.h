#pragma once

#include <QChar>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace quillet::checksum {

// The CRC-32 a file's name carries, as releases of video and archives write it: "[A1B2C3D4]" or
// "(a1b2c3d4)".
struct NamedChecksum {
    qsizetype start = 0; // where its digits start in the file name
    QString digits;      // as written, either case
    quint32 value = 0;
};

// The last group of exactly eight hexadecimal digits in square or round brackets of one kind in
// the path's file name, wherever it stands there; a folder's name carries nothing for the
// file. Nothing when the name has no such group.
[[nodiscard]] std::optional<NamedChecksum> checksumInName(const QString& path, QChar separator);

} // namespace quillet::checksum
