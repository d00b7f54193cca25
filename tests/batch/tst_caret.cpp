#include "batch/caret.h"

#include <QTest>

using namespace quillet::batch;
using namespace Qt::Literals::StringLiterals;

class TestCaret : public QObject {
    Q_OBJECT

private slots:
    void counts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("front");
        QTest::addColumn<int>("back");
        QTest::addColumn<int>("line");
        const QString two = u"ab\r\ncde"_s;
        QTest::newRow("before a") << two << 0 << 1 << 3 << 0;
        QTest::newRow("between a and b") << two << 1 << 2 << 2 << 0;
        QTest::newRow("after b") << two << 2 << 3 << 1 << 0;
        QTest::newRow("before c") << two << 4 << 1 << 4 << 1;
        QTest::newRow("between c and d") << two << 5 << 2 << 3 << 1;
        QTest::newRow("after e") << two << 7 << 4 << 1 << 1;
        QTest::newRow("empty text") << QString() << 0 << 1 << 1 << 0;
        QTest::newRow("empty line between two") << u"a\r\n\r\nb"_s << 3 << 1 << 1 << 1;
        QTest::newRow("last line counts to the end") << u"a\r\nbcd"_s << 4 << 2 << 3 << 1;
        QTest::newRow("after a final break") << u"a\r\n"_s << 3 << 1 << 1 << 1;
        QTest::newRow("third line of three") << u"a\r\nb\r\ncc"_s << 7 << 2 << 2 << 2;
        QTest::newRow("no break, middle") << u"abcd"_s << 2 << 3 << 3 << 0;
        QTest::newRow("lone CR is a character") << u"a\rb"_s << 2 << 3 << 2 << 0;
        QTest::newRow("second of three, start") << u"x\r\nyy\r\nz"_s << 3 << 1 << 3 << 1;
    }
    void counts()
    {
        QFETCH(QString, text);
        QFETCH(int, offset);
        QFETCH(int, front);
        QFETCH(int, back);
        QFETCH(int, line);
        QCOMPARE(caretCounts(text, offset), (CaretCounts{front, back}));
        QCOMPARE(caretLineIndex(text, offset), line);
    }

    void sourceOfTheCaretsLine()
    {
        const QStringList sources{u"/d/a.avi"_s, u"/d/b.avi"_s};
        const QString text = u"a\r\nb\r\n"_s;
        QCOMPARE(caretSource(text, 0, sources), u"/d/a.avi"_s);
        QCOMPARE(caretSource(text, 3, sources), u"/d/b.avi"_s);
        QCOMPARE(caretSource(text, 6, sources), QString()); // line beyond the last entry
        QCOMPARE(caretSource(QString(), 0, {}), QString());
    }
};

QTEST_GUILESS_MAIN(TestCaret)
#include "tst_caret.moc"
