#include "transform/codecrewrite.h"

#include <QTest>

using namespace quillet::transform;
using namespace Qt::Literals::StringLiterals;

namespace {
const QString kGroup = u"[640x480 24Bit DivX 5 29.97fps 1234f MP3 44.1kHz 2ch 128kbps ]"_s;
const QString kUserTemplate = u" [*/WIDTH/*x*/HEIGHT/* */CODEC/* */MUSICCODEC/* */KBPS/*kbps]"_s;
const QString kAllTokens = u"|*/WIDTH/*|*/HEIGHT/*|*/BIT/*|*/CODEC/*|*/FPS/*|*/FRAME/*|"
                           u"*/MUSICCODEC/*|*/KHZ/*|*/CH/*|*/KBPS/*|"_s;
} // namespace

class TestCodecRewrite : public QObject {
    Q_OBJECT

private slots:
    void rewrite_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("codecTemplate");
        QTest::addColumn<QString>("codecTable");
        QTest::addColumn<QString>("result"); // "<fail>": the line fails
        const QString noTable;
        QTest::newRow("user template without a table")
            << u"Movie "_s + kGroup << kUserTemplate << noTable
            << u"Movie [640x480 DivX 5 MP3 128kbps]"_s;
        QTest::newRow("NullString removes the audio codec and the double space")
            << u"Movie "_s + kGroup << kUserTemplate << u"[MUSICCODEC]\r\nMP3=NullString\r\n"_s
            << u"Movie [640x480 DivX 5 128kbps]"_s;
        QTest::newRow("video codec translated")
            << u"Movie "_s + kGroup << u" */CODEC/*"_s << u"[MOVIECODEC]\r\nDivX 5=DivX5\r\n"_s
            << u"Movie DivX5"_s;
        QTest::newRow("empty replacement keeps the name")
            << u"Movie "_s + kGroup << u" */CODEC/*"_s << u"[MOVIECODEC]\r\nDivX 5=\r\n"_s
            << u"Movie DivX 5"_s;
        QTest::newRow("every field") << u"M "_s + kGroup << kAllTokens << noTable
                                     << u"M|640|480|24|DivX 5|29.97|1234|MP3|44.1|2ch|128|"_s;
        QTest::newRow("numbers lose leading zeros")
            << u"M [0640x0480 024Bit X 30fps 0100f A 48kHz 2ch 96kbps ]"_s
            << u"|*/WIDTH/*|*/HEIGHT/*|*/BIT/*|*/FRAME/*|*/KHZ/*|"_s << noTable
            << u"M|640|480|24|100|48|"_s;
        QTest::newRow("sampling rate in plain decimal, never with an exponent")
            << u"M [640x480 24Bit X 30fps 10f A 100000kHz 2ch 96kbps ]"_s << u"|*/KHZ/*|"_s
            << noTable << u"M|100000|"_s;
        QTest::newRow("a negative zero sampling rate is 0")
            << u"M [640x480 24Bit X 30fps 10f A -0kHz 2ch 96kbps ]"_s << u"|*/KHZ/*|"_s << noTable
            << u"M|0|"_s;
        QTest::newRow("sampling rate 22.05")
            << u"M [640x480 24Bit X 30fps 10f A 22.05kHz 2ch 96kbps ]"_s << u"|*/KHZ/*|"_s
            << noTable << u"M|22.05|"_s;
        QTest::newRow("token twice replaced twice")
            << u"M "_s + kGroup << u"*/WIDTH/*-*/WIDTH/*"_s << noTable << u"M640-640"_s;
        QTest::newRow("no kHz: rate 0, the codec is the frame-rate word")
            << u"M [640x480 24Bit X 29.97fps 10f MP3 2ch 128kbps ]"_s
            << u"|*/KHZ/*|*/MUSICCODEC/*|*/CH/*|*/KBPS/*|"_s << noTable
            << u"M|0|29.97fps|2ch|128|"_s;
        QTest::newRow("no kbps: empty bit rate, channels are the word before the codec")
            << u"M [640x480 24Bit X 29.97fps 10f MP3 44.1kHz 2ch 128kbit/s ]"_s
            << u"|*/KBPS/*|*/CH/*|*/MUSICCODEC/*|"_s << noTable << u"M||10f|MP3|"_s;
        QTest::newRow("group glued to the title is replaced alone")
            << u"Movie"_s + kGroup << u"<*/WIDTH/*>"_s << noTable << u"Movie<640>"_s;
        QTest::newRow("group at the very start")
            << kGroup + u" tail"_s << u"<*/HEIGHT/*>"_s << noTable << u"<480> tail"_s;
        QTest::newRow("two identical groups both replaced")
            << u"A "_s + kGroup + u" B "_s + kGroup << u"<*/BIT/*>"_s << noTable
            << u"A<24> B<24>"_s;
        QTest::newRow("empty template removes the group with its space")
            << u"Movie "_s + kGroup << QString() << noTable << u"Movie"_s;
        QTest::newRow("empty template on a group alone leaves nothing")
            << kGroup << QString() << noTable << QString();
        QTest::newRow("spaces tidied in four passes")
            << u"M "_s + kGroup << u"a   b　 c 　d　　　e"_s << noTable << u"Ma  b c d　　e"_s;
        QTest::newRow("no bracket") << u"Movie 640x480 fps s ]"_s << u"x"_s << noTable << QString();
        QTest::newRow("unrelated bracket") << u"Movie [extra ]"_s << u"x"_s << noTable << QString();
        QTest::newRow("fps does not close the group")
            << u"M [640x480 3fps ]"_s << u"x"_s << noTable << QString();
        QTest::newRow("width not a number fails")
            << u"M [6a0x480 24Bit X 29.97fps 10f MP3 44.1kHz 2ch 128kbps ]"_s << u"x"_s << noTable
            << u"<fail>"_s;
        QTest::newRow("no Bit fails")
            << u"M [640x480 24bit X 29.97fps 10f MP3 44.1kHz 2ch 128kbps ]"_s << u"x"_s << noTable
            << u"<fail>"_s;
        QTest::newRow("frame count not a number fails")
            << u"M [640x480 24Bit X 29.97fps tenf MP3 44.1kHz 2ch 128kbps ]"_s << u"x"_s << noTable
            << u"<fail>"_s;
        QTest::newRow("sampling rate not a number fails")
            << u"M [640x480 24Bit X 29.97fps 10f MP3 4x.1kHz 2ch 128kbps ]"_s << u"x"_s << noTable
            << u"<fail>"_s;
    }
    void rewrite()
    {
        QFETCH(QString, line);
        QFETCH(QString, codecTemplate);
        QFETCH(QString, codecTable);
        QFETCH(QString, result);
        const std::optional<QString> rewritten =
            RewriteCodecInfo(line, codecTemplate, ProfileFile::parse(codecTable));
        if (result == u"<fail>") {
            QVERIFY(!rewritten);
        } else {
            QVERIFY(rewritten);
            QCOMPARE(*rewritten, result);
        }
    }

    void lookup()
    {
        const ProfileFile table =
            ProfileFile::parse(u"[MUSICCODEC]\r\nMP3=NullString\r\nAAC=aac\r\n"
                               u"WMA=nullstring\r\n"_s);
        QCOMPARE(LookupCodecName(kMusicCodecSection, u"MP3"_s, table), QString());
        QCOMPARE(LookupCodecName(kMusicCodecSection, u"AAC"_s, table), u"aac"_s);
        QCOMPARE(LookupCodecName(kMusicCodecSection, u"WMA"_s, table), u"nullstring"_s);
        QCOMPARE(LookupCodecName(kMusicCodecSection, u"FLAC"_s, table), u"FLAC"_s);
        QCOMPARE(LookupCodecName(kMovieCodecSection, u"MP3"_s, table), u"MP3"_s);
    }
};

QTEST_GUILESS_MAIN(TestCodecRewrite)
#include "tst_codecrewrite.moc"
