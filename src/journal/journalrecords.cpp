#include "journal/journalrecords.h"

#include "batch/nativepath.h"
#include "checksum/crc.h"

#include <QDir>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <iterator>

namespace quillet::journal::records {

namespace {

// The CRC-32 of the bytes as 8 upper-case hexadecimal digits, written straight into `out`:
// every line of a run's plan has one, so it costs no text conversion.
void appendCrc(QByteArray& out, QByteArrayView bytes)
{
    checksum::Crc crc(checksum::ChecksumKind::Crc32);
    crc.update(bytes.data(), std::size_t(bytes.size()));
    const std::uint32_t value = crc.value();
    static constexpr char digits[] = "0123456789ABCDEF";
    char text[8];
    for (int i = 0; i < 8; ++i)
        text[i] = digits[(value >> (28 - 4 * i)) & 0xF];
    out.append(text, 8);
}

} // namespace

void appendNumber(QByteArray& out, qint64 number)
{
    char text[24];
    const std::to_chars_result end = std::to_chars(std::begin(text), std::end(text), number);
    out.append(text, end.ptr - text);
}

void appendBase64(QByteArray& out, QByteArrayView bytes)
{
    static constexpr char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const qsizetype start = out.size();
    out.resize(start + (bytes.size() + 2) / 3 * 4);
    char* to = out.data() + start;
    const auto* from = reinterpret_cast<const unsigned char*>(bytes.data());
    qsizetype i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = unsigned(from[i]) << 16 | unsigned(from[i + 1]) << 8 | from[i + 2];
        *to++ = alphabet[v >> 18];
        *to++ = alphabet[(v >> 12) & 63];
        *to++ = alphabet[(v >> 6) & 63];
        *to++ = alphabet[v & 63];
    }
    if (i < bytes.size()) {
        const bool two = i + 1 < bytes.size();
        const unsigned v = unsigned(from[i]) << 16 | (two ? unsigned(from[i + 1]) << 8 : 0u);
        *to++ = alphabet[v >> 18];
        *to++ = alphabet[(v >> 12) & 63];
        *to++ = two ? alphabet[(v >> 6) & 63] : '=';
        *to++ = '=';
    }
}

void appendLine(QByteArray& out, QByteArrayView payload)
{
    const qsizetype start = out.size();
    out.append(payload);
    out.append('\t');
    appendCrc(out, QByteArrayView(out).sliced(start));
    out.append('\n');
}

QByteArray line(QByteArrayView payload)
{
    QByteArray result;
    result.reserve(payload.size() + 10);
    appendLine(result, payload);
    return result;
}

std::optional<QList<QByteArray>> fields(QByteArrayView line)
{
    const qsizetype crcStart = line.lastIndexOf('\t') + 1;
    QByteArray expected;
    if (crcStart != 0)
        appendCrc(expected, line.first(crcStart));
    if (crcStart == 0 || expected != line.sliced(crcStart))
        return std::nullopt;
    return line.first(crcStart - 1).toByteArray().split('\t');
}

bool isAbsoluteAndNormal(QByteArrayView nativePath)
{
#ifdef Q_OS_WIN
    const QString path = QString::fromUtf8(nativePath);
    return QDir::isAbsolutePath(path) && QDir::cleanPath(path) == QDir::fromNativeSeparators(path);
#else
    if (!nativePath.startsWith('/'))
        return false;
    if (nativePath.size() == 1)
        return true;
    qsizetype start = 1;
    while (start <= nativePath.size()) {
        qsizetype end = nativePath.indexOf('/', start);
        if (end < 0)
            end = nativePath.size();
        const QByteArrayView part = nativePath.sliced(start, end - start);
        if (part.isEmpty() || part == "." || part == "..")
            return false;
        start = end + 1;
    }
    return true;
#endif
}

std::optional<QString> pathFromField(const QByteArray& field)
{
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(field, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.contains('\0') || !isAbsoluteAndNormal(decoded.decoded))
        return std::nullopt;
    return batch::pathFromNativeBytes(decoded.decoded);
}

void appendIdentity(QByteArray& out, const ItemIdentity& identity)
{
    out.append(char(identity.type));
    for (const qint64 number : {qint64(identity.device), qint64(identity.inode), identity.size,
                                identity.modifiedNs, identity.createdNs}) {
        out.append(',');
        appendNumber(out, number);
    }
}

std::optional<ItemIdentity> identityFromField(const QByteArray& field)
{
    const QList<QByteArray> parts = field.split(',');
    if (parts.size() != 6 || parts[0].size() != 1)
        return std::nullopt;
    ItemIdentity identity;
    const char type = parts[0][0];
    if (type != 'f' && type != 'd' && type != 'l' && type != 'o')
        return std::nullopt;
    identity.type = ItemIdentity::Type(type);
    bool ok[5] = {};
    identity.device = quint64(parts[1].toLongLong(&ok[0]));
    identity.inode = quint64(parts[2].toLongLong(&ok[1]));
    identity.size = parts[3].toLongLong(&ok[2]);
    identity.modifiedNs = parts[4].toLongLong(&ok[3]);
    identity.createdNs = parts[5].toLongLong(&ok[4]);
    if (!std::all_of(std::begin(ok), std::end(ok), [](bool b) { return b; }) || identity.size < 0)
        return std::nullopt;
    return identity;
}

} // namespace quillet::journal::records
