#include "batch/caret.h"

#include <QTest>

using namespace quillet::batch;
using namespace Qt::Literals::StringLiterals;

class TestCaret : public QObject {
    Q_OBJECT

private slots:
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
        // A name holding CR LF is still one line: the counts used to restart after the pair.
        QTest::newRow("CR LF inside a name") << u"a\u240D\u240Ab"_s << 4 << 5 << 1;
        QTest::newRow("plain, start") << u"abcd"_s << 0 << 1 << 5;
        QTest::newRow("plain, end") << u"abcd"_s << 4 << 5 << 1;
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
