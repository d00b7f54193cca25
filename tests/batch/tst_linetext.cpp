#include "batch/linetext.h"

#include <QTest>

using namespace quillet::batch;
using namespace Qt::Literals::StringLiterals;

class TestLineText : public QObject {
    Q_OBJECT

private slots:
    void lineAt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("line");
        const QString abc = u"a\r\n\r\nb"_s;
        QTest::newRow("first line") << abc << 0 << u"a"_s;
        QTest::newRow("empty middle line") << abc << 1 << QString();
        QTest::newRow("last line") << abc << 2 << u"b"_s;
        QTest::newRow("beyond the last line") << abc << 3 << QString();
        QTest::newRow("far beyond") << abc << 1000 << QString();
        QTest::newRow("empty text, line 0") << QString() << 0 << QString();
        QTest::newRow("empty text, line 5") << QString() << 5 << QString();
        QTest::newRow("no line break is line 0") << u"abc"_s << 0 << u"abc"_s;
        QTest::newRow("after a final line break") << u"a\r\n"_s << 1 << QString();
        QTest::newRow("lone CR stays in its line") << u"a\rb\r\nc"_s << 0 << u"a\rb"_s;
        QTest::newRow("lone LF stays in its line") << u"a\nb\r\nc"_s << 1 << u"c"_s;
        QTest::newRow("CR CR LF: the first CR belongs to the line")
            << u"a\r\r\nb"_s << 0 << u"a\r"_s;
        QTest::newRow("LF CR LF") << u"a\n\r\nb"_s << 0 << u"a\n"_s;
    }
    void lineAt()
    {
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(QString, line);
        QCOMPARE(LineAt(text, n), line);
    }

    // The one-pass reader must agree with LineAt on every line, including missing ones.
    void linesForEntriesAgreesWithLineAt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("plain") << u"a\r\nbb\r\nccc"_s;
        QTest::newRow("trailing break") << u"a\r\n"_s;
        QTest::newRow("lone CRs and LFs") << u"\r\r\n\n\r\n\r"_s;
        QTest::newRow("only breaks") << u"\r\n\r\n\r\n"_s;
    }
    void linesForEntriesAgreesWithLineAt()
    {
        QFETCH(QString, text);
        for (qsizetype count : {0, 1, 2, 5, 8}) {
            const QStringList lines = linesForEntries(text, count);
            QCOMPARE(lines.size(), count);
            for (qsizetype i = 0; i < count; ++i)
                QCOMPARE(lines.at(i), LineAt(text, i));
        }
    }

    void lineCountAndTrailingBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("trimmed");
        QTest::newRow("empty") << QString() << 1 << QString();
        QTest::newRow("hint with break") << u"hint\r\n"_s << 2 << u"hint"_s;
        QTest::newRow("several breaks") << u"a\r\nb\r\n\r\n\r\n"_s << 5 << u"a\r\nb"_s;
        QTest::newRow("lone CR at the end is kept") << u"a\r"_s << 1 << u"a\r"_s;
        QTest::newRow("CR CR LF keeps the first CR") << u"a\r\r\n"_s << 2 << u"a\r"_s;
        QTest::newRow("only breaks") << u"\r\n\r\n"_s << 3 << QString();
    }
    void lineCountAndTrailingBreaks()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        QFETCH(QString, trimmed);
        QCOMPARE(lineCount(text), count);
        QCOMPARE(withoutTrailingLineBreaks(text), trimmed);
    }
};

QTEST_GUILESS_MAIN(TestLineText)
#include "tst_linetext.moc"
