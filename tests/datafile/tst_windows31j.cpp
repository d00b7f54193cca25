#include "datafile/windows31j.h"

#include <QTest>

using namespace quillet::datafile;

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

    void truncatedDoubleByteDoesNotCrash()
    {
        QCOMPARE(decodeWindows31J(QByteArray("a\x82")).left(1), QStringLiteral("a"));
    }
};

QTEST_GUILESS_MAIN(TestWindows31J)
#include "tst_windows31j.moc"
