// The name editor inside the main window: names holding characters that the editor would
// break a line at, the names text kept in step through every kind of edit, Tab, and the gutter
// that pairs each line with its entry.
#include "widgettest.h"

#include "batch/editortext.h"
#include "batch/nativepath.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/nameeditor.h"

#include <QClipboard>
#include <QDir>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QToolTip>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

class TestNameEditor : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_files;

    ui::NameEditor* editor() const { return child<ui::NameEditor>(u"Text1"_s); }
    ui::PairingGutter* gutter() const { return editor()->pairingGutter(); }
    QString display(const QString& name) const { return child<QLineEdit>(name)->text(); }
    QString file(const QString& name)
    {
        return QDir::toNativeSeparators(test::writeFile(m_files->filePath(name)));
    }
    QStringList dropNamed(const QStringList& baseNames)
    {
        QStringList paths;
        for (const QString& name : baseNames)
            paths.append(file(name + u".txt"_s));
        test::dropFiles(editor()->viewport(), paths);
        return paths;
    }
    // "n<from>" .. "n<from + count - 1>".
    static QStringList numberedNames(int from, int count)
    {
        QStringList names;
        for (int i = from; i < from + count; ++i)
            names.append(u"n%1"_s.arg(i));
        return names;
    }
    // The caret to the end of line `line`, with real keys.
    void toEndOfLine(int line)
    {
        QTest::keyClick(editor(), Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < line; ++i)
            QTest::keyClick(editor(), Qt::Key_Down);
        QTest::keyClick(editor(), Qt::Key_End);
    }
    QString rawConversion() const
    {
        return batch::fromEditorText(editor()->document()->toRawText());
    }
    QStringList gutterLabels() const
    {
        QStringList labels;
        for (int row = 0; row < editor()->blockCount(); ++row) {
            const ui::GutterRow shown = gutter()->row(row);
            labels.append(shown.label() + shown.shortfallLabel());
        }
        return labels;
    }
    QString toolTipAtRow(int row)
    {
        const QTextBlock block = editor()->document()->findBlockByNumber(row);
        const int y = editor()->cursorRect(QTextCursor(block)).center().y();
        const QPoint pos(gutter()->width() / 2, y);
        QHelpEvent help(QEvent::ToolTip, pos, gutter()->mapToGlobal(pos));
        QCoreApplication::sendEvent(gutter(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

private slots:
    void init()
    {
        m_files = std::make_unique<QTemporaryDir>();
        m_dialogs = test::ScriptedDialogs();
        m_form = test::showMainWindow(m_dataDir.path(), m_dialogs);
        editor()->setFocus();
    }
    void cleanup()
    {
        QToolTip::hideText();
        m_form.reset();
    }

    // A name holding a character at which the editor would end or break a line, or one of the
    // symbols the editor shows for them, stays one line and comes through a keystroke on
    // every line and the rename unchanged.
    void breakingCharactersSurviveKeystrokesAndRename_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("line separator") << u"a\u2028b"_s;
        QTest::newRow("paragraph separator") << u"a\u2029b"_s;
        QTest::newRow("frame marks") << u"\uFDD0x\uFDD1"_s;
        QTest::newRow("lone LF") << u"lf\nname"_s;
        QTest::newRow("lone CR") << u"cr\rname"_s;
        QTest::newRow("real CR symbol") << u"real\u240Dsymbol"_s;
        QTest::newRow("real LF symbol") << u"real\u240Asymbol"_s;
        QTest::newRow("real escape symbol before a symbol") << u"esc\u241B\u240D"_s;
        QTest::newRow("real escape symbol at the end") << u"esc\u241B"_s;
        QTest::newRow("symbols of the separators") << u"x\u2424\u204B\u2402\u2403"_s;
    }
    void breakingCharactersSurviveKeystrokesAndRename()
    {
        QFETCH(QString, name);
        const QStringList paths = dropNamed({u"first"_s, name, u"last"_s});
        QCOMPARE(m_form->names(), u"first\r\n"_s + name + u"\r\nlast"_s);
        QCOMPARE(editor()->blockCount(), 3);

        toEndOfLine(0);
        QTest::keyClicks(editor(), u"Z"_s);
        toEndOfLine(2);
        QTest::keyClicks(editor(), u"W"_s);
        QCOMPARE(m_form->names(), u"firstZ\r\n"_s + name + u"\r\nlastW"_s);
        // The caret displays count the lines as the editor shows them.
        QCOMPARE(display(u"Text2"_s), paths[2]);
        QCOMPARE(display(u"Text6"_s), u"6"_s);
        toEndOfLine(1);
        QTest::keyClicks(editor(), u"Y"_s);
        QCOMPARE(display(u"Text2"_s), paths[1]);
        QCOMPARE(display(u"Text6"_s), QString::number(name.size() + 2));
        QCOMPARE(m_form->names(), u"firstZ\r\n"_s + name + u"Y\r\nlastW"_s);
        QCOMPARE(rawConversion(), m_form->names());

        QTest::mouseClick(child<QPushButton>(u"Command1"_s), Qt::LeftButton);
        ui::Form2* confirm = confirmWindow();
        QVERIFY(confirm);
        QTest::mouseClick(test::control<QPushButton>(confirm, u"Command1"_s), Qt::LeftButton);
        QTRY_VERIFY(!m_form->isRenaming());
        // A line break inside a name is a control character: no disk gets it as a new name.
        const bool refused = name.contains(u'\n') || name.contains(u'\r');
        QCOMPARE(m_dialogs.messages.size(), refused ? 2 : 1);
        QCOMPARE(m_dialogs.messages.last(),
                 refused ? u"3件中2件をリネームしました。1件はリネームしませんでした。"_s
                         : u"リネームしました。"_s);
        QStringList expected{u"firstZ.txt"_s, name + (refused ? u".txt"_s : u"Y.txt"_s),
                             u"lastW.txt"_s};
        expected.sort();
        QCOMPARE(QDir(m_files->path()).entryList(QDir::Files, QDir::Name), expected);
    }

    // Undo and redo put a name holding such characters back exactly as it was.
    void historyKeepsBreakingCharacters()
    {
        dropNamed({u"p\u2029q\r"_s});
        QTest::keyClick(editor(), Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(editor(), Qt::Key_Delete);
        QCOMPARE(m_form->names(), u"\u2029q\r"_s);
        QTest::mouseClick(child<QPushButton>(u"Command3"_s), Qt::LeftButton);
        QCOMPARE(m_form->names(), u"p\u2029q\r"_s);
        QCOMPARE(editor()->blockCount(), 1);
    }

    void tabMovesTheFocusOut_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Tab") << int(Qt::Key_Tab);
        QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab);
    }
    void tabMovesTheFocusOut()
    {
        QFETCH(int, key);
        dropNamed({u"name"_s});
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        editor()->setFocus();
        QTRY_VERIFY(editor()->hasFocus());
        QTest::keyClick(editor(), Qt::Key(key),
                        key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        QVERIFY(!editor()->hasFocus());
        QCOMPARE(m_form->names(), u"name"_s);
    }

    // Typing, deleting across line breaks, pasting lines, and the editor's own undo and redo:
    // after each, the names text kept in step equals the editor's text converted afresh, and
    // the history recorded the change.
    void namesStayInStepWithRandomEdits()
    {
        dropNamed({u"one"_s, u"two"_s, u"three"_s});
        QRandomGenerator random(12);
        const QString alphabet = u"ab \u240D\u240A\u241B\u2424"_s;
        const auto randomText = [&](int length) {
            QString text;
            for (int i = 0; i < length; ++i)
                text.append(random.bounded(5) == 0 ? QChar(u'\n')
                                                   : alphabet[random.bounded(alphabet.size())]);
            return text;
        };
        for (int round = 0; round < 400; ++round) {
            QTextCursor cursor(editor()->document());
            const int length = editor()->document()->characterCount() - 1;
            cursor.setPosition(random.bounded(length + 1));
            editor()->setTextCursor(cursor);
            switch (random.bounded(8)) {
            case 0: QTest::keyClicks(editor(), u"ab"_s.sliced(random.bounded(2))); break;
            case 7:
                // Symbols come in as an input method commits them.
                editor()->textCursor().insertText(randomText(1 + random.bounded(3)));
                break;
            case 1: QTest::keyClick(editor(), Qt::Key_Return); break;
            case 2: QTest::keyClick(editor(), Qt::Key_Backspace); break;
            case 3: {
                // A selection spanning line breaks, deleted.
                cursor.setPosition(random.bounded(length + 1), QTextCursor::KeepAnchor);
                editor()->setTextCursor(cursor);
                QTest::keyClick(editor(), Qt::Key_Delete);
                break;
            }
            case 4:
                QGuiApplication::clipboard()->setText(randomText(random.bounded(12)));
                QTest::keyClick(editor(), Qt::Key_V, Qt::ControlModifier);
                break;
            case 5: QTest::keyClick(editor(), Qt::Key_Z, Qt::ControlModifier); break;
            default: QTest::keyClick(editor(), Qt::Key_Y, Qt::ControlModifier); break;
            }
            QCOMPARE(m_form->names(), rawConversion());
        }
        // Every change went into the history: one step back is the text before the last one.
        const QString last = m_form->names();
        editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor(), u"q"_s);
        QTest::mouseClick(child<QPushButton>(u"Command3"_s), Qt::LeftButton);
        QCOMPARE(m_form->names(), last);
    }

    // The gutter numbers the lines with their entries, marks lines that rename nothing, and
    // counts the entries that have no line.
    void gutterPairsLinesWithEntries_data()
    {
        QTest::addColumn<QString>("typed"); // keys typed at the end of the text
        QTest::addColumn<int>("backspaces");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("as many lines as entries")
            << QString() << 0 << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s};
        QTest::newRow("more lines than entries")
            << u"\nextra\n"_s << 0
            << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"×"_s, u"×"_s};
        QTest::newRow("one line fewer")
            << QString() << 2 << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4−1"_s};
        QTest::newRow("three lines fewer") << QString() << 6 << QStringList{u"1"_s, u"2−3"_s};
    }
    void gutterPairsLinesWithEntries()
    {
        QFETCH(QString, typed);
        QFETCH(int, backspaces);
        QFETCH(QStringList, labels);
        QCOMPARE(gutter()->neededWidth(), 0);
        const int marginBefore = editor()->viewport()->x();
        const QStringList paths = dropNamed({u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s});
        QVERIFY(gutter()->neededWidth() > 0);
        QCOMPARE(editor()->viewport()->x(), marginBefore + gutter()->width());
        QVERIFY(gutter()->isVisible());

        QTest::keyClick(editor(), Qt::Key_End, Qt::ControlModifier);
        for (const QChar c : typed)
            QTest::keyClick(editor(), c == u'\n' ? Qt::Key_Return : Qt::Key_X);
        for (int i = 0; i < backspaces; ++i)
            QTest::keyClick(editor(), Qt::Key_Backspace);
        QCOMPARE(gutterLabels(), labels);

        const QChar separator = m_form->batch().separator();
        QCOMPARE(toolTipAtRow(0), batch::displayText(paths[0], separator));
        const int last = editor()->blockCount() - 1;
        const QString lastTip = toolTipAtRow(last);
        if (last >= paths.size())
            QCOMPARE(lastTip, u"この行はどのファイルの名前にもなりません。"_s);
        else if (last < paths.size() - 1)
            QVERIFY2(lastTip.endsWith(batch::displayText(paths.last(), separator)),
                     qPrintable(lastTip));
        else
            QCOMPARE(lastTip, batch::displayText(paths[last], separator));
    }

    // The gutter is as wide as the largest entry number needs, from the drop that adds a digit
    // on, and goes when the batch is emptied.
    void gutterWidthFollowsTheEntries_data()
    {
        QTest::addColumn<int>("before");  // files dropped first
        QTest::addColumn<int>("dropped"); // files dropped then; 0 starts over
        QTest::newRow("first drop") << 0 << 3;
        QTest::newRow("a drop that adds a digit") << 9 << 1;
        QTest::newRow("starting over") << 12 << 0;
    }
    void gutterWidthFollowsTheEntries()
    {
        QFETCH(int, before);
        QFETCH(int, dropped);
        if (before > 0)
            dropNamed(numberedNames(0, before));
        const int widthBefore = gutter()->width();
        if (dropped > 0)
            dropNamed(numberedNames(before, dropped));
        else
            QTest::mouseClick(child<QPushButton>(u"Command2"_s), Qt::LeftButton);
        QVERIFY(gutter()->width() != widthBefore);
        QCOMPARE(gutter()->width(), gutter()->neededWidth());
        QCOMPARE(editor()->viewport()->geometry().left(),
                 editor()->contentsRect().left() + gutter()->width());
        QCOMPARE(editor()->blockCount(), dropped > 0 ? before + dropped : 1);
        QCOMPARE(gutterLabels().last(),
                 dropped > 0 ? QString::number(before + dropped) : QString());
    }

    // Qt's editor laid out every line again whenever its viewport changed width (a window moved
    // into its frame, an edge dragged, the gutter widened) and kept a layout for each line:
    // hundreds of megabytes for a million names. A line laid out once keeps its layout through
    // any change of width, and the horizontal scroll bar still reaches the end of the widest line
    // shown.
    void aChangeOfWidthLaysNoLineOutAgain_data()
    {
        QTest::addColumn<int>("change"); // added to the editor's width
        QTest::newRow("narrower") << -200;
        QTest::newRow("wider") << 300;
    }
    void aChangeOfWidthLaysNoLineOutAgain()
    {
        QFETCH(int, change);
        dropNamed(numberedNames(0, 500));
        QScrollBar* down = editor()->verticalScrollBar();
        QTRY_VERIFY(editor()->document()->firstBlock().layout()->lineCount() == 1);
        down->setValue(down->maximum());
        QTRY_VERIFY(editor()->document()->lastBlock().layout()->lineCount() == 1);

        editor()->resize(editor()->width() + change, editor()->height());
        QCoreApplication::processEvents();
        QCOMPARE(down->value(), down->maximum());
        QCOMPARE(editor()->document()->firstBlock().layout()->lineCount(), 1);

        // A line wider than the viewport can be scrolled to its end, at either width.
        QTextCursor last(editor()->document()->lastBlock());
        last.movePosition(QTextCursor::EndOfBlock);
        last.insertText(QString(400, u'w'));
        const auto hiddenPart = [this] {
            const QTextBlock block = editor()->document()->lastBlock();
            return qRound(block.layout()->lineAt(0).naturalTextWidth())
                   - editor()->viewport()->width();
        };
        QTRY_VERIFY(editor()->horizontalScrollBar()->maximum() >= hiddenPart());
        editor()->resize(editor()->width() - change, editor()->height());
        QTRY_VERIFY(editor()->horizontalScrollBar()->maximum() >= hiddenPart());
        QVERIFY(editor()->horizontalScrollBar()->maximum() < hiddenPart() + 40);
    }

    // Starting over empties the batch: the gutter goes, and the hint is not numbered.
    void gutterLeavesWithTheBatch()
    {
        dropNamed({u"a"_s});
        QVERIFY(gutter()->width() > 0);
        QTest::mouseClick(child<QPushButton>(u"Command2"_s), Qt::LeftButton);
        QCOMPARE(gutter()->neededWidth(), 0);
        QCOMPARE(editor()->viewport()->x(), editor()->contentsRect().x());
        QCOMPARE(gutter()->row(0).label(), QString());
        QVERIFY(toolTipAtRow(0).isEmpty());
    }
};

QUILLET_WIDGET_TEST_MAIN(TestNameEditor)
#include "tst_nameeditor.moc"
