#include "testfiles.h"
#include "transform/profilefile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace quillet::transform;
using namespace Qt::Literals::StringLiterals;

class TestProfileFile : public QObject {
    Q_OBJECT

private slots:
    void values_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const QString codecs = u"[MOVIECODEC]\r\nDivX 5=DivX5\r\nXviD = \"Xvid\" \r\n"
                               u"Empty=\r\n[MUSICCODEC]\r\nMP3=NullString\r\n"_s;
        QTest::newRow("key with a space") << codecs << u"MOVIECODEC"_s << u"DivX 5"_s << u"DivX5"_s;
        QTest::newRow("spaces and quotes go")
            << codecs << u"MOVIECODEC"_s << u"XviD"_s << u"Xvid"_s;
        QTest::newRow("section case ignored")
            << codecs << u"musiccodec"_s << u"MP3"_s << u"NullString"_s;
        QTest::newRow("key case ignored")
            << codecs << u"MUSICCODEC"_s << u"mp3"_s << u"NullString"_s;
        QTest::newRow("value case kept")
            << u"[s]\r\nk=MiXeD\r\n"_s << u"s"_s << u"k"_s << u"MiXeD"_s;
        QTest::newRow("key in another section")
            << codecs << u"MUSICCODEC"_s << u"DivX 5"_s << QString();
        QTest::newRow("missing section") << codecs << u"OTHER"_s << u"MP3"_s << QString();
        QTest::newRow("empty value") << codecs << u"MOVIECODEC"_s << u"Empty"_s << QString();
        QTest::newRow("non-ASCII case is not folded")
            << u"[s]\r\nＡ=1\r\n"_s << u"s"_s << u"ａ"_s << QString();
        QTest::newRow("first key of a name wins")
            << u"[s]\r\nk=1\r\nK=2\r\n"_s << u"s"_s << u"k"_s << u"1"_s;
        QTest::newRow("LF and lone CR end lines too")
            << u"[s]\nk=1\ra=2"_s << u"s"_s << u"a"_s << u"2"_s;
        QTest::newRow("one pair of quotes only")
            << u"[s]\r\nk=\"\"x\"\"\r\n"_s << u"s"_s << u"k"_s << u"\"x\""_s;
        QTest::newRow("unbalanced quote stays")
            << u"[s]\r\nk=\"x\r\n"_s << u"s"_s << u"k"_s << u"\"x"_s;
        QTest::newRow("equals sign inside the value")
            << u"[s]\r\nk=a=b\r\n"_s << u"s"_s << u"k"_s << u"a=b"_s;
        QTest::newRow("comment line") << u"[s]\r\n;k=1\r\n"_s << u"s"_s << u";k"_s << QString();
        QTest::newRow("keys before any section are ignored")
            << u"k=1\r\n[s]\r\n"_s << u"s"_s << u"k"_s << QString();
        QTest::newRow("value cut at 254")
            << u"[s]\r\nk="_s + QString(300, u'v') << u"s"_s << u"k"_s << QString(254, u'v');
        QTest::newRow("empty file") << QString() << u"s"_s << u"k"_s << QString();
    }
    void values()
    {
        QFETCH(QString, text);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QCOMPARE(ProfileFile::parse(text).value(section, key), value);
    }

    // A pipe named CodecChange.txt used to hang the codec rewrite until something wrote to it.
    void pipeGivesNoValuesAtOnce()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"CodecChange.txt"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        QCOMPARE(ReadProfileValue(u"MOVIECODEC", u"XviD", path), QString());
    }

    void readsWindows31JFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"CodecChange.txt"_s);
        quillet::test::writeFile(path, "[MUSICCODEC]\r\n\x83\x41\x83\x43=\x82\xa0\r\n"); // アイ=あ
        QCOMPARE(ReadProfileValue(u"MUSICCODEC", u"アイ", path), u"あ"_s);
        QCOMPARE(ReadProfileValue(u"MUSICCODEC", u"x", dir.filePath(u"missing.txt"_s)), QString());
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
