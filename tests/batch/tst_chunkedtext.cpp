#include "batch/chunkedtext.h"
#include "batch/linetext.h"

#include <QRandomGenerator>
#include <QTest>

#include <deque>
#include <utility>

using namespace quillet::batch;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qsizetype kPiece = ChunkedText::kPieceLines;
// The lines of a full group of pieces.
constexpr qsizetype kGroup = ChunkedText::kPieceLines * ChunkedText::kGroupPieces;

// Lines "L0" .. "L<count-1>" joined by CR LF.
QString numbered(qsizetype count)
{
    QStringList lines;
    for (qsizetype i = 0; i < count; ++i)
        lines.append(u"L%1"_s.arg(i));
    return joinLines(lines);
}

// The whole-text model of replaceLines: lines first .. first + count - 1 give way to the lines
// of the replacement.
QString replacedLines(const QString& text, qsizetype first, qsizetype count,
                      const QString& replacement)
{
    QStringList lines = linesForEntries(text, lineCount(text));
    lines.remove(first, count);
    lines.insert(first, replacement);
    return joinLines(lines);
}

// Lines that end or begin with a lone CR or LF, so that a piece boundary between them would
// read differently if it were not a real line break.
QString awkwardLine(QRandomGenerator& random)
{
    static const QStringList kinds{u"a"_s, u"\r"_s, u"\n"_s, u"b\r"_s, u"\nc"_s, QString()};
    return kinds[random.bounded(kinds.size())] + kinds[random.bounded(kinds.size())];
}

// Lines 0 .. count - 1 of the text, read one at a time.
QStringList linesOf(const ChunkedText& text, qsizetype count)
{
    QStringList lines;
    text.forEachLine(count, [&lines](QStringView line) { lines.append(line.toString()); });
    return lines;
}

void verifyEquals(const ChunkedText& text, const QString& expected)
{
    QCOMPARE(text.toString(), expected);
    QCOMPARE(text.size(), expected.size());
    QCOMPARE(text.lineCount(), lineCount(expected));
    QCOMPARE(text.isEmpty(), expected.isEmpty());
    QVERIFY(text == expected);
    QVERIFY(text == ChunkedText(expected));
    QCOMPARE(linesOf(text, text.lineCount() + 1),
             linesForEntries(expected, lineCount(expected) + 1));
}

} // namespace

class TestChunkedText : public QObject {
    Q_OBJECT

private slots:
    void wholeTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty text") << QString();
        QTest::newRow("one line") << u"name"_s;
        QTest::newRow("empty lines only") << u"\r\n\r\n"_s;
        QTest::newRow("lone CR and LF stay in their lines") << u"a\r\r\n\nb\r\n\r"_s;
        QTest::newRow("exactly one piece") << numbered(kPiece);
        QTest::newRow("one line more than a piece") << numbered(kPiece + 1);
        QTest::newRow("several pieces") << numbered(3 * kPiece + 7);
        QTest::newRow("piece boundary after a line ending in CR")
            << numbered(kPiece - 1) + u"\r\r\n\nnext"_s;
        QTest::newRow("several groups") << numbered(2 * kGroup + 7);
    }
    void wholeTexts()
    {
        QFETCH(QString, text);
        verifyEquals(ChunkedText(text), text);
    }

    // A text built line by line is the text those lines joined by CR LF, cut into pieces of
    // whole lines; reading its lines one at a time gives them back.
    void builtLineByLine_data()
    {
        QTest::addColumn<QStringList>("lines");
        const auto numberedLines = [](qsizetype count) {
            return linesForEntries(numbered(count), count);
        };
        QTest::newRow("no line") << QStringList();
        QTest::newRow("one empty line") << QStringList{QString()};
        QTest::newRow("empty lines") << QStringList{QString(), QString(), QString()};
        QTest::newRow("lone CR and LF at the ends of lines")
            << QStringList{u"\r"_s, u"\n"_s, u"a\r"_s, u"\nb"_s};
        QTest::newRow("exactly one piece") << numberedLines(kPiece);
        QTest::newRow("one line more than a piece") << numberedLines(kPiece + 1);
        QTest::newRow("several pieces, the last one empty")
            << numberedLines(3 * kPiece) + QStringList{QString()};
        QTest::newRow("several groups") << numberedLines(2 * kGroup + 1);
    }
    void builtLineByLine()
    {
        QFETCH(QStringList, lines);
        ChunkedText::Builder builder;
        for (const QString& line : std::as_const(lines))
            builder.addLine(line);
        const ChunkedText text = builder.take();
        const QString expected = joinLines(lines);
        verifyEquals(text, expected);
        QCOMPARE(text.pieceCount(), std::max<qsizetype>(1, (lines.size() + kPiece - 1) / kPiece));
        // Taken, the builder starts over.
        QVERIFY(builder.take().isEmpty());

        for (const qsizetype count : {qsizetype(0), text.lineCount() - 1, text.lineCount() + 2}) {
            QCOMPARE(linesOf(text, count), linesForEntries(expected, count));
        }
    }

    // A text freed in steps loses its last groups and stays the text of its first lines; one
    // that keeps only what no copy shares holds exactly the groups it changed.
    void groupsDropped_data()
    {
        QTest::addColumn<qsizetype>("lines");
        QTest::addColumn<qsizetype>("dropped");
        QTest::addColumn<qsizetype>("kept"); // lines
        QTest::newRow("one group of three") << 3 * kGroup << qsizetype(1) << 2 * kGroup;
        QTest::newRow("a short last group") << 2 * kGroup + 5 << qsizetype(1) << 2 * kGroup;
        QTest::newRow("all groups") << 2 * kGroup + 5 << qsizetype(3) << qsizetype(1);
        QTest::newRow("more groups than it has") << kGroup << qsizetype(4) << qsizetype(1);
        QTest::newRow("none") << kGroup + 1 << qsizetype(0) << kGroup + 1;
    }
    void groupsDropped()
    {
        QFETCH(qsizetype, lines);
        QFETCH(qsizetype, dropped);
        QFETCH(qsizetype, kept);
        ChunkedText text(numbered(lines));
        text.dropLastGroups(dropped);
        verifyEquals(text, kept == 1 && dropped > 0 ? QString() : numbered(kept));

        // A copy typed into in its second group shares all but that group with the original.
        ChunkedText original(numbered(lines));
        ChunkedText typed = original;
        typed.replaceLines(std::min(lines - 1, kGroup + 2), 1, u"typed"_s);
        ChunkedText unshared = typed;
        unshared.dropSharedGroups(); // `typed` is a copy: everything is shared
        QVERIFY(unshared.isEmpty());
        typed.dropSharedGroups();
        const qsizetype typedGroup = lines > kGroup ? 1 : 0;
        const qsizetype groupLines = std::min(kGroup, lines - typedGroup * kGroup);
        QCOMPARE(typed.lineCount(), groupLines);
        QVERIFY(typed.toString().contains(u"typed"_s));
        verifyEquals(original, numbered(lines));
    }

    void replaceLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("first");
        QTest::addColumn<qsizetype>("count");
        QTest::addColumn<QString>("replacement");
        const QString three = numbered(3 * kPiece);
        QTest::newRow("a key in the middle of one piece")
            << three << kPiece + 5 << qsizetype(1) << u"L517x"_s;
        QTest::newRow("the first line") << three << qsizetype(0) << qsizetype(1) << u"first"_s;
        QTest::newRow("the last line") << three << 3 * kPiece - 1 << qsizetype(1) << QString();
        QTest::newRow("lines across a piece boundary joined into one")
            << three << kPiece - 2 << qsizetype(4) << u"joined"_s;
        QTest::newRow("lines across three pieces")
            << three << kPiece - 1 << kPiece + 2 << u"a\r\nb"_s;
        QTest::newRow("every line replaced by nothing")
            << three << qsizetype(0) << 3 * kPiece << QString();
        QTest::newRow("a paste of more lines than a piece holds")
            << u"before\r\nafter"_s << qsizetype(1) << qsizetype(1) << numbered(3 * kPiece);
        QTest::newRow("a line ending in CR before the next piece")
            << three << kPiece - 1 << qsizetype(1) << u"x\r"_s;
        QTest::newRow("a line beginning with LF after a piece boundary")
            << three << kPiece << qsizetype(1) << u"\nx"_s;
        const QString groups = numbered(2 * kGroup + 5);
        QTest::newRow("a key in the second group")
            << groups << kGroup + 3 * kPiece + 1 << qsizetype(1) << u"typed"_s;
        QTest::newRow("a key on the last line of the last group")
            << groups << 2 * kGroup + 4 << qsizetype(1) << u"typed"_s;
        QTest::newRow("lines across a group boundary")
            << groups << kGroup - 3 << qsizetype(6) << u"a\r\nb"_s;
        QTest::newRow("lines across three groups")
            << groups << kGroup - 1 << kGroup + 3 << u"joined"_s;
        QTest::newRow("a paste of more lines than a group holds")
            << groups << qsizetype(10) << qsizetype(2) << numbered(kGroup + kPiece + 1);
        QTest::newRow("every line of several groups replaced by nothing")
            << groups << qsizetype(0) << 2 * kGroup + 5 << QString();
    }
    void replaceLines()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, first);
        QFETCH(qsizetype, count);
        QFETCH(QString, replacement);
        ChunkedText chunked(text);
        chunked.replaceLines(first, count, replacement);
        verifyEquals(chunked, replacedLines(text, first, count, replacement));
    }

    // Random edits over several pieces: after each, the text equals the whole-text model, and
    // every copy taken earlier still holds exactly the text it was taken of.
    void copiesKeepTheirTextThroughRandomEdits_data()
    {
        QTest::addColumn<qsizetype>("lineTotal");
        QTest::addColumn<int>("rounds");
        QTest::newRow("several pieces") << 3 * kPiece << 400;
        QTest::newRow("several groups") << 3 * kGroup + kPiece / 2 << 120;
    }
    void copiesKeepTheirTextThroughRandomEdits()
    {
        QFETCH(qsizetype, lineTotal);
        QFETCH(int, rounds);
        QRandomGenerator random(20);
        QStringList lines;
        for (qsizetype i = 0; i < lineTotal; ++i)
            lines.append(awkwardLine(random));
        QString model = joinLines(lines);
        ChunkedText text(model);
        std::deque<std::pair<ChunkedText, QString>> copies;
        for (int round = 0; round < rounds; ++round) {
            const qsizetype total = text.lineCount();
            const qsizetype first = random.bounded(total);
            // Mostly keys within a line, now and then a selection over many lines.
            const qsizetype count =
                1
                + (random.bounded(8) == 0
                       ? random.bounded(std::min<qsizetype>(total - first, 2 * kPiece))
                       : 0);
            QStringList added;
            for (int i = 0, n = 1 + random.bounded(random.bounded(10) == 0 ? 700 : 2); i < n; ++i)
                added.append(awkwardLine(random));
            const QString replacement = joinLines(added);
            text.replaceLines(first, count, replacement);
            model = replacedLines(model, first, count, replacement);
            QCOMPARE(text.toString(), model);
            QCOMPARE(text.size(), model.size());
            QCOMPARE(text.lineCount(), lineCount(model));

            copies.emplace_back(text, model);
            if (copies.size() > 11)
                copies.pop_front();
            for (const auto& [copy, expected] : copies)
                QVERIFY(copy == expected);
        }
    }

    void comparison_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");
        QTest::addColumn<bool>("equal");
        const QString many = numbered(2 * kPiece);
        QTest::newRow("same text") << many << many << true;
        QTest::newRow("one character differs in the second piece")
            << many
            << QString(many).replace(u"\nL%1\r"_s.arg(kPiece + 88), u"\nM%1\r"_s.arg(kPiece + 88))
            << false;
        QTest::newRow("a line break against two lone CRs of the same size")
            << u"ab\r\ncd"_s << u"ab\r\rcd"_s << false;
        QTest::newRow("both empty") << QString() << QString() << true;
    }
    void comparison()
    {
        QFETCH(QString, left);
        QFETCH(QString, right);
        QFETCH(bool, equal);
        QCOMPARE(ChunkedText(left) == ChunkedText(right), equal);
        QCOMPARE(ChunkedText(left) == right, equal);
    }

    // Equal texts split at different places still compare equal.
    void equalTextsInDifferentPieces()
    {
        // A line added and taken away again leaves the first piece one line short.
        ChunkedText edited(numbered(2 * kPiece));
        edited.replaceLines(0, 1, u"L0\r\nadded"_s);
        edited.replaceLines(0, 2, u"L0"_s);
        QCOMPARE(edited.pieceCount(), 3);
        QVERIFY(edited == ChunkedText(numbered(2 * kPiece)));
        QVERIFY(edited == numbered(2 * kPiece));
    }
};

QTEST_GUILESS_MAIN(TestChunkedText)
#include "tst_chunkedtext.moc"
