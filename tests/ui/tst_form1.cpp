// The main window driven as a user would: drops, typing, clicks on the history buttons,
// caret moves, the mode switch and resizing.
#include "widgettest.h"

#include "ui/form1.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextBlock>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

class TestForm1 : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    QTemporaryDir m_files;
    QPlainTextEdit* editor() const { return child<QPlainTextEdit>(u"Text1"_s); }
    QString display(const QString& name) const { return child<QLineEdit>(name)->text(); }
    bool enabled(const QString& name) const { return child(name)->isEnabled(); }
    void click(const QString& name) { QTest::mouseClick(child(name), Qt::LeftButton); }

    QString file(const QString& name)
    {
        return QDir::toNativeSeparators(test::writeFile(m_files.filePath(name)));
    }
    void drop(const QStringList& paths) { test::dropFiles(editor()->viewport(), paths); }

    void typeAtEnd(const QString& text)
    {
        QTest::keyClick(editor(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(editor(), text);
    }

private slots:
    void init()
    {
        m_dialogs = test::ScriptedDialogs();
        m_form = test::showMainWindow(m_dataDir.path(), m_dialogs);
    }
    void cleanup() { m_form.reset(); }

    void startsWithTheHintAndALineBreak()
    {
        QCOMPARE(m_form->names(), ui::Form1::hintText() + u"\r\n"_s);
        QCOMPARE(editor()->blockCount(), 2);
        QVERIFY(!enabled(u"Command1"_s));
        QVERIFY(display(u"Text6"_s).isEmpty());
        QVERIFY(m_dialogs.messages.isEmpty());
    }

    void startupLoadsTheDataFiles()
    {
        QTemporaryDir dir;
        const auto write = [&](const QString& name, const QByteArray& bytes) {
            test::writeFile(dir.filePath(name), bytes);
        };
        write(u"AutoComplete.txt"_s, "abc\r\n\r\n\x82\xa0\r\nabc\r\n");
        write(u"CRC32STR.txt"_s, "[*/CRC32/*]\r\n");
        ui::Form1 form(dir.path() + u'/', m_dialogs);
        const auto boxes = form.findChildren<QComboBox*>();
        QCOMPARE(boxes.size(), 7);
        for (const QComboBox* box : boxes) {
            QCOMPARE(box->count(), 3);
            QCOMPARE(box->itemText(1), u"あ"_s);
            QVERIFY(box->currentText().isEmpty());
        }
        QCOMPARE(form.startupValues().crc32Template, u"[*/CRC32/*]"_s);
        QVERIFY(form.startupValues().crc16Template.isEmpty());
    }

    void dropFillsTheEditorAndEnablesRename()
    {
        QVERIFY(QDir(m_files.path()).mkpath(u"season.1"_s));
        const QStringList paths{file(u"a.avi"_s), file(u"b.c.mkv"_s),
                                QDir::toNativeSeparators(m_files.filePath(u"season.1"_s))};
        drop(paths);
        QCOMPARE(m_form->names(), u"a\r\nb.c\r\nseason"_s);
        QCOMPARE(editor()->toPlainText(), u"a\nb.c\nseason"_s);
        QVERIFY(enabled(u"Command1"_s));
        QVERIFY(!enabled(u"Command3"_s));
        QVERIFY(!enabled(u"Command4"_s));
        QCOMPARE(display(u"Text2"_s), paths.first());
        QCOMPARE(child<QListView>(u"List1"_s)->model()->rowCount(), 3);

        // Dropping the same files again adds nothing and records nothing.
        drop(paths);
        QCOMPARE(m_form->batch().count(), 3);
        QVERIFY(!enabled(u"Command3"_s));
    }

    // A drop that added nothing used to leave the caret, and the source shown, where they were.
    void everyDropEndsOnTheFirstLine()
    {
        const QStringList paths{file(u"a.avi"_s), file(u"b.avi"_s), file(u"c.avi"_s)};
        drop(paths);
        const QTextCursor third(editor()->document()->findBlockByNumber(2));
        QTest::mouseClick(editor()->viewport(), Qt::LeftButton, {},
                          editor()->cursorRect(third).center());
        QCOMPARE(editor()->textCursor().blockNumber(), 2);
        QCOMPARE(display(u"Text2"_s), paths.at(2));
        drop({paths.at(1)});
        QCOMPARE(editor()->textCursor().position(), 0);
        QCOMPARE(display(u"Text2"_s), paths.first());
    }

    void dropAfterHandEditsKeepsThePairing()
    {
        drop({file(u"a.txt"_s), file(u"b.txt"_s)});
        typeAtEnd(u"X"_s);
        QTest::keyClick(editor(), Qt::Key_Return);
        QTest::keyClick(editor(), Qt::Key_Return);
        drop({file(u"c.txt"_s)});
        QCOMPARE(m_form->names(), u"a\r\nbX\r\nc"_s);
    }

    void typingRecordsEveryKeystroke()
    {
        drop({file(u"name.txt"_s)});
        typeAtEnd(u"xyz"_s);
        QCOMPARE(m_form->names(), u"namexyz"_s);
        QVERIFY(enabled(u"Command3"_s));
        for (const QString& expected : {u"namexy"_s, u"namex"_s, u"name"_s}) {
            click(u"Command3"_s);
            QCOMPARE(m_form->names(), expected);
        }
        QVERIFY(!enabled(u"Command3"_s));
        QVERIFY(enabled(u"Command4"_s));
        click(u"Command4"_s);
        QCOMPARE(m_form->names(), u"namex"_s);
        QCOMPARE(editor()->toPlainText(), u"namex"_s);
    }

    void typingAfterUndoDiscardsRedo()
    {
        drop({file(u"n.txt"_s)});
        typeAtEnd(u"ab"_s);
        click(u"Command3"_s);
        click(u"Command3"_s);
        typeAtEnd(u"q"_s);
        QVERIFY(!enabled(u"Command4"_s));
        click(u"Command3"_s);
        QCOMPARE(m_form->names(), u"n"_s);
    }

    void nameRestoreIsRecorded()
    {
        drop({file(u"one.avi"_s), file(u"two.avi"_s)});
        editor()->selectAll();
        QTest::keyClicks(editor(), u"gone"_s);
        click(u"Command5"_s);
        QCOMPARE(m_form->names(), u"one\r\ntwo"_s);
        click(u"Command3"_s);
        QCOMPARE(m_form->names(), u"gone"_s);
    }

    void nameRestoreWithAnEmptyBatchDoesNothing()
    {
        const QString before = m_form->names();
        click(u"Command5"_s);
        QCOMPARE(m_form->names(), before);
        QVERIFY(!enabled(u"Command3"_s));
    }

    void startOverEmptiesBatchAndHistory()
    {
        drop({file(u"one.avi"_s)});
        typeAtEnd(u"!"_s);
        click(u"Command2"_s);
        QCOMPARE(m_form->names(), ui::Form1::hintText());
        QVERIFY(m_form->batch().isEmpty());
        QVERIFY(!enabled(u"Command1"_s));
        QVERIFY(!enabled(u"Command3"_s));
        QVERIFY(!enabled(u"Command4"_s));
        QVERIFY(display(u"Text2"_s).isEmpty());
        // Start-over again from the hint is the same, and a new drop starts a fresh history.
        click(u"Command2"_s);
        QCOMPARE(m_form->names(), ui::Form1::hintText());
        drop({file(u"one.avi"_s)});
        QCOMPARE(m_form->names(), u"one"_s);
        QVERIFY(!enabled(u"Command3"_s));
        QVERIFY(!enabled(u"Command4"_s));
    }

    void caretDisplaysFollowKeysAndLeftClicks()
    {
        const QStringList paths{file(u"ab.txt"_s), file(u"cde.txt"_s)};
        drop(paths);
        QTest::keyClick(editor(), Qt::Key_Down);
        QCOMPARE(display(u"Text2"_s), paths[1]);
        QCOMPARE(display(u"Text6"_s), u"1"_s);
        QCOMPARE(display(u"Text7"_s), u"4"_s);
        QTest::keyClick(editor(), Qt::Key_End);
        QCOMPARE(display(u"Text6"_s), u"4"_s);
        QCOMPARE(display(u"Text7"_s), u"1"_s);

        // A selection made from right to left counts from its start.
        QTest::keyClick(editor(), Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(editor(), Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(display(u"Text6"_s), u"2"_s);
        QCOMPARE(display(u"Text7"_s), u"3"_s);

        // A right click moves nothing in the displays.
        const QPoint lineZero = editor()->cursorRect(QTextCursor(editor()->document())).center();
        QTest::mouseClick(editor()->viewport(), Qt::RightButton, Qt::NoModifier, lineZero);
        QCOMPARE(display(u"Text2"_s), paths[1]);

        // A left click on line 0 shows entry 0; the counts follow on release.
        QTest::mouseClick(editor()->viewport(), Qt::LeftButton, Qt::NoModifier, lineZero);
        QCOMPARE(display(u"Text2"_s), paths[0]);
        QCOMPARE(display(u"Text6"_s).toInt() + display(u"Text7"_s).toInt(), 4);
    }

    void caretOnALineBeyondTheBatchShowsNoSource()
    {
        drop({file(u"a.txt"_s)});
        typeAtEnd(QString());
        QTest::keyClick(editor(), Qt::Key_Return);
        QVERIFY(display(u"Text2"_s).isEmpty());
        QCOMPARE(display(u"Text6"_s), u"1"_s);
        QCOMPARE(display(u"Text7"_s), u"1"_s);
    }

    // A click, the arrow keys and a screen reader's toggle all switch the panel; the toggle
    // used to check the option and leave the other mode's panel showing.
    void modeSwitchShowsOnePanel_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("click") << u"click"_s;
        QTest::newRow("arrow keys") << u"keys"_s;
        QTest::newRow("a screen reader's toggle") << u"toggle"_s;
    }
    void modeSwitchShowsOnePanel()
    {
        QFETCH(QString, how);
        const auto choose = [this, &how](QRadioButton* option, QRadioButton* other) {
            if (how == u"click"_s) {
                QTest::mouseClick(option, Qt::LeftButton);
            } else if (how == u"keys"_s) {
                m_form->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
                other->setFocus();
                // The advanced option stands to the right of the easy one.
                QTest::keyClick(other, option->property("index").toInt() == 1 ? Qt::Key_Right
                                                                              : Qt::Key_Left);
            } else {
                QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(option);
                QVERIFY(accessible && accessible->actionInterface());
                const QStringList actions = accessible->actionInterface()->actionNames();
                QVERIFY2(actions.contains(QAccessibleActionInterface::toggleAction()),
                         qPrintable(actions.join(u',')));
                accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            }
            QVERIFY(option->isChecked());
        };
        auto* list6 = child<QListWidget>(u"List6"_s);
        list6->setCurrentRow(5);
        child<QComboBox>(u"Text10"_s)->setEditText(u"kept"_s);
        const auto options = m_form->findChildren<QRadioButton*>(u"Option1"_s);
        QRadioButton* advanced =
            options[0]->property("index").toInt() == 1 ? options[0] : options[1];
        QRadioButton* easy = advanced == options[0] ? options[1] : options[0];
        choose(advanced, easy);
        QVERIFY(child(u"Frame1"_s)->isVisible());
        QVERIFY(!child(u"Frame5"_s)->isVisible());
        QVERIFY(!child(u"Command7"_s)->isVisible());
        choose(easy, advanced);
        QVERIFY(!child(u"Frame1"_s)->isVisible());
        QVERIFY(child(u"Frame5"_s)->isVisible());
        QCOMPARE(list6->currentRow(), 5);
        QCOMPARE(child<QComboBox>(u"Text10"_s)->currentText(), u"kept"_s);
        QCOMPARE(child(u"Frame1"_s)->pos(), child(u"Frame5"_s)->pos());
    }

    void resizeFollowsTheLayoutRule()
    {
        const auto frameExtra = m_form->frameGeometry().size() - m_form->size();
        m_form->resize(700, 500);
        QTRY_COMPARE(m_form->size(), QSize(700, 500));
        const QSize outer = QSize(700, 500) + frameExtra;
        QCOMPARE(editor()->size(), QSize(outer.width() - 24, outer.height() - 318));
        QCOMPARE(child(u"Text2"_s)->width(), outer.width() - 136);

        // Too low for the editor: its height and the source display's width stay.
        m_form->resize(600, 250);
        QTRY_COMPARE(m_form->size(), QSize(600, 250));
        QCOMPARE(editor()->size(), QSize(600 + frameExtra.width() - 24, outer.height() - 318));
        QCOMPARE(child(u"Text2"_s)->width(), outer.width() - 136);
    }

    void maximizedWindowKeepsTheNormalSizes()
    {
        m_form->resize(640, 480);
        QTRY_COMPARE(m_form->size(), QSize(640, 480));
        const QSize normal = editor()->size();
        m_form->showMaximized();
        QTRY_VERIFY(m_form->windowState() & Qt::WindowMaximized);
        QCOMPARE(editor()->size(), normal);
    }
};

QUILLET_WIDGET_TEST_MAIN(TestForm1)
#include "tst_form1.moc"
