#include "checksum/namedchecksum.h"

namespace quillet::checksum {

namespace {

constexpr qsizetype kDigits = 8;

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

QChar closingOf(QChar opening)
{
    return opening == u'[' ? u']' : u')';
}

} // namespace

std::optional<NamedChecksum> checksumInName(const QString& path, QChar separator)
{
    const qsizetype nameStart = path.lastIndexOf(separator) + 1;
    const QStringView name = QStringView(path).sliced(nameStart);
    // From the end, so the last group wins: "[1080p][A1B2C3D4] (DEADBEEF)" carries DEADBEEF.
    for (qsizetype open = name.size() - kDigits - 2; open >= 0; --open) {
        const QChar opening = name[open];
        if (opening != u'[' && opening != u'(')
            continue;
        if (name[open + kDigits + 1] != closingOf(opening))
            continue;
        const QStringView digits = name.sliced(open + 1, kDigits);
        bool allHex = true;
        for (const QChar c : digits)
            allHex = allHex && isHexDigit(c);
        if (!allHex)
            continue;
        bool ok = false;
        const quint32 value = digits.toUInt(&ok, 16);
        if (ok)
            return NamedChecksum{open + 1, digits.toString(), value};
    }
    return std::nullopt;
}

} // namespace quillet::checksum
