// The main window from the keyboard and for screen readers: the Tab order, Enter in a panel, the
// labels linked to their boxes, and an accessible name on every control.
#include "widgettest.h"

#include "ui/form1.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

class TestKeyboardAccess : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    QRadioButton* modeOption(int index) const
    {
        for (QRadioButton* option : m_form->findChildren<QRadioButton*>(u"Option1"_s)) {
            if (option->property("index").toInt() == index)
                return option;
        }
        qFatal("no mode option %d", index);
    }
    void start()
    {
        m_form = test::showMainWindow(m_dataDir.path(), m_dialogs);
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }
    void dropNames(const QStringList& names)
    {
        QStringList paths;
        for (const QString& name : names)
            paths.append(QDir::toNativeSeparators(m_dataDir.filePath(name)));
        m_form->takeInFiles(paths);
    }
    void switchMode(int index) { QTest::mouseClick(modeOption(index), Qt::LeftButton); }
    // Every control enabled: a batch, and history in both directions.
    void enableEverything()
    {
        dropNames({u"a.txt"_s});
        auto* editor = child<QPlainTextEdit>(u"Text1"_s);
        QTest::keyClicks(editor, u"xy"_s);
        QTest::mouseClick(child(u"Command3"_s), Qt::LeftButton);
        for (const QString& name : {u"Command1"_s, u"Command3"_s, u"Command4"_s})
            QVERIFY2(child(name)->isEnabled(), qPrintable(name));
    }
    QStringList walk(Qt::KeyboardModifiers modifiers)
    {
        QWidget* first = QApplication::focusWidget();
        QStringList names;
        for (int i = 0; i < 40; ++i) {
            names.append(QApplication::focusWidget()->objectName());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
            if (QApplication::focusWidget() == first)
                break;
        }
        return names;
    }

private slots:
    void cleanup() { m_form.reset(); }

    // The order jumped (the history buttons, the source display, the editor, B before A...),
    // and the source display and the caret boxes could not be reached at all.
    void tabOrderRunsFromTopLeftToBottomRight_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("easy mode")
            << 0
            << QStringList{u"Option1"_s,  u"List6"_s,    u"Text10"_s,   u"Text11"_s,  u"Command7"_s,
                           u"Command3"_s, u"Command4"_s, u"Command5"_s, u"Text6"_s,   u"Text7"_s,
                           u"Text2"_s,    u"Text1"_s,    u"Command1"_s, u"Command2"_s};
        QTest::newRow("advanced mode")
            << 1
            << QStringList{u"Option1"_s, u"List4"_s,    u"Text4"_s,    u"Text8"_s,    u"Text12"_s,
                           u"List5"_s,   u"Text5"_s,    u"Text9"_s,    u"Text13"_s,   u"List3"_s,
                           u"Text3"_s,   u"Command6"_s, u"Command3"_s, u"Command4"_s, u"Command5"_s,
                           u"Text6"_s,   u"Text7"_s,    u"Text2"_s,    u"Text1"_s,    u"Command1"_s,
                           u"Command2"_s};
    }
    void tabOrderRunsFromTopLeftToBottomRight()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, order);
        start();
        enableEverything();
        switchMode(mode);
        modeOption(mode)->setFocus(Qt::TabFocusReason);
        QCOMPARE(walk(Qt::NoModifier), order);
        // Shift+Tab goes the same way back.
        QStringList back = order.mid(1);
        std::reverse(back.begin(), back.end());
        back.prepend(order.first());
        QCOMPARE(walk(Qt::ShiftModifier), back);
    }

    // Enter in a value box did nothing; it runs the panel's button, as in a dialog.
    void enterRunsThePanelButton_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("names");
        QTest::newRow("A= in the easy panel") << 0 << u"Text10"_s << u"+one\r\n+two"_s;
        QTest::newRow("B= in the easy panel") << 0 << u"Text11"_s << u"+one\r\n+two"_s;
        QTest::newRow("the easy operation list") << 0 << u"List6"_s << u"+one\r\n+two"_s;
        QTest::newRow("value C") << 1 << u"Text3"_s << u"*one\r\n*two"_s;
        QTest::newRow("value A-1") << 1 << u"Text4"_s << u"*one\r\n*two"_s;
        QTest::newRow("the plus box of position A") << 1 << u"Text12"_s << u"*one\r\n*two"_s;
        QTest::newRow("the advanced operation list") << 1 << u"List3"_s << u"*one\r\n*two"_s;
        QTest::newRow("the position B list") << 1 << u"List5"_s << u"*one\r\n*two"_s;
    }
    void enterRunsThePanelButton()
    {
        QFETCH(int, mode);
        QFETCH(QString, source);
        QFETCH(QString, names);
        start();
        dropNames({u"one.txt"_s, u"two.txt"_s});
        switchMode(mode);
        // Easy: 先頭にA文字を付ける with A "+"; advanced: value C "*" put in at position A.
        child<QListWidget>(u"List6"_s)->setCurrentRow(8);
        child<QComboBox>(u"Text10"_s)->lineEdit()->setText(u"+"_s);
        child<QComboBox>(u"Text3"_s)->lineEdit()->setText(u"*"_s);
        QWidget* widget = child(source);
        widget->setFocus(Qt::TabFocusReason);
        QTest::keyClick(widget, Qt::Key_Return);
        QCOMPARE(m_form->names(), names);
        QCOMPARE(QApplication::focusWidget(), widget); // the focus stays where the user is
    }

    // Enter on a focused button did nothing outside a dialog; only Space pressed it.
    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("held");
        QTest::newRow("リネーム開始") << u"main"_s << u"Command1"_s << int(Qt::Key_Return) << 0;
        QTest::newRow("やり直す") << u"main"_s << u"Command2"_s << int(Qt::Key_Return) << 0;
        QTest::newRow("←") << u"main"_s << u"Command3"_s << int(Qt::Key_Return) << 0;
        QTest::newRow("→") << u"main"_s << u"Command4"_s << int(Qt::Key_Return) << 0;
        QTest::newRow("元に戻す") << u"main"_s << u"Command5"_s << int(Qt::Key_Return) << 0;
        QTest::newRow("実行 of the advanced panel")
            << u"advanced"_s << u"Command6"_s << int(Qt::Key_Return) << 0;
        QTest::newRow("実行 of the easy panel")
            << u"main"_s << u"Command7"_s << int(Qt::Key_Return) << 0;
        QTest::newRow("keypad Enter on 実行")
            << u"main"_s << u"Command7"_s << int(Qt::Key_Enter) << 0;
        QTest::newRow("held Enter on 実行 presses once")
            << u"main"_s << u"Command7"_s << int(Qt::Key_Return) << 5;
        QTest::newRow("リネームする in 確認")
            << u"confirmation"_s << u"Command1"_s << int(Qt::Key_Return) << 0;
        QTest::newRow("keypad Enter on リネームする")
            << u"confirmation"_s << u"Command1"_s << int(Qt::Key_Enter) << 0;
    }
    void enterPressesTheFocusedButton()
    {
        QFETCH(QString, window);
        QFETCH(QString, button);
        QFETCH(int, key);
        QFETCH(int, held);
        start();
        enableEverything();
        const QWidget* owner = m_form.get();
        if (window == u"advanced"_s)
            switchMode(1);
        if (window == u"confirmation"_s) {
            QTest::mouseClick(child(u"Command1"_s), Qt::LeftButton);
            owner = confirmWindow();
            QVERIFY(owner);
        }
        auto* target = test::control<QPushButton>(owner, button);
        QVERIFY(target->isEnabled());
        QSignalSpy clicks(target, &QAbstractButton::clicked);
        target->setFocus(Qt::TabFocusReason);
        const Qt::KeyboardModifiers modifiers =
            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(target, &press);
        for (int i = 0; i < held; ++i) {
            QKeyEvent repeat(QEvent::KeyPress, key, modifiers, QString(), true);
            QApplication::sendEvent(target, &repeat);
        }
        QCOMPARE(clicks.count(), 1);
    }

    void keypadEnterInAValueBoxRunsTheOperation()
    {
        start();
        dropNames({u"one.txt"_s});
        child<QListWidget>(u"List6"_s)->setCurrentRow(15); // 最後方にA文字を付ける
        auto* text10 = child<QComboBox>(u"Text10"_s);
        text10->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(text10, u"_end"_s);
        QTest::keyClick(text10, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(m_form->names(), u"one_end"_s);
        QCOMPARE(text10->currentText(), u"_end"_s);
    }

    // No label was linked to its box.
    void everyLabelIsTheBuddyOfItsBox_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("box");
        QTest::newRow("リネーム元のファイル") << u"Label1"_s << u"Text2"_s;
        QTest::newRow("値C") << u"Label2"_s << u"Text3"_s;
        QTest::newRow("値A-1") << u"Label3"_s << u"Text4"_s;
        QTest::newRow("値B-1") << u"Label4"_s << u"Text5"_s;
        QTest::newRow("前から") << u"Label5"_s << u"Text6"_s;
        QTest::newRow("文字目 after 後ろから") << u"Label6"_s << u"Text7"_s;
        QTest::newRow("文字目 after 前から") << u"Label7"_s << u"Text6"_s;
        QTest::newRow("後ろから") << u"Label8"_s << u"Text7"_s;
        QTest::newRow("値A-2") << u"Label9"_s << u"Text8"_s;
        QTest::newRow("値B-2") << u"Label10"_s << u"Text9"_s;
        QTest::newRow("A=") << u"Label11"_s << u"Text10"_s;
        QTest::newRow("B=") << u"Label12"_s << u"Text11"_s;
    }
    void everyLabelIsTheBuddyOfItsBox()
    {
        QFETCH(QString, label);
        QFETCH(QString, box);
        start();
        QCOMPARE(child<QLabel>(label)->buddy(), child(box));
        // A screen reader names the box after its label.
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(child(box));
        QVERIFY(accessible);
        QVERIFY(accessible->text(QAccessible::Name).contains(child<QLabel>(label)->text()));
    }

    // No control had an accessible name.
    void everyControlHasAnAccessibleName()
    {
        start();
        int controls = 0;
        for (QWidget* widget : m_form->findChildren<QWidget*>()) {
            static const QRegularExpression catalogueName(
                u"^(Text|List|Command|Option|Label|Frame)\\d+$"_s);
            if (!catalogueName.match(widget->objectName()).hasMatch())
                continue;
            ++controls;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            QVERIFY(accessible);
            const QString what = widget->objectName() + u' ' + widget->toolTip();
            QVERIFY2(!accessible->text(QAccessible::Name).isEmpty(), qPrintable(what));
            if (!widget->toolTip().isEmpty())
                QCOMPARE(accessible->text(QAccessible::Description), widget->toolTip());
        }
        QCOMPARE(controls, 47); // every control of the catalogue, Option1 counted twice
    }

    // The gutter's numbers and marks said nothing to a screen reader: the editor's description
    // names the entry of the caret's line, or says that the line renames nothing.
    void editorDescriptionFollowsTheCaret_data()
    {
        QTest::addColumn<QString>("names");
        QTest::addColumn<int>("linesDown");
        QTest::addColumn<QString>("description");
        QTest::newRow("first line") << u"a\nb\nc"_s << 0 << u"1行目: <a.txt>"_s;
        QTest::newRow("third line") << u"a\nb\nc"_s << 2 << u"3行目: <c.mkv>"_s;
        QTest::newRow("a line past the last entry")
            << u"a\nb\nc\nextra"_s << 3 << u"4行目: この行はどのファイルの名前にもなりません。"_s;
        QTest::newRow("the last line while entries have no line")
            << u"a"_s << 0 << u"1行目: <a.txt>\n\n行のないファイル: 2 個\n<b.txt>\n<c.mkv>"_s;
        QTest::newRow("the caret back up on the first line")
            << u"a\nb\nc"_s << -1 << u"1行目: <a.txt>"_s;
    }
    void editorDescriptionFollowsTheCaret()
    {
        QFETCH(QString, names);
        QFETCH(int, linesDown);
        QFETCH(QString, description);
        start();
        auto* editor = child<QPlainTextEdit>(u"Text1"_s);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(editor);
        QVERIFY(accessible);
        // Before any drop no line renames anything, and nothing is said.
        QCOMPARE(accessible->text(QAccessible::Description), QString());
        dropNames({u"a.txt"_s, u"b.txt"_s, u"c.mkv"_s});
        setNames(names);
        editor->setFocus(Qt::TabFocusReason);
        QTest::keyClick(editor, Qt::Key_Home, Qt::ControlModifier);
        // -1: down to the last line and up again.
        for (int i = 0; i < (linesDown < 0 ? 2 : linesDown); ++i)
            QTest::keyClick(editor, Qt::Key_Down);
        for (int i = 0; linesDown < 0 && i < 2; ++i)
            QTest::keyClick(editor, Qt::Key_Up);
        QString expected = description;
        for (const QString& name : {u"a.txt"_s, u"b.txt"_s, u"c.mkv"_s})
            expected.replace(u'<' + name + u'>',
                             QDir::toNativeSeparators(m_dataDir.filePath(name)));
        QCOMPARE(accessible->text(QAccessible::Description), expected);
    }

    void buttonsAndOptionsAreNamedByTheirCaptions()
    {
        start();
        for (QAbstractButton* button : m_form->findChildren<QAbstractButton*>()) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
            QCOMPARE(accessible->text(QAccessible::Name), button->text());
        }
        QCOMPARE(QAccessible::queryAccessibleInterface(child(u"Text12"_s))->text(QAccessible::Name),
                 u"A位置 プラスする値"_s);
    }
};

QUILLET_WIDGET_TEST_MAIN(TestKeyboardAccess)
#include "tst_keyboardaccess.moc"
