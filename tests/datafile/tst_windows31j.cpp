#include "datafile/windows31j.h"

#include <QTest>

using namespace quillet::datafile;
using namespace Qt::Literals::StringLiterals;

class TestWindows31J : public QObject {
    Q_OBJECT

private slots:
    void decodesCodePage932_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << QByteArray("abc.txt") << QStringLiteral("abc.txt");
        QTest::newRow("hiragana") << QByteArray("\x82\xa0\x82\xa2") << QStringLiteral("あい");
        QTest::newRow("backslash stays a backslash, not a yen sign")
            << QByteArray("C:\\a") << QStringLiteral("C:\\a");
        QTest::newRow("half-width katakana") << QByteArray("\xb1") << QStringLiteral("ｱ");
        // These three differ between plain Shift_JIS and the Windows code page.
        QTest::newRow("wave dash is the full-width tilde")
            << QByteArray("\x81\x60") << QStringLiteral("\uFF5E");
        QTest::newRow("NEC circled digit") << QByteArray("\x87\x40") << QStringLiteral("①");
        QTest::newRow("not sign is full-width")
            << QByteArray("\x81\xca") << QStringLiteral("\uFFE2");
        QTest::newRow("ideographic space") << QByteArray("\x81\x40") << QStringLiteral("　");
    }
    void decodesCodePage932()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(decodeWindows31J(bytes), text);
        QCOMPARE(encodeWindows31J(text), std::optional<QByteArray>(bytes));
    }

    void encodingRefusesWhatTheCodePageCannotHold_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("emoji") << QStringLiteral("a😀b");
        QTest::newRow("rare kanji outside the code page") << QStringLiteral("𠮷野家");
        QTest::newRow("latin letter with accent") << QStringLiteral("café");
    }
    void encodingRefusesWhatTheCodePageCannotHold()
    {
        QFETCH(QString, text);
        QVERIFY(!encodeWindows31J(text).has_value());
    }

    // ICU's own substitute for a bad single byte is U+001A, an invisible control character
    // that went on into file names.
    void invalidBytesDecodeToReplacementCharacterNotSub_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("unmapped single byte 0x80") << QByteArray("a\x80z") << u"a\uFFFDz"_s;
        QTest::newRow("unmapped single byte 0xA0") << QByteArray("\xa0") << u"\uFFFD"_s;
        QTest::newRow("unmapped single byte 0xFD") << QByteArray("\xfd") << u"\uFFFD"_s;
        QTest::newRow("unmapped single byte 0xFF") << QByteArray("\xff") << u"\uFFFD"_s;
        QTest::newRow("truncated double byte at the end") << QByteArray("a\x82") << u"a\uFFFD"_s;
        QTest::newRow("lead byte before a space keeps the space")
            << QByteArray("\x82 b") << u"\uFFFD b"_s;
        QTest::newRow("unassigned double byte") << QByteArray("\x85\x40") << u"\uFFFD"_s;
        QTest::newRow("two bad bytes give two replacements")
            << QByteArray("\x80\x80") << u"\uFFFD\uFFFD"_s;
    }
    void invalidBytesDecodeToReplacementCharacterNotSub()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(decodeWindows31J(bytes), text);
        // The strict decoding still refuses them.
        QVERIFY(!decodeWindows31JStrictly(bytes).has_value());
    }

    // ICU's table exchanges these three control characters; Windows does not.
    void controlCharactersMapToThemselves_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("0x1A") << QByteArray("\x1a") << u"\u001A"_s;
        QTest::newRow("0x1C") << QByteArray("\x1c") << u"\u001C"_s;
        QTest::newRow("0x7F") << QByteArray("\x7f") << u"\u007F"_s;
        QTest::newRow("between double bytes")
            << QByteArray("\x82\xa0\x7f\x82\xa2\x1c") << u"あ\u007Fい\u001C"_s;
    }
    void controlCharactersMapToThemselves()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(decodeWindows31J(bytes), text);
        QCOMPARE(decodeWindows31JStrictly(bytes), std::optional<QString>(text));
        QCOMPARE(encodeWindows31J(text), std::optional<QByteArray>(bytes));
    }
};

QTEST_GUILESS_MAIN(TestWindows31J)
#include "tst_windows31j.moc"
