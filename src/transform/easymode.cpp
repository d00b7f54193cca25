#include "transform/easymode.h"

#include "batch/linetext.h"
#include "transform/bracketoperations.h"
#include "transform/codecrewrite.h"
#include "transform/textoperations.h"

namespace quillet::transform {
namespace {

using namespace Qt::Literals::StringLiterals;

QString prefix(int index, const QString& valueA)
{
    // Every fixed prefix ends in one space, also those whose list item shows none.
    switch (index) {
    case 0: return u"[DVD] "_s;
    case 1: return u"(DVD) "_s;
    case 2: return u"(DVD-RIP) "_s;
    case 3: return u"[LD] "_s;
    case 4: return u"(LD) "_s;
    case 5: return u"[映画] "_s;
    case 6: return u"[18禁ゲーム] "_s;
    case 7: return u"(18禁ゲーム) "_s;
    default: return valueA;
    }
}

std::optional<QString> suffix(int index, const EasyValues& values)
{
    switch (index) {
    case 10: return u"(DVD)"_s;
    case 11: return u"(DVD-RIP)"_s;
    case 12: return u"(LD)"_s;
    case 13: return u"(日本語字幕)"_s;
    case 14: return u"(日本語吹き替え)"_s;
    case 15: return values.valueA;
    case easy::kCrc16Template: return values.crc16Template;
    case easy::kCrc32Template: return values.crc32Template;
    default: return std::nullopt;
    }
}

// The result of the operation before the empty-result rule; the empty text means no change.
QString operationResult(int index, const QString& line, const EasyValues& values)
{
    if (index >= 0 && index <= easy::kLastPrefix)
        return prefix(index, values.valueA) + line;
    if (const std::optional<QString> end = suffix(index, values))
        return line + *end;
    switch (index) {
    case easy::kNumberMarkerToEpisode: return numberMarkerToEpisode(line);
    case easy::kEpisodeToNumberMarker: return episodeToNumberMarker(line);
    case 19: return replaceEachChar(replaceEachChar(line, u'｢', u'「'), u'｣', u'」');
    case 20: return replaceEachChar(replaceEachChar(line, u'（', u'('), u'）', u')');
    case 21: return replaceEachChar(replaceEachChar(line, u'(', u'（'), u')', u'）');
    case 22: return replaceEachChar(line, u'!', u'！');
    case 23: return replaceEachChar(line, u'！', u'!');
    case 24: return replaceEach(line, u"・・・"_s, u"…"_s);
    case easy::kReplaceAWithB: return replaceEach(line, values.valueA, values.valueB);
    case 27: return RemoveLeadingBracketGroup(line);
    case 28: return RemoveFirstValueA(line, values.valueA);
    case 29: return RemoveTrailingBracketGroup(line);
    case 30: return RemoveLastValueA(line, values.valueA);
    case 31: return TrimSpaces(line);
    case easy::kCodecRewrite:
        return RewriteCodecInfo(line, values.codecTemplate, values.codecNames).value_or(QString());
    default: return {};
    }
}

} // namespace

QString ApplyEasyOperation(int index, const QString& line, const EasyValues& values)
{
    QString result = operationResult(index, line, values);
    return result.isEmpty() ? line : result;
}

std::optional<QString> RunEasyMode(int index, const QStringList& lines, const EasyValues& values)
{
    if (lines.isEmpty())
        return QString();
    if (easy::isSeparator(index))
        return std::nullopt;
    QStringList results;
    results.reserve(lines.size());
    for (const QString& line : lines)
        results.append(ApplyEasyOperation(index, line, values));
    return batch::joinLines(results);
}

std::optional<batch::ChunkedText> RunEasyMode(int index, const batch::ChunkedText& names,
                                              qsizetype count, const EasyValues& values)
{
    if (count <= 0)
        return batch::ChunkedText();
    if (easy::isSeparator(index))
        return std::nullopt;
    batch::ChunkedText::Builder result;
    QString line;
    names.forEachLine(count, [&](QStringView view) {
        // One line's buffer, reused: the operations take a whole string.
        line.resize(0);
        line.append(view);
        result.addLine(ApplyEasyOperation(index, line, values));
    });
    return result.take();
}

} // namespace quillet::transform
