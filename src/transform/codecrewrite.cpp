#include "transform/codecrewrite.h"

#include "transform/numbertext.h"
#include "transform/textpositions.h"

namespace quillet::transform {
namespace {

using namespace Qt::Literals::StringLiterals;

struct CodecFields {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bitDepth = 0;
    QString videoCodec;
    QString frameRate;
    std::int32_t frameCount = 0;
    QString audioCodec;
    float samplingRate = 0;
    QString channels;
    QString bitRate;
};

// "[" followed, in this order and each after the end of the one before, by "x", " ", "fps"
// and "s ]".
bool holdsCodecGroup(QStringView line)
{
    qsizetype from = 0;
    for (QStringView part : {u"[", u"x", u" ", u"fps", u"s ]"}) {
        const qsizetype at = line.indexOf(part, from);
        if (at < 0)
            return false;
        from = at + part.size();
    }
    return true;
}

// Each step below may fail; the macro keeps the sequence of steps readable.
#define QUILLET_TAKE(target, expression)                                                           \
    do {                                                                                           \
        auto taken_ = (expression);                                                                \
        if (!taken_)                                                                               \
            return std::nullopt;                                                                   \
        target = *taken_;                                                                          \
    } while (false)

struct Group {
    QString text;
    CodecFields fields;
};

std::optional<Group> takeApart(QStringView line, const ProfileFile& codecNames)
{
    Group group;
    CodecFields& f = group.fields;
    QString text;

    // The group runs from its "[" (or the space in front of it) to the "]" of the last " ]".
    const qsizetype close = line.lastIndexOf(u" ]") + 1;
    qsizetype open = 0;
    QUILLET_TAKE(open, findLastUpTo(line, u"[", close + 1));
    const qsizetype bracket = open;
    if (open > 1 && line[open - 2] == u' ')
        --open;
    QUILLET_TAKE(group.text, midText(line, open, close + 1 - open + 1));

    const qsizetype xpos = findFrom(line, u"x", open);
    QUILLET_TAKE(text, midText(line, bracket + 1, xpos - bracket - 1));
    QUILLET_TAKE(f.width, parseInt32(text));

    const qsizetype sp = findFrom(line, u" ", xpos);
    QUILLET_TAKE(text, midText(line, xpos + 1, sp - xpos - 1));
    QUILLET_TAKE(f.height, parseInt32(text));

    const qsizetype fps = findFrom(line, u"fps");
    qsizetype spf = 0;
    QUILLET_TAKE(spf, findLastUpTo(line, u" ", fps));

    const qsizetype bit = findFrom(line, u"Bit ");
    qsizetype spb = 0;
    QUILLET_TAKE(spb, findLastUpTo(line, u" ", bit));
    QUILLET_TAKE(text, midText(line, spb + 1, bit - 1 - spb));
    QUILLET_TAKE(f.bitDepth, parseInt32(text));

    QUILLET_TAKE(text, midText(line, bit + 4, spf - bit - 4));
    f.videoCodec = LookupCodecName(kMovieCodecSection, text, codecNames);

    QUILLET_TAKE(f.frameRate, midText(line, spf + 1, fps - spf - 1));

    const qsizetype frameEnd = findFrom(line, u"f", fps + 4);
    QUILLET_TAKE(text, midText(line, fps + 4, frameEnd - fps - 4));
    QUILLET_TAKE(f.frameCount, parseInt32(text));
    qsizetype anchor = frameEnd;

    if (const qsizetype khz = findFrom(line, u"kHz"); khz > 0) {
        QUILLET_TAKE(anchor, findLastUpTo(line, u" ", khz));
        ++anchor;
        QUILLET_TAKE(text, midText(line, anchor, khz - anchor));
        QUILLET_TAKE(f.samplingRate, parseSingle(text));
    }

    // The audio codec is the word in front of the sampling-rate number.
    qsizetype p = 0;
    qsizetype q = 0;
    QUILLET_TAKE(p, findLastUpTo(line, u" ", anchor - 1));
    QUILLET_TAKE(q, findLastUpTo(line, u" ", p - 1));
    ++q;
    QUILLET_TAKE(text, midText(line, q, p - q));
    f.audioCodec = LookupCodecName(kMusicCodecSection, text, codecNames);
    anchor = q;

    if (const qsizetype kbps = findFrom(line, u"kbps"); kbps > 0) {
        QUILLET_TAKE(anchor, findLastUpTo(line, u" ", kbps));
        ++anchor;
        QUILLET_TAKE(f.bitRate, midText(line, anchor, kbps - anchor));
    }

    // The channels are the word in front of the bit-rate number.
    qsizetype e = 0;
    qsizetype q2 = 0;
    QUILLET_TAKE(e, findLastUpTo(line, u" ", anchor));
    --e;
    QUILLET_TAKE(q2, findLastUpTo(line, u" ", e));
    ++q2;
    QUILLET_TAKE(f.channels, midText(line, q2, e - q2 + 1));
    return group;
}

#undef QUILLET_TAKE

QString fillTemplate(const QString& codecTemplate, const CodecFields& f)
{
    QString filled = codecTemplate;
    filled.replace(u"*/WIDTH/*"_s, QString::number(f.width));
    filled.replace(u"*/HEIGHT/*"_s, QString::number(f.height));
    filled.replace(u"*/BIT/*"_s, QString::number(f.bitDepth));
    filled.replace(u"*/CODEC/*"_s, f.videoCodec);
    filled.replace(u"*/FPS/*"_s, f.frameRate);
    filled.replace(u"*/FRAME/*"_s, QString::number(f.frameCount));
    filled.replace(u"*/MUSICCODEC/*"_s, f.audioCodec);
    filled.replace(u"*/KHZ/*"_s, formatSingle(f.samplingRate));
    filled.replace(u"*/CH/*"_s, f.channels);
    filled.replace(u"*/KBPS/*"_s, f.bitRate);
    return filled;
}

// Four single passes, so a run of three spaces becomes two.
QString tidySpaces(QString text)
{
    text.replace(u"  "_s, u" "_s);
    text.replace(u"　 "_s, u" "_s);
    text.replace(u" 　"_s, u" "_s);
    text.replace(u"　　"_s, u"　"_s);
    return text;
}

} // namespace

QString LookupCodecName(QStringView section, const QString& name, const ProfileFile& codecNames)
{
    const QString value = codecNames.value(section, name);
    if (value.isEmpty())
        return name;
    if (value == u"NullString")
        return QString();
    return value;
}

std::optional<QString> RewriteCodecInfo(const QString& line, const QString& codecTemplate,
                                        const ProfileFile& codecNames)
{
    if (!holdsCodecGroup(line))
        return QString();
    const std::optional<Group> group = takeApart(line, codecNames);
    if (!group)
        return std::nullopt;
    QString result = line;
    result.replace(group->text, tidySpaces(fillTemplate(codecTemplate, group->fields)));
    return result;
}

} // namespace quillet::transform
