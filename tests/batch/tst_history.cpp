#include "batch/history.h"
#include "batch/linetext.h"

#include <QTest>

#include <algorithm>

using namespace quillet::batch;
using namespace Qt::Literals::StringLiterals;

namespace {

// Drives a History the way the main window does: every change of the editor is recorded,
// undo and redo put their text into the editor (which raises a change) and then end the
// replacement. A script is a list of steps:
//   "+x"  the editor's text changes to x     "<"  undo     ">"  redo
//   "0"   the batch empties                  "1"  the batch fills again
//   "!"   clear
struct Editor {
    History history;
    QString text;
    bool batchHasEntries = true;

    void change(const QString& newText)
    {
        // Assigning the same text raises no change event.
        if (newText == text)
            return;
        text = newText;
        history.record(text, batchHasEntries);
    }

    void run(const QStringList& script)
    {
        for (const QString& step : script) {
            if (step.startsWith(u'+')) {
                change(step.mid(1));
            } else if (step == u"<") {
                change(history.undo().toString());
                history.endReplacement();
            } else if (step == u">") {
                change(history.redo().toString());
                history.endReplacement();
            } else if (step == u"0") {
                batchHasEntries = false;
            } else if (step == u"1") {
                batchHasEntries = true;
            } else if (step == u"!") {
                history.clear();
            }
        }
    }
};

QStringList steps(const QString& script)
{
    return script.split(u' ', Qt::SkipEmptyParts);
}

} // namespace

class TestHistory : public QObject {
    Q_OBJECT

private slots:
    void scripts_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("canUndo");
        QTest::addColumn<bool>("canRedo");

        QTest::newRow("after one drop nothing to step to")
            << u"+drop"_s << u"drop"_s << false << false;
        QTest::newRow("one keystroke enables back")
            << u"+drop +dropx"_s << u"dropx"_s << true << false;
        QTest::newRow("back to the drop") << u"+drop +dropx <"_s << u"drop"_s << false << true;
        QTest::newRow("forward again") << u"+drop +dropx < >"_s << u"dropx"_s << true << false;
        QTest::newRow("new change after undo discards redo")
            << u"+a +b +c < < +z"_s << u"z"_s << true << false;
        QTest::newRow("recorded empty text ends the history")
            << u"+a +b + +x"_s << u"x"_s << false << false;
        QTest::newRow("changes while the batch is empty are not recorded")
            << u"0 +a +b 1"_s << u"b"_s << false << false;
        QTest::newRow("undo with an empty batch leaves no pause behind")
            << u"+a +b 0 < 1 +c"_s << u"c"_s << true << false;
        QTest::newRow("undo to an equal text leaves no pause behind")
            << u"+a +b 0 +a 1 < +q"_s << u"q"_s << true << false;
        QTest::newRow("clear disables both") << u"+a +b < !"_s << u"a"_s << false << false;
        QTest::newRow("first change after clear starts afresh")
            << u"+a +b ! +c"_s << u"c"_s << false << false;
    }
    void scripts()
    {
        QFETCH(QString, script);
        QFETCH(QString, text);
        QFETCH(bool, canUndo);
        QFETCH(bool, canRedo);
        Editor editor;
        editor.run(steps(script));
        QCOMPARE(editor.text, text);
        QCOMPARE(editor.history.canUndo(), canUndo);
        QCOMPARE(editor.history.canRedo(), canRedo);
        QVERIFY(!editor.history.isPaused());
    }

    // A large text edited the way the name editor edits it, a few lines at a time, every change
    // recorded: each step back and forward gives back exactly the text that was recorded.
    void largeTextStepsGiveBackTheirTexts_data()
    {
        QTest::addColumn<qsizetype>("lines");
        QTest::addColumn<int>("edits");
        QTest::newRow("one piece, history not full") << qsizetype(10) << 5;
        QTest::newRow("many pieces, history overflowing") << 20 * ChunkedText::kPieceLines << 15;
        QTest::newRow("many groups, history overflowing")
            << 3 * ChunkedText::kPieceLines * ChunkedText::kGroupPieces + 9 << 15;
    }
    void largeTextStepsGiveBackTheirTexts()
    {
        QFETCH(qsizetype, lines);
        QFETCH(int, edits);
        QStringList names;
        for (qsizetype i = 0; i < lines; ++i)
            names.append(u"name %1"_s.arg(i));
        ChunkedText text(joinLines(names));
        History history;
        history.record(text, true);
        QStringList recorded{text.toString()};
        for (int i = 1; i <= edits; ++i) {
            // A key, a deleted line pair, a pasted block: spread over the whole text.
            const qsizetype line = (i * 7919) % (text.lineCount() - 1);
            if (i % 3 == 0)
                text.replaceLines(line, 2, u"joined %1"_s.arg(i));
            else if (i % 3 == 1)
                text.replaceLines(line, 1, u"typed %1"_s.arg(i));
            else
                text.replaceLines(line, 1, u"pasted\r\n\r\nblock %1"_s.arg(i));
            history.record(text, true);
            recorded.append(text.toString());
        }
        const int reachable = std::min(edits, History::kSlots - 1);
        for (int back = 1; back <= reachable; ++back) {
            QVERIFY(history.canUndo());
            text = history.undo();
            history.endReplacement();
            QCOMPARE(text.toString(), recorded[edits - back]);
        }
        QVERIFY(!history.canUndo());
        for (int forward = reachable - 1; forward >= 0; --forward) {
            QVERIFY(history.canRedo());
            text = history.redo();
            history.endReplacement();
            QCOMPARE(text.toString(), recorded[edits - forward]);
        }
        QVERIFY(!history.canRedo());
    }

    // The text an operation replaced, pushed out of the history by the tenth key after it,
    // used to be freed within that key: a million lines took several keys' time. Now what it
    // shares goes at once and the rest a few groups per change.
    void aTextLeavingTheHistoryIsFreedInSteps_data()
    {
        QTest::addColumn<bool>("sharedWithTheNext"); // the next step is it with one key typed
        // The lines waiting after changes 12, 13 and 14.
        QTest::addColumn<QList<qsizetype>>("linesWaiting");
        const qsizetype group = ChunkedText::kPieceLines * ChunkedText::kGroupPieces;
        const qsizetype step = History::kGroupsFreedPerChange;
        // A one-line step pushed out waits behind what is left of the large text.
        QTest::newRow("a whole text no other step shares")
            << false << QList<qsizetype>{(20 - step) * group, (20 - 2 * step) * group + 1, 0};
        QTest::newRow("a text sharing all but one group with the next")
            << true << QList<qsizetype>{0, 0, 0};
    }
    void aTextLeavingTheHistoryIsFreedInSteps()
    {
        QFETCH(bool, sharedWithTheNext);
        QFETCH(QList<qsizetype>, linesWaiting);
        const qsizetype group = ChunkedText::kPieceLines * ChunkedText::kGroupPieces;
        QStringList names;
        for (qsizetype i = 0; i < 20 * group; ++i)
            names.append(u"name %1"_s.arg(i));
        ChunkedText text(joinLines(names));
        History history;
        history.record(text, true);
        // Ten more steps, then three that push out one step each: the large text, then two
        // one-line texts (freed with the rest as the budget allows).
        for (int change = 2; change <= 14; ++change) {
            if (sharedWithTheNext) {
                text.replaceLines(5 * group, 1, u"typed %1"_s.arg(change));
            } else {
                text = ChunkedText(u"t%1"_s.arg(change));
            }
            history.record(text, true);
            if (change >= 12)
                QCOMPARE(history.linesBeingFreed(), linesWaiting[change - 12]);
        }
        // Every step still gives back its own text.
        QVERIFY(history.canUndo());
        QCOMPARE(history.backSlot(0), text);
    }

    // A keystroke used to copy the whole text into every step, ten copies of a million lines.
    // Now the steps share every piece the key did not touch.
    void keystrokeStepsShareUntouchedPieces()
    {
        QStringList names;
        for (qsizetype i = 0; i < 8 * ChunkedText::kPieceLines; ++i)
            names.append(u"name %1"_s.arg(i));
        ChunkedText text(joinLines(names));
        History history;
        history.record(text, true);
        const qsizetype typedLine = 3 * ChunkedText::kPieceLines + 5;
        text.replaceLines(typedLine, 1, u"name typedx"_s);
        history.record(text, true);
        const ChunkedText& before = history.backSlot(1);
        const ChunkedText& after = history.backSlot(0);
        const auto piecesOf = [](const ChunkedText& text) {
            QList<QStringView> pieces;
            text.forEachPiece([&pieces](QStringView piece) { pieces.append(piece); });
            return pieces;
        };
        const QList<QStringView> beforePieces = piecesOf(before);
        const QList<QStringView> afterPieces = piecesOf(after);
        QCOMPARE(before.pieceCount(), after.pieceCount());
        qsizetype shared = 0;
        for (qsizetype i = 0; i < before.pieceCount(); ++i)
            shared += beforePieces[i].constData() == afterPieces[i].constData() ? 1 : 0;
        QCOMPARE(shared, before.pieceCount() - 1);
        QCOMPARE(afterPieces[3].constData() == beforePieces[3].constData(), false);
    }

    // Eleven changes after a drop: ten undos reach back one text each, then back is disabled.
    void tenStepsBack()
    {
        Editor editor;
        editor.change(u"t0"_s);
        for (int i = 1; i <= 11; ++i)
            editor.change(u"t%1"_s.arg(i));
        for (int i = 10; i >= 1; --i) {
            QVERIFY(editor.history.canUndo());
            editor.run({u"<"_s});
            QCOMPARE(editor.text, u"t%1"_s.arg(i));
        }
        QVERIFY(!editor.history.canUndo());
        // And forward again through all ten, the slots in order.
        for (int i = 2; i <= 11; ++i) {
            QVERIFY(editor.history.canRedo());
            editor.run({u">"_s});
            QCOMPARE(editor.text, u"t%1"_s.arg(i));
        }
        QVERIFY(!editor.history.canRedo());
        QCOMPARE(editor.history.backSlot(10).toString(), u"t1"_s);
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
