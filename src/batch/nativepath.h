#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>

namespace quillet::batch {

// On POSIX a path is a string of bytes, not necessarily UTF-8: files unpacked from old archives
// carry Shift-JIS names. Inside the program a path is a QString that holds every byte exactly:
// valid UTF-8 is decoded as usual, and each byte that is not part of valid UTF-8 is kept as the
// lone low surrogate U+DC80..U+DCFF (the "surrogate escape" of Python and others). The way back
// gives the original bytes, so a dropped path always reaches the system unchanged.

[[nodiscard]] QString pathFromNativeBytes(QByteArrayView bytes);
[[nodiscard]] QByteArray nativeBytesFromPath(QStringView path);

// True when the text holds a byte kept by the surrogate escape (or any other lone surrogate).
[[nodiscard]] bool hasEscapedBytes(QStringView text);

// How a path or name is shown to the user: each part between separators that holds escaped
// bytes is decoded as Windows-31J when its bytes are valid Windows-31J, otherwise as UTF-8 with
// U+FFFD for every byte that is not. Text without escaped bytes is shown as it is.
[[nodiscard]] QString displayText(const QString& path, QChar separator);

} // namespace quillet::batch
