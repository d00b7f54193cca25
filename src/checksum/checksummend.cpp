#include "checksum/checksummend.h"

#include "checksum/nameverification.h"

#include <QHash>

namespace quillet::checksum {

MendedNames mendChecksums(const batch::ChunkedText& names, const QList<ChecksumMend>& mends,
                          QChar separator)
{
    MendedNames result{names};
    if (mends.isEmpty())
        return result;
    // The lines are read once, up to the last one mended.
    QHash<qsizetype, const ChecksumMend*> byLine;
    qsizetype lastLine = 0;
    for (const ChecksumMend& mend : mends) {
        byLine.insert(mend.line, &mend);
        lastLine = std::max(lastLine, mend.line);
    }
    QList<std::pair<qsizetype, QString>> replacements;
    qsizetype line = 0;
    names.forEachLine(std::min(lastLine + 1, names.lineCount()), [&](QStringView text) {
        if (const ChecksumMend* mend = byLine.value(line)) {
            if (text != mend->lineWhenChecked) {
                ++result.edited;
            } else if (lineWithChecksum(text.toString(), separator, mend->actual, mend->actual)) {
                ++result.alreadyRight;
            } else if (std::optional<QString> mended = lineWithChecksum(
                           text.toString(), separator, mend->named, mend->actual)) {
                replacements.append({line, std::move(*mended)});
            } else {
                ++result.unmatched;
            }
        }
        ++line;
    });
    // Lines the text no longer has were edited away.
    result.edited += std::count_if(mends.cbegin(), mends.cend(), [&](const ChecksumMend& mend) {
        return mend.line >= names.lineCount();
    });
    for (const auto& [at, text] : replacements)
        result.names.replaceLines(at, 1, text);
    result.mended = replacements.size();
    return result;
}

} // namespace quillet::checksum
