#include "journal/journalrecords.h"

#include "batch/nativepath.h"
#include "checksum/crc.h"

#include <QDir>

#include <algorithm>

namespace quillet::journal::records {

namespace {

QByteArray crcText(QByteArrayView bytes)
{
    checksum::Crc crc(checksum::ChecksumKind::Crc32);
    crc.update(bytes.data(), std::size_t(bytes.size()));
    return crc.text().toLatin1();
}

} // namespace

QByteArray line(QByteArrayView payload)
{
    QByteArray result;
    result.reserve(payload.size() + 10);
    result.append(payload);
    result.append('\t');
    result.append(crcText(result));
    result.append('\n');
    return result;
}

std::optional<QList<QByteArray>> fields(QByteArrayView line)
{
    const qsizetype crcStart = line.lastIndexOf('\t') + 1;
    if (crcStart == 0 || crcText(line.first(crcStart)) != line.sliced(crcStart))
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

QByteArray pathField(const QString& path)
{
    return batch::nativeBytesFromPath(path).toBase64();
}

std::optional<QString> pathFromField(const QByteArray& field)
{
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(field, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.contains('\0') || !isAbsoluteAndNormal(decoded.decoded))
        return std::nullopt;
    return batch::pathFromNativeBytes(decoded.decoded);
}

QByteArray identityField(const ItemIdentity& identity)
{
    QByteArray field;
    field.append(char(identity.type));
    for (const qint64 number : {qint64(identity.device), qint64(identity.inode), identity.size,
                                identity.modifiedNs, identity.createdNs}) {
        field.append(',');
        field.append(QByteArray::number(number));
    }
    return field;
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
