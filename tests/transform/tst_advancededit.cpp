#include "transform/advancededit.h"

#include <QTest>

using namespace quillet::transform;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(AdvancedEditRequest)

namespace {

AdvancedEditRequest request(int operation, int modeA, const QString& valueA1, int modeB,
                            const QString& valueB1, const QString& valueC,
                            const QString& plusA = u"0"_s, const QString& plusB = u"0"_s)
{
    AdvancedEditRequest r;
    r.operation = operation;
    r.modeA = modeA;
    r.valueA1 = valueA1;
    r.plusA = plusA;
    r.modeB = modeB;
    r.valueB1 = valueB1;
    r.plusB = plusB;
    r.valueC = valueC;
    return r;
}

} // namespace

class TestAdvancedEdit : public QObject {
    Q_OBJECT

private slots:
    void edits_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<AdvancedEditRequest>("req");
        QTest::addColumn<QString>("result"); // the line as ApplyAdvancedEdit leaves it
        const QString none;
        QTest::newRow("default inserts at the start")
            << u"abc"_s << request(0, 0, none, 0, none, u"[x] "_s) << u"[x] abc"_s;
        QTest::newRow("empty line gets value C")
            << none << request(0, 0, none, 0, none, u"[x] "_s) << u"[x] "_s;
        QTest::newRow("from the back 1 is the end")
            << u"abc"_s << request(0, 2, u"1"_s, 0, none, u"!"_s) << u"abc!"_s;
        QTest::newRow("from the back 2 is before the last")
            << u"abc"_s << request(0, 2, u"2"_s, 0, none, u"!"_s) << u"ab!c"_s;
        QTest::newRow("beyond the end behaves like the end")
            << u"0123456789"_s << request(0, 1, u"100"_s, 0, none, u"!"_s) << u"0123456789!"_s;
        QTest::newRow("delete everything keeps the line")
            << u"abc"_s << request(2, 0, none, 0, none, none) << u"abc"_s;
        QTest::newRow("delete a searched text")
            << u"xxabcyy"_s << request(2, 3, u"abc"_s, 3, u"abc"_s, none) << u"xxyy"_s;
        QTest::newRow("delete from ( to the last )")
            << u"a(b)c(d)e"_s << request(2, 3, u"("_s, 4, u")"_s, none) << u"ae"_s;
        QTest::newRow("delete A = B removes nothing")
            << u"abc"_s << request(2, 1, u"2"_s, 1, u"2"_s, none) << u"abc"_s;
        QTest::newRow("replace A = B inserts")
            << u"abc"_s << request(3, 1, u"2"_s, 1, u"2"_s, u"-"_s) << u"a-bc"_s;
        QTest::newRow("replace a range")
            << u"abcdef"_s << request(3, 1, u"2"_s, 1, u"5"_s, u"-"_s) << u"a-ef"_s;
        QTest::newRow("insert with A after B does nothing")
            << u"abc"_s << request(0, 0, none, 1, u"0"_s, u"!"_s) << u"abc"_s;
        QTest::newRow("insert at B")
            << u"abc"_s << request(1, 0, none, 1, u"3"_s, u"!"_s) << u"ab!c"_s;
        QTest::newRow("search not found: A 0 fails")
            << u"abc"_s << request(0, 3, u"z"_s, 0, none, u"!"_s) << u"abc"_s;
        QTest::newRow("search not found: insert at B still works")
            << u"abc"_s << request(1, 3, u"z"_s, 0, none, u"!"_s) << u"abc!"_s;
        QTest::newRow("B of a text not found counts its length")
            << u"abcdef"_s << request(1, 0, none, 3, u"zzz"_s, u"!"_s) << u"ab!cdef"_s;
        QTest::newRow("plus -1 moves A left of the found text")
            << u"abcd"_s << request(0, 3, u"c"_s, 0, none, u"!"_s, u"-1"_s) << u"a!bcd"_s;
        QTest::newRow("plus 1 at the end is still the end")
            << u"ab"_s << request(1, 0, none, 0, none, u"!"_s, u"0"_s, u"1"_s) << u"ab!"_s;
        QTest::newRow("1.5 rounds to 2")
            << u"abc"_s << request(0, 1, u"1.5"_s, 0, none, u"!"_s) << u"a!bc"_s;
        QTest::newRow("2.5 rounds to 2")
            << u"abc"_s << request(0, 1, u"2.5"_s, 0, none, u"!"_s) << u"a!bc"_s;
        QTest::newRow("negative count from the back is the end")
            << u"abc"_s << request(0, 2, u"-5"_s, 0, none, u"!"_s) << u"abc!"_s;
        QTest::newRow("negative count from the front fails")
            << u"abc"_s << request(0, 1, u"-1"_s, 0, none, u"!"_s) << u"abc"_s;
        QTest::newRow("empty value C: insert changes nothing")
            << u"abc"_s << request(0, 1, u"2"_s, 0, none, none) << u"abc"_s;
        QTest::newRow("empty value C: replace deletes")
            << u"abcd"_s << request(3, 1, u"2"_s, 1, u"4"_s, none) << u"ad"_s;
        QTest::newRow("empty A-1 counting fails")
            << u"abc"_s << request(0, 1, none, 0, none, u"!"_s) << u"abc"_s;
        QTest::newRow("empty A-1 searching finds the start")
            << u"abc"_s << request(0, 3, none, 0, none, u"!"_s) << u"!abc"_s;
        QTest::newRow("empty plus fails")
            << u"abc"_s << request(0, 0, none, 0, none, u"!"_s, none) << u"abc"_s;
        QTest::newRow("plus not a number fails")
            << u"abc"_s << request(0, 0, none, 0, none, u"!"_s, u"x"_s) << u"abc"_s;
        QTest::newRow("backward search finds the last")
            << u"a-b-c"_s << request(0, 4, u"-"_s, 0, none, u"!"_s) << u"a-b!-c"_s;
        QTest::newRow("backward search for empty text is the end")
            << u"abc"_s << request(0, 4, none, 0, none, u"!"_s) << u"abc!"_s;
        QTest::newRow("backward search for empty text on an empty line fails")
            << none << request(0, 4, none, 0, none, u"!"_s) << none;
        QTest::newRow("huge plus overflows and fails")
            << u"abc"_s << request(0, 0, none, 0, none, u"!"_s, u"2147483647"_s) << u"abc"_s;
        QTest::newRow("smallest position fails without overflow")
            << u"abc"_s << request(0, 1, u"-2147483648"_s, 0, none, u"!"_s) << u"abc"_s;
        QTest::newRow("japanese counts one unit each")
            << u"第一話"_s << request(0, 1, u"2"_s, 0, none, u"!"_s) << u"第!一話"_s;
    }
    void edits()
    {
        QFETCH(QString, line);
        QFETCH(AdvancedEditRequest, req);
        QFETCH(QString, result);
        QCOMPARE(ApplyAdvancedEdit(1, line, req), result);
    }

    void runOverEntriesOnly()
    {
        const AdvancedEditRequest req = request(0, 0, {}, 0, {}, u">"_s);
        QCOMPARE(ApplyAdvancedEdit(2, u"a\r\nb\r\nc\r\n"_s, req), u">a\r\n>b"_s);
        QCOMPARE(ApplyAdvancedEdit(3, u"a"_s, req), u">a\r\n>\r\n>"_s);
        QCOMPARE(ApplyAdvancedEdit(0, u"a\r\nb"_s, req), QString());
    }

    void positions()
    {
        QCOMPARE(ResolvePositionA(u"abc"_s, 2, u"1"_s, u"0"_s), std::optional<std::int32_t>(4));
        QCOMPARE(ResolvePositionB(u"abc"_s, 0, {}, u"1"_s), std::optional<std::int32_t>(5));
        QCOMPARE(ResolvePositionB(u"abcabc"_s, 4, u"bc"_s, u"0"_s), std::optional<std::int32_t>(7));
        QCOMPARE(ResolvePositionA(u"abc"_s, 1, u"x"_s, u"0"_s), std::nullopt);
        QCOMPARE(ResolvePositionA(u""_s, 3, {}, u"0"_s), std::optional<std::int32_t>(0));
    }
};

QTEST_GUILESS_MAIN(TestAdvancedEdit)
#include "tst_advancededit.moc"
