#pragma once

#include "datafile/atomicwrite.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace quillet::datafile {

// The plain-text data files next to the program are Windows-31J without a byte-order mark. A file
// that starts with a UTF-8 byte-order mark is read as UTF-8 instead: that is how values that
// Windows-31J cannot hold are kept.
[[nodiscard]] QString decodeDataFile(const QByteArray& bytes);

// Lines end at CR LF or at a lone CR; a lone LF is an ordinary character. A last line without
// a line end is still a line, a final line end does not make an extra empty one.
[[nodiscard]] QStringList splitDataLines(const QString& text);

// Data files are read only when they are regular files: a pipe, a device or a folder of that
// name reads as a missing file, at once.

// The bytes of a data file; nothing when it is missing, cannot be read or is no regular file
// (a pipe or a device would block or never end).
[[nodiscard]] std::optional<QByteArray> readDataFileBytes(const QString& path);

// All lines of a data file; nothing when it is missing or cannot be read.
[[nodiscard]] std::optional<QStringList> readDataFileLines(const QString& path);

// The first line of a data file; the empty text when the file is missing, cannot be read or
// holds no line at all. Only the bytes up to the first line end are read.
[[nodiscard]] QString readFirstLine(const QString& path);

// The bytes of a data file holding the text: Windows-31J when it can hold every character,
// otherwise UTF-8 behind a byte-order mark, so that no character is ever lost.
[[nodiscard]] QByteArray encodeDataFile(const QString& text);

} // namespace quillet::datafile
