// The value boxes hold exactly what the user typed; an entry counts as picked only when the user
// picked it in the list, and only a picked entry is forgotten with the Delete key.
#include "widgettest.h"

#include "ui/form1.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {
const QStringList kBoxes{u"Text10"_s, u"Text11"_s, u"Text4"_s, u"Text8"_s,
                         u"Text5"_s,  u"Text9"_s,  u"Text3"_s};
const QStringList kRemembered{u"10"_s, u"abc"_s, u"third"_s};
} // namespace

class TestValueBoxes : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    QComboBox* box(const QString& name) const { return child<QComboBox>(name); }
    QStringList entries(const QString& name) const
    {
        QStringList list;
        for (int i = 0; i < box(name)->count(); ++i)
            list.append(box(name)->itemText(i));
        return list;
    }
    // The seven lists always agree; returns the common list, or a marker when they do not.
    QStringList allEntries() const
    {
        const QStringList first = entries(kBoxes.first());
        for (const QString& name : kBoxes) {
            if (entries(name) != first)
                return {u"<lists differ>"_s};
        }
        return first;
    }
    void start()
    {
        test::writeFile(m_dataDir.filePath(u"AutoComplete.txt"_s), "10\r\nabc\r\nthird\r\n");
        m_form = test::showMainWindow(m_dataDir.path(), m_dialogs);
    }
    void focus(QComboBox* target)
    {
        target->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(target->window()));
        target->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), target);
    }
    void clickItemInOpenList(QComboBox* target, int row)
    {
        QAbstractItemView* list = target->view();
        QTRY_VERIFY(list->isVisible());
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        // A release right after the list opened would be taken for the click that opened it.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    }
    // Picks the entry at row the way the row says; the list is closed afterwards.
    void pick(QComboBox* target, const QString& how, int row)
    {
        focus(target);
        if (how == u"arrow keys"_s) {
            for (int i = 0; i <= row; ++i)
                QTest::keyClick(target, Qt::Key_Down);
        } else {
            target->showPopup();
            if (how == u"click in the list"_s) {
                clickItemInOpenList(target, row);
            } else {
                QAbstractItemView* list = target->view();
                QTRY_VERIFY(list->isVisible());
                list->setCurrentIndex(list->model()->index(0, 0));
                for (int i = 0; i < row; ++i)
                    QTest::keyClick(list, Qt::Key_Down);
                QTest::keyClick(list, Qt::Key_Return);
            }
        }
        QTRY_VERIFY(!target->view()->isVisible());
        QCOMPARE(target->currentText(), kRemembered.at(row));
    }

private slots:
    void init()
    {
        for (const QString& name : QDir(m_dataDir.path()).entryList(QDir::Files))
            QFile::remove(m_dataDir.filePath(name));
        m_dialogs = test::ScriptedDialogs();
    }
    void cleanup() { m_form.reset(); }

    // The completer of an editable combo box completed "1" to the remembered "10".
    void typedOneIsNotCompletedToARememberedTen()
    {
        start();
        m_form->takeInFiles({QDir::toNativeSeparators(m_dataDir.filePath(u"name.txt"_s))});
        auto* list = child<QListWidget>(u"List6"_s);
        list->setCurrentRow(8); // 先頭にA文字を付ける
        focus(box(u"Text10"_s));
        QTest::keyClicks(box(u"Text10"_s), u"1"_s);
        QCOMPARE(box(u"Text10"_s)->currentText(), u"1"_s);
        QTest::mouseClick(child(u"Command7"_s), Qt::LeftButton);
        QCOMPARE(m_form->names(), u"1name"_s);
    }

    // Leaving a box made a typed text equal to an entry but for its case into that entry.
    void typedTextStaysAsTypedWhenLeavingTheBox_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("other case of an entry") << u"ABC"_s;
        QTest::newRow("start of an entry") << u"ab"_s;
        QTest::newRow("an entry exactly") << u"abc"_s;
    }
    void typedTextStaysAsTypedWhenLeavingTheBox()
    {
        QFETCH(QString, typed);
        start();
        QComboBox* text10 = box(u"Text10"_s);
        focus(text10);
        QTest::keyClicks(text10, typed);
        QTest::keyClick(text10, Qt::Key_Tab);
        QVERIFY(!text10->hasFocus());
        QCOMPARE(text10->currentText(), typed);
    }

    // A typed text that equals an entry was taken for a pick, and Delete forgot the entry.
    void deleteAfterTypingAnEntryRemovesNothing_data()
    {
        QTest::addColumn<bool>("leaveAndComeBack");
        QTest::addColumn<bool>("pressEnter");
        QTest::newRow("Delete at once") << false << false;
        QTest::newRow("after leaving the box and coming back") << true << false;
        QTest::newRow("after Enter") << false << true;
    }
    void deleteAfterTypingAnEntryRemovesNothing()
    {
        QFETCH(bool, leaveAndComeBack);
        QFETCH(bool, pressEnter);
        start();
        QComboBox* text3 = box(u"Text3"_s);
        for (QRadioButton* option : m_form->findChildren<QRadioButton*>(u"Option1"_s)) {
            if (option->property("index").toInt() == 1)
                QTest::mouseClick(option, Qt::LeftButton);
        }
        focus(text3);
        QTest::keyClicks(text3, u"abc"_s);
        if (leaveAndComeBack) {
            QTest::keyClick(text3, Qt::Key_Tab);
            focus(text3);
        }
        if (pressEnter)
            QTest::keyClick(text3, Qt::Key_Return);
        QTest::keyClick(text3, Qt::Key_Home);
        QTest::keyClick(text3, Qt::Key_Delete);
        QCOMPARE(allEntries(), kRemembered);
        QCOMPARE(text3->currentText(), u"bc"_s); // the key still reached the edit field
    }

    void deleteForgetsThePickedEntryEverywhere_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("row");
        QTest::newRow("click in the list") << u"click in the list"_s << 1;
        QTest::newRow("Enter in the list") << u"Enter in the list"_s << 2;
        QTest::newRow("arrow keys on the closed box") << u"arrow keys"_s << 1;
    }
    void deleteForgetsThePickedEntryEverywhere()
    {
        QFETCH(QString, how);
        QFETCH(int, row);
        start();
        QComboBox* text11 = box(u"Text11"_s);
        pick(text11, how, row);
        QTest::keyClick(text11, Qt::Key_End);
        QTest::keyClick(text11, Qt::Key_Delete);
        QStringList expected = kRemembered;
        expected.removeAt(row);
        QCOMPARE(allEntries(), expected);
        QCOMPARE(text11->currentText(), kRemembered.at(row)); // the field keeps its text
        // The pick is used up: another Delete forgets nothing more.
        QTest::keyClick(text11, Qt::Key_Delete);
        QCOMPARE(allEntries(), expected);
    }

    void editingAPickedEntryMakesItTyped()
    {
        start();
        QComboBox* text10 = box(u"Text10"_s);
        pick(text10, u"arrow keys"_s, 1);
        QTest::keyClick(text10, Qt::Key_End);
        QTest::keyClick(text10, Qt::Key_Backspace);
        QTest::keyClicks(text10, u"c"_s); // back to "abc", but typed
        QTest::keyClick(text10, Qt::Key_Delete);
        QCOMPARE(allEntries(), kRemembered);
    }

    // Delete did nothing while the drop-down list was open, where the user picks the entry.
    void deleteWhileTheListIsOpenForgetsTheHighlightedEntry()
    {
        start();
        QComboBox* text10 = box(u"Text10"_s);
        focus(text10);
        QTest::keyClicks(text10, u"typed"_s);
        text10->showPopup();
        QAbstractItemView* list = text10->view();
        QTRY_VERIFY(list->isVisible());
        list->setCurrentIndex(list->model()->index(0, 0));
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(allEntries(), (QStringList{u"10"_s, u"third"_s}));
        QCOMPARE(text10->currentText(), u"typed"_s);
        QTest::keyClick(list, Qt::Key_Escape);
        QTRY_VERIFY(!list->isVisible());
        QCOMPARE(text10->currentText(), u"typed"_s);
    }

    // A pick in one box stays a pick of the same entry when an entry before it is forgotten.
    void pickFollowsItsEntryWhenAnEarlierOneIsForgotten()
    {
        start();
        QComboBox* text10 = box(u"Text10"_s);
        QComboBox* text11 = box(u"Text11"_s);
        pick(text10, u"arrow keys"_s, 2); // third
        pick(text11, u"arrow keys"_s, 0); // 10
        QTest::keyClick(text11, Qt::Key_End);
        QTest::keyClick(text11, Qt::Key_Delete);
        QCOMPARE(allEntries(), (QStringList{u"abc"_s, u"third"_s}));
        focus(text10);
        QTest::keyClick(text10, Qt::Key_End);
        QTest::keyClick(text10, Qt::Key_Delete);
        QCOMPARE(allEntries(), QStringList{u"abc"_s});
    }
};

QUILLET_WIDGET_TEST_MAIN(TestValueBoxes)
#include "tst_valueboxes.moc"
