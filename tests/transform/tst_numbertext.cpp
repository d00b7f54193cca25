#include "transform/numbertext.h"

#include <QTest>

using namespace quillet::transform;
using namespace Qt::Literals::StringLiterals;

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void toInt32_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << u"640"_s << true << 640;
        QTest::newRow("leading zeros") << u"0640"_s << true << 640;
        QTest::newRow("surrounding spaces") << u"  12 "_s << true << 12;
        QTest::newRow("plus sign") << u"+7"_s << true << 7;
        QTest::newRow("negative") << u"-3"_s << true << -3;
        QTest::newRow("half rounds to even: 1.5") << u"1.5"_s << true << 2;
        QTest::newRow("half rounds to even: 2.5") << u"2.5"_s << true << 2;
        QTest::newRow("half rounds to even: -2.5") << u"-2.5"_s << true << -2;
        QTest::newRow("above half rounds up") << u"2.51"_s << true << 3;
        QTest::newRow("leading dot") << u".6"_s << true << 1;
        QTest::newRow("trailing dot") << u"4."_s << true << 4;
        QTest::newRow("largest") << u"2147483647"_s << true << 2147483647;
        QTest::newRow("smallest") << u"-2147483648"_s << true << int(-2147483648LL);
        QTest::newRow("rounds into range") << u"2147483647.4"_s << true << 2147483647;
        QTest::newRow("too large") << u"2147483648"_s << false << 0;
        QTest::newRow("rounds out of range") << u"2147483647.5"_s << false << 0;
        QTest::newRow("empty") << QString() << false << 0;
        QTest::newRow("only spaces") << u"   "_s << false << 0;
        QTest::newRow("sign alone") << u"-"_s << false << 0;
        QTest::newRow("dot alone") << u"."_s << false << 0;
        QTest::newRow("letters") << u"12a"_s << false << 0;
        QTest::newRow("inner space") << u"1 2"_s << false << 0;
        QTest::newRow("full-width digits") << u"１２"_s << false << 0;
        QTest::newRow("two dots") << u"1.2.3"_s << false << 0;
        QTest::newRow("huge digit string") << QString(400, u'9') << false << 0;
    }
    void toInt32()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        const std::optional<std::int32_t> result = parseInt32(text);
        QCOMPARE(result.has_value(), ok);
        if (ok)
            QCOMPARE(*result, value);
    }

    void singles_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shortest");
        QTest::newRow("44.1") << u"44.1"_s << u"44.1"_s;
        QTest::newRow("48") << u"48"_s << u"48"_s;
        QTest::newRow("22.05") << u"22.05"_s << u"22.05"_s;
        QTest::newRow("leading zero dropped") << u"048.0"_s << u"48"_s;
        QTest::newRow("zero") << u"0"_s << u"0"_s;
        // The shortest form used to switch to an exponent ("1e+05") for round numbers.
        QTest::newRow("100000 has no exponent") << u"100000"_s << u"100000"_s;
        QTest::newRow("1000000 has no exponent") << u"1000000"_s << u"1000000"_s;
        QTest::newRow("tiny value has no exponent") << u"0.0001"_s << u"0.0001"_s;
        QTest::newRow("large value with a fraction") << u"96000.5"_s << u"96000.5"_s;
    }
    void singles()
    {
        QFETCH(QString, text);
        QFETCH(QString, shortest);
        const std::optional<float> value = parseSingle(text);
        QVERIFY(value);
        QCOMPARE(formatSingle(*value), shortest);
    }

    void singleOutOfRangeFails() { QVERIFY(!parseSingle(u"1"_s + QString(40, u'0'))); }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
