#include "transform/textoperations.h"

namespace quillet::transform {
namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

struct DigitRun {
    qsizetype marker = -1; // index of the marker character
    qsizetype digits = 0;  // number of digits after it
};

// The first marker followed by a run of one to eight digits. A run of nine or more digits is
// no match, and the scan goes on with the next character.
DigitRun findMarkedNumber(const QString& line, QChar marker)
{
    constexpr qsizetype kMaxDigits = 8;
    for (qsizetype j = line.indexOf(marker); j >= 0; j = line.indexOf(marker, j + 1)) {
        qsizetype digits = 0;
        while (j + 1 + digits < line.size() && isDigit(line[j + 1 + digits])
               && digits <= kMaxDigits)
            ++digits;
        if (digits >= 1 && digits <= kMaxDigits)
            return {j, digits};
    }
    return {};
}

} // namespace

QString replaceEach(const QString& line, const QString& from, const QString& to)
{
    if (from.isEmpty())
        return line;
    return QString(line).replace(from, to);
}

QString replaceEachChar(QString line, QChar from, QChar to)
{
    return line.replace(from, to);
}

QString numberMarkerToEpisode(const QString& line)
{
    const DigitRun run = findMarkedNumber(line, u'#');
    if (run.marker < 0)
        return {};
    return line.left(run.marker) + u'第' + line.mid(run.marker + 1, run.digits) + u'話'
           + line.mid(run.marker + 1 + run.digits);
}

QString episodeToNumberMarker(const QString& line)
{
    const DigitRun run = findMarkedNumber(line, u'第');
    if (run.marker < 0)
        return {};
    // The character after the digits (normally "話") is dropped whole: a surrogate pair is
    // one character, and half of it would reach the file name as U+FFFD.
    const qsizetype after = run.marker + 1 + run.digits;
    const qsizetype dropped =
        after + 1 < line.size() && line[after].isHighSurrogate() && line[after + 1].isLowSurrogate()
            ? 2
            : 1;
    return line.left(run.marker) + u'#' + line.mid(run.marker + 1, run.digits)
           + line.mid(after + dropped);
}

} // namespace quillet::transform
