#include "datafile/datafile.h"

#include "datafile/windows31j.h"

#include <QFile>

namespace quillet::datafile {
namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

std::optional<QByteArray> readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

} // namespace

QString decodeDataFile(const QByteArray& bytes)
{
    if (bytes.startsWith(kUtf8Bom))
        return QString::fromUtf8(QByteArrayView(bytes).sliced(3));
    return decodeWindows31J(bytes);
}

QByteArray encodeDataFile(const QString& text)
{
    if (std::optional<QByteArray> bytes = encodeWindows31J(text))
        return *bytes;
    return QByteArray(kUtf8Bom) + text.toUtf8();
}

QStringList splitDataLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (text.at(i) != u'\r')
            continue;
        lines.append(text.mid(start, i - start));
        if (i + 1 < size && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

std::optional<QStringList> readDataFileLines(const QString& path)
{
    const std::optional<QByteArray> bytes = readWholeFile(path);
    if (!bytes)
        return std::nullopt;
    return splitDataLines(decodeDataFile(*bytes));
}

QString readFirstLine(const QString& path)
{
    const std::optional<QStringList> lines = readDataFileLines(path);
    if (!lines || lines->isEmpty())
        return {};
    return lines->first();
}

} // namespace quillet::datafile
