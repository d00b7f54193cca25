#include "batch/editortext.h"
#include "batch/linetext.h"

#include <QRandomGenerator>
#include <QTest>

#include <deque>
#include <tuple>
#include <utility>

using namespace quillet::batch;
using namespace Qt::Literals::StringLiterals;

namespace {

// Characters that stress the mapping: every character the editor cannot keep inside a
// paragraph, every symbol that stands for one, the escape symbol, and plain letters.
const QString kAlphabet =
    u"ab\r\n\u2028\u2029\uFDD0\uFDD1\u240D\u240A\u2424\u204B\u2402\u2403\u241B"_s;

QString randomText(QRandomGenerator& random, qsizetype length, QStringView alphabet)
{
    QString text;
    for (qsizetype i = 0; i < length; ++i)
        text.append(alphabet[random.bounded(alphabet.size())]);
    return text;
}

// Characters on which the editor widget ends a paragraph or breaks the shown line.
bool breaksInTheEditor(QChar c)
{
    return c == u'\r' || c == u'\n' || c == u'\u2028' || c == u'\uFDD0' || c == u'\uFDD1';
}

} // namespace

class TestEditorText : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("editor");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("lines become paragraphs") << u"a\r\nb\r\n"_s << u"a\u2029b\u2029"_s;
        QTest::newRow("lone LF is shown, not a new line") << u"a\nb"_s << u"a\u240Ab"_s;
        QTest::newRow("lone CR is shown, not a new line") << u"a\rb"_s << u"a\u240Db"_s;
        QTest::newRow("CR CR LF") << u"a\r\r\nb"_s << u"a\u240D\u2029b"_s;
        QTest::newRow("LF CR LF") << u"a\n\r\nb"_s << u"a\u240A\u2029b"_s;
        QTest::newRow("line ending in CR, next starting with LF")
            << u"a\r\r\n\nb"_s << u"a\u240D\u2029\u240Ab"_s;
        QTest::newRow("line separator") << u"a\u2028b"_s << u"a\u2424b"_s;
        QTest::newRow("paragraph separator") << u"a\u2029b"_s << u"a\u204Bb"_s;
        QTest::newRow("frame marks") << u"\uFDD0a\uFDD1"_s << u"\u2402a\u2403"_s;
        QTest::newRow("real CR symbol is escaped") << u"a\u240Db"_s << u"a\u241B\u240Db"_s;
        QTest::newRow("real LF symbol is escaped") << u"\u240A"_s << u"\u241B\u240A"_s;
        QTest::newRow("real symbols of the separators")
            << u"\u2424\u204B\u2402\u2403"_s
            << u"\u241B\u2424\u241B\u204B\u241B\u2402\u241B\u2403"_s;
        QTest::newRow("escape symbol alone stays as it is") << u"\u241Ba"_s << u"\u241Ba"_s;
        QTest::newRow("escape symbol at the end of a line")
            << u"a\u241B\r\nb"_s << u"a\u241B\u2029b"_s;
        QTest::newRow("escape symbol before a CR") << u"\u241B\r"_s << u"\u241B\u241B\u240D"_s;
        QTest::newRow("escape symbol before a real symbol")
            << u"\u241B\u240D"_s << u"\u241B\u241B\u241B\u240D"_s;
        QTest::newRow("two escape symbols") << u"\u241B\u241B"_s << u"\u241B\u241B\u241B"_s;
        QTest::newRow("no-break space, tabs and form feeds pass")
            << u"a\u00A0b\tc\u000Bd\u000Ce\u0085"_s << u"a\u00A0b\tc\u000Bd\u000Ce\u0085"_s;
        QTest::newRow("surrogate pair passes") << u"😀\r\nx"_s << u"😀\u2029x"_s;
    }
    void roundTrip()
    {
        QFETCH(QString, names);
        QFETCH(QString, editor);
        QCOMPARE(toEditorText(names), editor);
        QCOMPARE(fromEditorText(editor), names);
        EditorNames mirror;
        QCOMPARE(mirror.reset(names), editor);
        QCOMPARE(mirror.lineCount(), lineCount(names));
    }

    // What the user can type into the editor but no name produces is read as it stands, and a
    // paragraph always stays one line.
    void readingTypedSymbols_data()
    {
        QTest::addColumn<QString>("paragraph");
        QTest::addColumn<QString>("line");
        QTest::newRow("CR symbol then LF symbol stays one line")
            << u"a\u240D\u240Ab"_s << u"a\r\u240Ab"_s;
        QTest::newRow("CR symbol, escaped CR symbol, LF symbol")
            << u"\u240D\u241B\u240D\u240A"_s << u"\r\u240D\n"_s;
        QTest::newRow("escape symbol before a letter") << u"\u241Bx"_s << u"\u241Bx"_s;
        QTest::newRow("escape symbol at the end") << u"x\u241B"_s << u"x\u241B"_s;
    }
    void readingTypedSymbols()
    {
        QFETCH(QString, paragraph);
        QFETCH(QString, line);
        QCOMPARE(fromEditorLine(paragraph), line);
        QVERIFY(!line.contains(kLineBreak));
    }

    void randomNamesSurviveTheEditor()
    {
        QRandomGenerator random(9);
        for (int round = 0; round < 20000; ++round) {
            const QString names = randomText(random, random.bounded(12), kAlphabet);
            const QString editor = toEditorText(names);
            QCOMPARE(fromEditorText(editor), names);
            const QStringList paragraphs = editor.split(u'\u2029');
            QCOMPARE(paragraphs.size(), lineCount(names));
            for (const QChar c : editor)
                QVERIFY2(!breaksInTheEditor(c), names.toUtf8().toHex(' ').constData());
        }
    }

    void randomParagraphsStayOneLine()
    {
        QRandomGenerator random(11);
        const QString typeable = kAlphabet.sliced(8); // no character that ends a paragraph
        for (int round = 0; round < 20000; ++round) {
            const QString paragraph = randomText(random, random.bounded(10), u"ab"_s + typeable);
            const QString line = fromEditorLine(paragraph);
            QVERIFY2(!line.contains(kLineBreak), paragraph.toUtf8().toHex(' ').constData());
            // Reading it again after showing it gives the same line.
            QCOMPARE(fromEditorLine(toEditorLine(line)), line);
        }
    }

    void nameColumn_data()
    {
        QTest::addColumn<QString>("paragraph");
        QTest::addColumn<int>("editorColumn");
        QTest::addColumn<int>("column");
        QTest::newRow("plain") << u"abc"_s << 2 << 2;
        QTest::newRow("after an escaped symbol") << u"\u241B\u240Dx"_s << 2 << 1;
        QTest::newRow("inside an escaped symbol") << u"a\u241B\u240Dx"_s << 2 << 1;
        QTest::newRow("at the end") << u"a\u241B\u240Dx"_s << 4 << 3;
        QTest::newRow("lone escape symbol") << u"\u241Bx"_s << 1 << 1;
        QTest::newRow("symbol for a CR counts once") << u"\u240Dx"_s << 1 << 1;
    }
    void nameColumn()
    {
        QFETCH(QString, paragraph);
        QFETCH(int, editorColumn);
        QFETCH(int, column);
        QCOMPARE(quillet::batch::nameColumn(paragraph, editorColumn), column);
    }

    // The editor's paragraphs are edited at random: after every change, the names kept in step
    // equal the whole text converted afresh.
    void keptInStepWithRandomEdits()
    {
        QRandomGenerator random(5);
        QStringList paragraphs{u"one"_s, u"t\u241B\u240Dwo"_s, QString(), u"\u2424x"_s};
        EditorNames mirror;
        std::ignore = mirror.reset(fromEditorText(paragraphs.join(u'\u2029')));
        std::deque<std::pair<ChunkedText, QString>> held;
        const QString typeable = u"ab"_s + kAlphabet.sliced(8);
        for (int round = 0; round < 3000; ++round) {
            const qsizetype first = random.bounded(paragraphs.size());
            const qsizetype removed = 1 + random.bounded(paragraphs.size() - first);
            QStringList added;
            for (int i = 0, n = 1 + random.bounded(3); i < n; ++i)
                added.append(randomText(random, random.bounded(6), typeable));
            paragraphs.remove(first, removed);
            for (qsizetype i = 0; i < added.size(); ++i)
                paragraphs.insert(first + i, added[i]);
            mirror.replaceLines(first, removed, added);
            QCOMPARE(mirror.names().toString(), fromEditorText(paragraphs.join(u'\u2029')));
            QCOMPARE(mirror.lineCount(), paragraphs.size());

            // The history holds the texts handed out; none of them may change afterwards,
            // though the buffers it lets go are written again.
            const QString now = mirror.names().toString();
            held.emplace_back(mirror.names(), QString(now.constData(), now.size()));
            if (held.size() > 11)
                held.pop_front();
            for (const auto& [text, copy] : held)
                QCOMPARE(text.toString(), copy);
        }
    }
};

QTEST_GUILESS_MAIN(TestEditorText)
#include "tst_editortext.moc"
