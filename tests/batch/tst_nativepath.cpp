#include "batch/nativepath.h"

#include <QTest>

using namespace quillet::batch;
using namespace Qt::Literals::StringLiterals;

class TestNativePath : public QObject {
    Q_OBJECT

private slots:
    void bytesSurviveTheRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QByteArray("/home/u/ep05.mkv");
        QTest::newRow("utf-8 japanese") << QByteArray("/d/\xE5\x8B\x95\xE7\x94\xBB.mp4");
        QTest::newRow("utf-8 four bytes") << QByteArray("/d/\xF0\x9F\x8E\xAC.mkv");
        QTest::newRow("shift-jis name") << QByteArray("/d/\x93\xAE\x89\xE6.mp4");
        QTest::newRow("every high byte") << [] {
            QByteArray all;
            for (int b = 0x80; b <= 0xFF; ++b)
                all.append(char(b));
            return all;
        }();
        QTest::newRow("cut utf-8 sequence") << QByteArray("a\xE5\x8B");
        QTest::newRow("overlong slash") << QByteArray("a\xC0\xAF"
                                                      "b");
        QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80");
        QTest::newRow("past U+10FFFF") << QByteArray("\xF4\x90\x80\x80");
        QTest::newRow("escape after a four-byte character") << QByteArray("\xF0\x9F\x8E\xAC\x93");
    }
    void bytesSurviveTheRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        const QString path = pathFromNativeBytes(bytes);
        QCOMPARE(nativeBytesFromPath(path), bytes);
    }

    void validUtf8IsPlainText()
    {
        const QString path = pathFromNativeBytes("/d/\xE5\x8B\x95\xE7\x94\xBB.mp4");
        QCOMPARE(path, u"/d/動画.mp4"_s);
        QVERIFY(!hasEscapedBytes(path));
        QVERIFY(!hasEscapedBytes(u"🎬"_s));
    }

    void display_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("shift-jis file name")
            << QByteArray("/d/\x93\xAE\x89\xE6.mp4") << u"/d/動画.mp4"_s;
        QTest::newRow("shift-jis folder, utf-8 file")
            << QByteArray("/\x93\xAE\x89\xE6/\xE5\x8B\x95.mp4") << u"/動画/動.mp4"_s;
        QTest::newRow("neither: a replacement per bad byte") << QByteArray("/d/a\xFF\xFE"
                                                                           "b\xF0\x9F\x8E\xAC")
                                                             << u"/d/a\uFFFD\uFFFDb🎬"_s;
        QTest::newRow("valid utf-8 stays") << QByteArray("/d/\xE5\x8B\x95") << u"/d/動"_s;
    }
    void display()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QCOMPARE(displayText(pathFromNativeBytes(bytes), u'/'), shown);
    }
};

QTEST_GUILESS_MAIN(TestNativePath)
#include "tst_nativepath.moc"
