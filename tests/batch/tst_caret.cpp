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
        const QString two = u"ab\r\ncde"_s;
        QTest::newRow("before a") << two << 0 << 1 << 3;
        QTest::newRow("between a and b") << two << 1 << 2 << 2;
        QTest::newRow("after b") << two << 2 << 3 << 1;
        QTest::newRow("before c") << two << 4 << 1 << 4;
        QTest::newRow("between c and d") << two << 5 << 2 << 3;
        QTest::newRow("after e") << two << 7 << 4 << 1;
        QTest::newRow("empty text") << QString() << 0 << 1 << 1;
        QTest::newRow("empty line between two") << u"a\r\n\r\nb"_s << 3 << 1 << 1;
        QTest::newRow("last line counts to the end") << u"a\r\nbcd"_s << 4 << 2 << 3;
        QTest::newRow("after a final break") << u"a\r\n"_s << 3 << 1 << 1;
        QTest::newRow("third line of three") << u"a\r\nb\r\ncc"_s << 7 << 2 << 2;
        QTest::newRow("no break, middle") << u"abcd"_s << 2 << 3 << 3;
        QTest::newRow("lone CR is a character") << u"a\rb"_s << 2 << 3 << 2;
        QTest::newRow("second of three, start") << u"x\r\nyy\r\nz"_s << 3 << 1 << 3;
    }
    void counts()
    {
        QFETCH(QString, text);
        QFETCH(int, offset);
        QFETCH(int, front);
        QFETCH(int, back);
        QCOMPARE(caretCounts(text, offset), (CaretCounts{front, back}));
    }

    // The editor's paragraph stands for one name line; the counts are in the line's characters.
    void paragraphCounts_data()
    {
        QTest::addColumn<QString>("paragraph");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("front");
        QTest::addColumn<int>("back");
        QTest::newRow("plain, middle") << u"abcd"_s << 1 << 2 << 4;
        QTest::newRow("empty paragraph") << QString() << 0 << 1 << 1;
        QTest::newRow("symbol of a CR is one character") << u"a\u240Db"_s << 2 << 3 << 2;
        QTest::newRow("escaped real symbol is one character") << u"\u241B\u240Dab"_s << 4 << 4 << 1;
        QTest::newRow("caret between escape and symbol") << u"x\u241B\u240D"_s << 2 << 2 << 2;
    }
    void paragraphCounts()
    {
        QFETCH(QString, paragraph);
        QFETCH(int, column);
        QFETCH(int, front);
        QFETCH(int, back);
        QCOMPARE(paragraphCaretCounts(paragraph, column), (CaretCounts{front, back}));
    }
};

QTEST_GUILESS_MAIN(TestCaret)
#include "tst_caret.moc"
