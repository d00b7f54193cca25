#include "batch/nativepath.h"

#include "datafile/windows31j.h"

#include <algorithm>

namespace quillet::batch {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at bytes[i], or 0 when there is none (overlong forms,
// surrogates and values past U+10FFFF are not valid).
qsizetype validSequenceLength(QByteArrayView bytes, qsizetype i)
{
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    const qsizetype left = bytes.size() - i;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return left >= 2 && isContinuation(at(i + 1)) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (left < 3 || !isContinuation(at(i + 1)) || !isContinuation(at(i + 2)))
            return 0;
        if (lead == 0xE0 && at(i + 1) < 0xA0)
            return 0; // overlong
        if (lead == 0xED && at(i + 1) >= 0xA0)
            return 0; // a surrogate
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (left < 4 || !isContinuation(at(i + 1)) || !isContinuation(at(i + 2))
            || !isContinuation(at(i + 3)))
            return 0;
        if (lead == 0xF0 && at(i + 1) < 0x90)
            return 0; // overlong
        if (lead == 0xF4 && at(i + 1) >= 0x90)
            return 0; // past U+10FFFF
        return 4;
    }
    return 0;
}

} // namespace

QString pathFromNativeBytes(QByteArrayView bytes)
{
    QString path;
    path.reserve(bytes.size());
    qsizetype i = 0;
    qsizetype runStart = 0;
    const auto flushRun = [&](qsizetype end) {
        if (end > runStart)
            path.append(QString::fromUtf8(bytes.sliced(runStart, end - runStart)));
    };
    while (i < bytes.size()) {
        const qsizetype length = validSequenceLength(bytes, i);
        if (length > 0) {
            i += length;
            continue;
        }
        flushRun(i);
        path.append(QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[i]))));
        runStart = ++i;
    }
    flushRun(i);
    return path;
}

QByteArray nativeBytesFromPath(QStringView path)
{
    // Almost every path holds no escaped byte: one conversion then, without a second buffer.
    const auto escaped = std::find_if(path.begin(), path.end(), [](QChar c) {
        return c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF;
    });
    if (escaped == path.end())
        return path.toUtf8();
    QByteArray bytes;
    bytes.reserve(path.size() * 3);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path[i].unicode();
        if (c >= 0xDC80 && c <= 0xDCFF
            && !(i > 0 && QChar::isHighSurrogate(path[i - 1].unicode()))) {
            bytes.append(path.sliced(runStart, i - runStart).toUtf8());
            bytes.append(static_cast<char>(c - kEscapeBase));
            runStart = i + 1;
        }
    }
    bytes.append(path.sliced(runStart).toUtf8());
    return bytes;
}

bool hasEscapedBytes(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!c.isSurrogate())
            continue;
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        return true;
    }
    return false;
}

QString displayText(const QString& path, QChar separator)
{
    if (!hasEscapedBytes(path))
        return path;
    QString shown;
    shown.reserve(path.size());
    qsizetype start = 0;
    while (start <= path.size()) {
        qsizetype end = path.indexOf(separator, start);
        if (end < 0)
            end = path.size();
        const QStringView part = QStringView(path).sliced(start, end - start);
        if (!hasEscapedBytes(part)) {
            shown.append(part);
        } else if (const auto decoded =
                       datafile::decodeWindows31JStrictly(nativeBytesFromPath(part))) {
            shown.append(*decoded);
        } else {
            for (qsizetype i = 0; i < part.size(); ++i) {
                const QChar c = part[i];
                if (c.isHighSurrogate() && i + 1 < part.size() && part[i + 1].isLowSurrogate()) {
                    shown.append(part.sliced(i++, 2));
                    continue;
                }
                shown.append(c.isSurrogate() ? QChar(QChar::ReplacementCharacter) : c);
            }
        }
        if (end < path.size())
            shown.append(separator);
        start = end + 1;
    }
    return shown;
}

} // namespace quillet::batch
