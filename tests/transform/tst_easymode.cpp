#include "transform/easymode.h"

#include "batch/linetext.h"

#include <QTest>

using namespace quillet::transform;
using namespace Qt::Literals::StringLiterals;

class TestEasyMode : public QObject {
    Q_OBJECT

private slots:
    void operations_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("valueA");
        QTest::addColumn<QString>("valueB");
        QTest::addColumn<QString>("result");
        const QString none;
        const auto row = [](const char* tag, int index, const QString& line, const QString& a,
                            const QString& b, const QString& result) {
            QTest::newRow(tag) << index << line << a << b << result;
        };
        // Prefixes and suffixes.
        row("0 prefix keeps its space", 0, u"movie"_s, none, none, u"[DVD] movie"_s);
        row("0 on an empty line gives the prefix alone", 0, none, none, none, u"[DVD] "_s);
        row("2", 2, u"m"_s, none, none, u"(DVD-RIP) m"_s);
        row("5", 5, u"m"_s, none, none, u"[映画] m"_s);
        row("6 has a space the item does not show", 6, u"m"_s, none, none, u"[18禁ゲーム] m"_s);
        row("7 has a space the item does not show", 7, u"m"_s, none, none, u"(18禁ゲーム) m"_s);
        row("8 value A", 8, u"m"_s, u"A-"_s, none, u"A-m"_s);
        row("8 empty A on an empty line stays empty", 8, none, none, none, none);
        row("10", 10, u"m"_s, none, none, u"m(DVD)"_s);
        row("13", 13, u"m"_s, none, none, u"m(日本語字幕)"_s);
        row("14", 14, u"m"_s, none, none, u"m(日本語吹き替え)"_s);
        row("15 value A", 15, u"m"_s, u"-x"_s, none, u"m-x"_s);
        row("prefix twice adds twice", 3, u"[LD] m"_s, none, none, u"[LD] [LD] m"_s);
        // Episode numbers.
        row("17 simple", 17, u"Title #01"_s, none, none, u"Title 第01話"_s);
        row("17 at start", 17, u"#3 abc"_s, none, none, u"第3話 abc"_s);
        row("17 only the first", 17, u"a#12#34"_s, none, none, u"a第12話#34"_s);
        row("17 after a lone #", 17, u"##5"_s, none, none, u"#第5話"_s);
        row("17 eight digits", 17, u"#12345678"_s, none, none, u"第12345678話"_s);
        row("17 nine digits: no match", 17, u"#123456789"_s, none, none, u"#123456789"_s);
        row("17 nine digits then a match", 17, u"#123456789 #2"_s, none, none,
            u"#123456789 第2話"_s);
        row("17 digit at the end", 17, u"ab#5"_s, none, none, u"ab第5話"_s);
        row("17 no digit after #", 17, u"a#b"_s, none, none, u"a#b"_s);
        row("17 full-width digit is no digit", 17, u"#１"_s, none, none, u"#１"_s);
        row("18 simple", 18, u"Title 第01話"_s, none, none, u"Title #01"_s);
        row("18 drops the next character", 18, u"第5回 x"_s, none, none, u"#5 x"_s);
        row("18 digits at the end", 18, u"x第12"_s, none, none, u"x#12"_s);
        row("18 only the first", 18, u"第1話第2話"_s, none, none, u"#1第2話"_s);
        row("18 bare", 18, u"第7"_s, none, none, u"#7"_s);
        row("18 keeps what follows", 18, u"第7話あ"_s, none, none, u"#7あ"_s);
        // Half of a surrogate pair was left behind and reached the file name as U+FFFD.
        row("18 drops an emoji after the digits whole", 18, u"第3😀x"_s, none, none, u"#3x"_s);
        row("18 drops a rare kanji after the digits whole", 18, u"第3𠮷野家"_s, none, none,
            u"#3野家"_s);
        row("18 a lone high surrogate is one unit", 18, u"第3\xD800x"_s, none, none, u"#3x"_s);
        row("18 nine digits: no match", 18, u"第123456789話"_s, none, none, u"第123456789話"_s);
        // Character conversions, single passes.
        row("19", 19, u"｢a｣"_s, none, none, u"「a」"_s);
        row("20 wide to narrow", 20, u"a（b）"_s, none, none, u"a(b)"_s);
        row("21 narrow to wide", 21, u"a(b)"_s, none, none, u"a（b）"_s);
        row("22", 22, u"a!!"_s, none, none, u"a！！"_s);
        row("23", 23, u"a！"_s, none, none, u"a!"_s);
        row("24 four dots", 24, u"a・・・・b"_s, none, none, u"a…・b"_s);
        row("24 six dots", 24, u"・・・・・・"_s, none, none, u"……"_s);
        row("24 two dots", 24, u"a・・b"_s, none, none, u"a・・b"_s);
        row("25 every occurrence", 25, u"abcabc"_s, u"b"_s, u"XY"_s, u"aXYcaXYc"_s);
        row("25 no re-search of replaced text", 25, u"aaa"_s, u"a"_s, u"aa"_s, u"aaaaaa"_s);
        row("25 empty A changes nothing", 25, u"abc"_s, none, u"x"_s, u"abc"_s);
        row("25 empty B deletes", 25, u"a-b-c"_s, u"-"_s, none, u"abc"_s);
        row("25 whole line to empty keeps the line", 25, u"abc"_s, u"abc"_s, none, u"abc"_s);
        row("25 case-sensitive", 25, u"ABC"_s, u"abc"_s, u"x"_s, u"ABC"_s);
        // Bracket groups.
        row("27 leading square group", 27, u"[DVD] movie"_s, none, none, u" movie"_s);
        row("27 empty group", 27, u"[]abc"_s, none, none, u"abc"_s);
        row("27 first closing group", 27, u"(a)(b)"_s, none, none, u"(b)"_s);
        row("27 nested: innermost first", 27, u"[a[b]c]d"_s, none, none, u"[ac]d"_s);
        row("27 full-width", 27, u"（a）b"_s, none, none, u"b"_s);
        row("27 group elsewhere", 27, u"abc[d]"_s, none, none, u"abc[d]"_s);
        row("27 other brackets are text", 27, u"「a」b"_s, none, none, u"「a」b"_s);
        row("27 no closing bracket", 27, u"[abc"_s, none, none, u"[abc"_s);
        row("27 group alone stays", 27, u"[DVD]"_s, none, none, u"[DVD]"_s);
        row("27 mixed kinds", 27, u"(a]b)c"_s, none, none, u"c"_s);
        row("29 trailing group", 29, u"movie (DVD)"_s, none, none, u"movie "_s);
        row("29 last group only", 29, u"a(b)(c)"_s, none, none, u"a(b)"_s);
        row("29 from the last opening", 29, u"a[b]c]"_s, none, none, u"a"_s);
        row("29 inner other kind", 29, u"a[b(c)]"_s, none, none, u"a"_s);
        row("29 not ending in a bracket", 29, u"[a]b"_s, none, none, u"[a]b"_s);
        row("29 group alone stays", 29, u"(abc)"_s, none, none, u"(abc)"_s);
        row("29 full-width", 29, u"x（y）"_s, none, none, u"x"_s);
        // Value A removal.
        row("28 first occurrence anywhere", 28, u"xabyab"_s, u"ab"_s, none, u"xyab"_s);
        row("30 last occurrence", 30, u"xabyab"_s, u"ab"_s, none, u"xaby"_s);
        row("28 whole line stays", 28, u"ab"_s, u"ab"_s, none, u"ab"_s);
        row("28 empty A", 28, u"ab"_s, none, none, u"ab"_s);
        row("30 empty A", 30, u"ab"_s, none, none, u"ab"_s);
        row("30 overlapping: the one starting last", 30, u"aaa"_s, u"aa"_s, none, u"a"_s);
        row("28 absent", 28, u"abc"_s, u"x"_s, none, u"abc"_s);
        // Trimming.
        row("31 both space kinds", 31, u" 　a b　 "_s, none, none, u"a b"_s);
        row("31 spaces only stay", 31, u" 　 "_s, none, none, u" 　 "_s);
        row("31 tabs are content", 31, u"\ta\t"_s, none, none, u"\ta\t"_s);
        row("31 inner spaces stay", 31, u"  a   b  "_s, none, none, u"a   b"_s);
        // Templates.
        row("33 appends the CRC-16 template", 33, u"m"_s, none, none, u"m[*/CRC16/*]"_s);
        row("34 appends the CRC-32 template", 34, u"m"_s, none, none, u"m [*/CRC32/*]"_s);
        // Indices that name no operation.
        row("no selection", -1, u"m"_s, none, none, u"m"_s);
        row("beyond the list", 99, u"m"_s, none, none, u"m"_s);
    }
    void operations()
    {
        QFETCH(int, index);
        QFETCH(QString, line);
        QFETCH(QString, valueA);
        QFETCH(QString, valueB);
        QFETCH(QString, result);
        EasyValues values;
        values.valueA = valueA;
        values.valueB = valueB;
        values.crc16Template = u"[*/CRC16/*]"_s;
        values.crc32Template = u" [*/CRC32/*]"_s;
        QCOMPARE(ApplyEasyOperation(index, line, values), result);
    }

    void emptyTemplatesChangeNothing()
    {
        const EasyValues values;
        QCOMPARE(ApplyEasyOperation(easy::kCrc16Template, u"m"_s, values), u"m"_s);
        QCOMPARE(ApplyEasyOperation(easy::kCrc32Template, u"m"_s, values), u"m"_s);
    }

    void runJoinsTheLines()
    {
        const EasyValues values;
        QCOMPARE(RunEasyMode(10, {u"a"_s, QString(), u"c"_s}, values),
                 std::optional<QString>(u"a(DVD)\r\n(DVD)\r\nc(DVD)"_s));
        QCOMPARE(RunEasyMode(-1, {u"a"_s, u"b"_s}, values), std::optional<QString>(u"a\r\nb"_s));
    }

    // The names text run line by line gives what the run over the list of its lines gives:
    // the entries' lines only, an empty line for each entry without one.
    void runOverTheNamesTextMatchesTheRunOverItsLines_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("names");
        QTest::addColumn<int>("count"); // the entries
        const qsizetype piece = quillet::batch::ChunkedText::kPieceLines;
        QStringList many;
        for (qsizetype i = 0; i < 2 * piece + 3; ++i)
            many.append(i % 7 == 0 ? u"(x)"_s : u"ep %1 (x)"_s.arg(i));
        const QString manyNames = quillet::batch::joinLines(many);
        QTest::newRow("prefix on every line") << 0 << u"a\r\nb\r\nc"_s << 3;
        QTest::newRow("lines past the entries are dropped") << 10 << u"a\r\nb\r\nc"_s << 2;
        QTest::newRow("entries without a line get one") << 10 << u"a"_s << 3;
        QTest::newRow("lone CR and LF stay inside their lines") << 0 << u"a\r\rb\n\r\nc"_s << 2;
        QTest::newRow("no entries") << 0 << u"a"_s << 0;
        QTest::newRow("separator abandons") << 9 << u"a"_s << 1;
        QTest::newRow("no change leaves the lines") << -1 << u"a\r\n\r\nb"_s << 3;
        QTest::newRow("several pieces") << 31 << manyNames << int(many.size());
        QTest::newRow("several pieces, fewer entries") << 27 << manyNames << int(piece + 1);
    }
    void runOverTheNamesTextMatchesTheRunOverItsLines()
    {
        QFETCH(int, index);
        QFETCH(QString, names);
        QFETCH(int, count);
        const EasyValues values;
        const std::optional<QString> expected =
            RunEasyMode(index, quillet::batch::linesForEntries(names, count), values);
        const std::optional<quillet::batch::ChunkedText> chunked =
            RunEasyMode(index, quillet::batch::ChunkedText(names), count, values);
        QCOMPARE(chunked.has_value(), expected.has_value());
        if (!expected)
            return;
        QCOMPARE(chunked->toString(), *expected);
        QCOMPARE(chunked->size(), expected->size());
        QCOMPARE(chunked->lineCount(), quillet::batch::lineCount(*expected));
    }

    void separatorsAbandonTheRun_data()
    {
        QTest::addColumn<int>("index");
        for (int index : {9, 16, 26, 32})
            QTest::addRow("item %d", index) << index;
    }
    void separatorsAbandonTheRun()
    {
        QFETCH(int, index);
        QCOMPARE(RunEasyMode(index, {u"a"_s}, EasyValues()), std::nullopt);
        // Without lines there is nothing to abandon: the text becomes empty.
        QCOMPARE(RunEasyMode(index, {}, EasyValues()), std::optional<QString>(QString()));
    }
};

QTEST_GUILESS_MAIN(TestEasyMode)
#include "tst_easymode.moc"
