#include "batch/history.h"

#include <QTest>

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
