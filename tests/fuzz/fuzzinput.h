#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace quillet::fuzz {

// The fuzzer's bytes read as UTF-16 code units (lone surrogates and all), cut into fields at
// U+0000.
inline QStringList fields(const std::uint8_t* data, std::size_t size, qsizetype count)
{
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text[qsizetype(i / 2)] = QChar(char16_t(data[i] | (data[i + 1] << 8)));
    QStringList parts = text.split(QChar(u'\0'));
    while (parts.size() < count)
        parts.append(QString());
    return parts;
}

// Stops the run with a finding when an invariant does not hold.
inline void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace quillet::fuzz
