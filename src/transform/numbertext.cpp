#include "transform/numbertext.h"

#include <QString>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace quillet::transform {
namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

std::optional<double> parseNumber(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;

    // Validate [sign] digits [. digits] | [sign] . digits, then let the C library convert the
    // ASCII text exactly.
    std::string ascii;
    ascii.reserve(static_cast<size_t>(end - begin));
    qsizetype i = begin;
    if (i < end && (text[i] == u'+' || text[i] == u'-'))
        ascii.push_back(static_cast<char>(text[i++].unicode()));
    int digits = 0;
    while (i < end && isDigit(text[i])) {
        ascii.push_back(static_cast<char>(text[i++].unicode()));
        ++digits;
    }
    if (i < end && text[i] == u'.') {
        ascii.push_back('.');
        ++i;
        while (i < end && isDigit(text[i])) {
            ascii.push_back(static_cast<char>(text[i++].unicode()));
            ++digits;
        }
    }
    if (i != end || digits == 0)
        return std::nullopt;

    const char* first = ascii.data();
    if (*first == '+')
        ++first;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(first, ascii.data() + ascii.size(), value);
    if (ec != std::errc() || ptr != ascii.data() + ascii.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::int32_t> roundToInt32(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    // Halves to even: the default rounding mode of the floating-point unit.
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<std::int32_t>::min()
        || rounded > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::optional<std::int32_t> parseInt32(QStringView text)
{
    const std::optional<double> value = parseNumber(text);
    return value ? roundToInt32(*value) : std::nullopt;
}

std::optional<float> parseSingle(QStringView text)
{
    const std::optional<double> value = parseNumber(text);
    if (!value || std::fabs(*value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(*value);
}

QString formatSingle(float value)
{
    // The platform's number text has no negative zero: "-0" reads as 0.
    if (value == 0.0f)
        return QStringLiteral("0");
    char buffer[64];
    // Plain decimal in its shortest exact form (44.1, 48, 100000), never with an exponent.
    const auto [ptr, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (ec != std::errc())
        return QString::number(double(value));
    return QString::fromLatin1(buffer, ptr - buffer);
}

} // namespace quillet::transform
