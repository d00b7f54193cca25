#include "datafile/windows31j.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>

#include <memory>

namespace quillet::datafile {
namespace {

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// ICU substitutes an invalid single byte of this code page with U+001A, an invisible control
// character that would slip into file names; every invalid sequence becomes U+FFFD instead.
void replaceInvalidBytes(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                         UConverterCallbackReason reason, UErrorCode* status)
{
    if (reason > UCNV_IRREGULAR)
        return; // reset, close or clone: nothing to write
    *status = U_ZERO_ERROR;
    const UChar replacement = 0xFFFD;
    ucnv_cbToUWriteUChars(args, &replacement, 1, 0, status);
}

// ICU's table for this code page comes from IBM and exchanges three control characters
// (0x1A, 0x1C and 0x7F); Windows maps them to themselves. These bytes are never part of a
// double-byte character, so the exchange is undone character by character.
char16_t fromIcuControl(char16_t c)
{
    switch (c) {
    case 0x1C: return 0x1A;
    case 0x7F: return 0x1C;
    case 0x1A: return 0x7F;
    default: return c;
    }
}

char16_t toIcuControl(char16_t c)
{
    switch (c) {
    case 0x1A: return 0x1C;
    case 0x1C: return 0x7F;
    case 0x7F: return 0x1A;
    default: return c;
    }
}

void undoControlExchange(QString& text)
{
    for (QChar& c : text)
        c = QChar(fromIcuControl(c.unicode()));
}

Converter openConverter()
{
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open("windows-31j", &status));
    if (U_FAILURE(status))
        return nullptr;
    return converter;
}

} // namespace

namespace {

// Decodes with the given handling of invalid bytes; nothing when ICU fails or the handler
// stops at an invalid byte.
std::optional<QString> decodeWith(QByteArrayView bytes, UConverterToUCallback onInvalid)
{
    if (bytes.isEmpty())
        return QString();
    Converter converter = openConverter();
    if (!converter)
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter.get(), onInvalid, nullptr, nullptr, nullptr, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    // A double-byte code page never yields more UTF-16 units than it has bytes.
    QString text(bytes.size(), Qt::Uninitialized);
    const int32_t length = ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(text.data()),
                                         static_cast<int32_t>(text.size()), bytes.data(),
                                         static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status))
        return std::nullopt;
    text.truncate(length);
    undoControlExchange(text);
    return text;
}

} // namespace

QString decodeWindows31J(QByteArrayView bytes)
{
    return decodeWith(bytes, replaceInvalidBytes).value_or(QString());
}

std::optional<QString> decodeWindows31JStrictly(QByteArrayView bytes)
{
    return decodeWith(bytes, UCNV_TO_U_CALLBACK_STOP);
}

std::optional<QByteArray> encodeWindows31J(QStringView text)
{
    if (text.isEmpty())
        return QByteArray();
    Converter converter = openConverter();
    if (!converter)
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    if (U_FAILURE(status))
        return std::nullopt;
    QString icuText = text.toString();
    for (QChar& c : icuText)
        c = QChar(toIcuControl(c.unicode()));
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    const int32_t length =
        ucnv_fromUChars(converter.get(), bytes.data(), static_cast<int32_t>(bytes.size()),
                        reinterpret_cast<const UChar*>(icuText.utf16()),
                        static_cast<int32_t>(icuText.size()), &status);
    if (U_FAILURE(status))
        return std::nullopt;
    bytes.truncate(length);
    return bytes;
}

} // namespace quillet::datafile
