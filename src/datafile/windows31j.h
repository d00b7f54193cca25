#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quillet::datafile {

// Windows-31J is the Japanese ANSI code page (932) in which the data files next to the program
// are written. The conversion goes through ICU's table so that it is the same on every platform.

// Bytes that the code page cannot map become U+FFFD; decoding never fails.
[[nodiscard]] QString decodeWindows31J(QByteArrayView bytes);

// Fails when any byte sequence is not Windows-31J; used to tell such text from UTF-8.
[[nodiscard]] std::optional<QString> decodeWindows31JStrictly(QByteArrayView bytes);

// Fails when a character has no Windows-31J form (an emoji, a rare kanji): nothing is ever
// silently turned into "?".
[[nodiscard]] std::optional<QByteArray> encodeWindows31J(QStringView text);

} // namespace quillet::datafile
