#include "memory/valuememory.h"

#include <QTest>

using namespace quillet::memory;
using namespace Qt::Literals::StringLiterals;

class TestValueMemory : public QObject {
    Q_OBJECT

private slots:
    void rememberable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("remembered");
        QTest::newRow("new text") << u"abc"_s << true;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("known") << u"known"_s << false;
        QTest::newRow("other case is new") << u"KNOWN"_s << true;
        QTest::newRow("1") << u"1"_s << false;
        QTest::newRow("2") << u"2"_s << false;
        QTest::newRow("5") << u"5"_s << false;
        QTest::newRow("3") << u"3"_s << true;
        QTest::newRow("4") << u"4"_s << true;
        QTest::newRow("10") << u"10"_s << true;
        QTest::newRow("255") << u"255"_s << true;
        QTest::newRow("full-width 1") << u"１"_s << true;
        QTest::newRow("a space") << u" "_s << true;
    }
    void rememberable()
    {
        QFETCH(QString, text);
        QFETCH(bool, remembered);
        QCOMPARE(isRememberable(text, {u"known"_s}), remembered);
    }

    void aRunAddsEachNewTextOnceInBoxOrder()
    {
        // Text10, Text11, Text4, Text8, Text5, Text9, Text3
        const QStringList boxes{u"abc"_s, QString(), u"2"_s, u"x"_s, u"abc"_s, u"old"_s, u"x"_s};
        QCOMPARE(valuesToRemember({u"old"_s}, boxes), (QStringList{u"abc"_s, u"x"_s}));
        QCOMPARE(valuesToRemember({u"old"_s, u"abc"_s, u"x"_s}, boxes), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestValueMemory)
#include "tst_valuememory.moc"
