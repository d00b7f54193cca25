// Renaming through the windows, on files in a temporary folder: drop, edit, "リネーム開始",
// "リネームする", messages answered by a script, files renamed on disk.
#include "widgettest.h"

#include "ui/form1.h"
#include "ui/form2.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

class TestRenameWindows : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dataDir;
    QTemporaryDir m_files;
    test::ScriptedDialogs m_dialogs;
    std::unique_ptr<ui::Form1> m_form;

    QString write(const QString& name, const QByteArray& content)
    {
        return QDir::toNativeSeparators(test::writeFile(m_files.filePath(name), content));
    }
    QStringList files() const { return QDir(m_files.path()).entryList(QDir::Files, QDir::Name); }
    QPlainTextEdit* editor() const { return m_form->findChild<QPlainTextEdit*>(u"Text1"_s); }
    QPushButton* renameButton() const { return m_form->findChild<QPushButton*>(u"Command1"_s); }
    ui::Form2* confirmWindow() const
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* form2 = qobject_cast<ui::Form2*>(widget); form2 && form2->isVisible())
                return form2;
        }
        return nullptr;
    }
    QString listing() const
    {
        return confirmWindow()->findChild<QPlainTextEdit*>(u"Text1"_s)->toPlainText();
    }
    void setNames(const QString& text)
    {
        editor()->selectAll();
        editor()->insertPlainText(text);
    }

private slots:
    void init()
    {
        for (const QString& name : QDir(m_files.path()).entryList(QDir::Files))
            QFile::remove(m_files.filePath(name));
        m_dialogs = test::ScriptedDialogs();
        m_form = test::showMainWindow(m_dataDir.path(), m_dialogs);
    }
    void cleanup() { m_form.reset(); }

    void wholeWayFromDropToRenamedFiles()
    {
        const QString a = write(u"a.avi"_s, "123456789");
        const QString b = write(u"b.mkv"_s, "B");
        test::dropFiles(editor()->viewport(), {a, b});
        setNames(u"Movie [*/CRC32/*]\nSecond"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        ui::Form2* form2 = confirmWindow();
        QVERIFY(form2);
        QCOMPARE(form2->windowTitle(), u"確認"_s);
        const QString sep = QDir::separator();
        const QString folder = QDir::toNativeSeparators(m_files.path());
        QCOMPARE(listing(), a + u"\n ↓↓↓ \n"_s + folder + sep + u"Movie [*/CRC32/*].avi\n\n"_s + b
                                + u"\n ↓↓↓ \n"_s + folder + sep + u"Second.mkv\n\n"_s);
        QVERIFY(!form2->findChild<QPushButton*>(u"Command2"_s)->isEnabled());
        QVERIFY(!form2->findChild<QPushButton*>(u"Command3"_s)->isEnabled());

        QTest::mouseClick(form2->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        QCOMPARE(m_dialogs.messages, QStringList{u"リネームしました。"_s});
        QCOMPARE(files(), (QStringList{u"Movie [CBF43926].avi"_s, u"Second.mkv"_s}));
        QCOMPARE(m_form->names(), ui::Form1::hintText());
        QVERIFY(m_form->batch().isEmpty());
        QVERIFY(!renameButton()->isEnabled());
        QTRY_VERIFY(!confirmWindow());
        // The history still leads back to the names of the batch just carried out.
        QTest::mouseClick(m_form->findChild<QPushButton*>(u"Command3"_s), Qt::LeftButton);
        QCOMPARE(m_form->names(), u"Movie [*/CRC32/*]\r\nSecond"_s);
    }

    void collisionPromptThroughTheWindows()
    {
        const QString a = write(u"a.txt"_s, "A");
        write(u"taken.txt"_s, "T");
        test::dropFiles(editor()->viewport(), {a});
        setNames(u"taken"_s);
        m_dialogs.answers = {u"free.txt"_s};
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        QTest::mouseClick(confirmWindow()->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        QCOMPARE(m_dialogs.prompts.size(), 1);
        QVERIFY(m_dialogs.prompts.first().startsWith(u"ファイル名の変更|"_s));
        QVERIFY(m_dialogs.prompts.first().endsWith(u"|taken.txt"_s));
        QCOMPARE(files(), (QStringList{u"free.txt"_s, u"taken.txt"_s}));
    }

    void partialRunDoesNotClaimSuccess()
    {
        const QString a = write(u"a.txt"_s, "A");
        write(u"b.txt"_s, "B");
        test::dropFiles(editor()->viewport(), {a, m_files.filePath(u"gone.txt"_s)});
        setNames(u"b\nx"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        QTest::mouseClick(confirmWindow()->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        QCOMPARE(m_dialogs.messages.last(),
                 u"2件中0件をリネームしました。2件はリネームしませんでした。"_s);
        QCOMPARE(files(), (QStringList{u"a.txt"_s, u"b.txt"_s}));
    }

    void closingTheConfirmationChangesNothing()
    {
        const QString a = write(u"a.txt"_s, "A");
        test::dropFiles(editor()->viewport(), {a});
        setNames(u"z"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        QVERIFY(confirmWindow()->close());
        QCOMPARE(files(), QStringList{u"a.txt"_s});
        QCOMPARE(m_form->batch().count(), 1);
        QVERIFY(renameButton()->isEnabled());
    }

    // The rename button had the focus at open, so Space renamed at once; Escape did nothing.
    void confirmationOpensOnTheListingAndEscapeClosesIt()
    {
        const QString a = write(u"a.txt"_s, "A");
        test::dropFiles(editor()->viewport(), {a});
        setNames(u"z"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        ui::Form2* form2 = confirmWindow();
        QVERIFY(form2);
        auto* listingBox = form2->findChild<QPlainTextEdit*>(u"Text1"_s);
        QCOMPARE(form2->focusWidget(), listingBox);
        QTest::keyClick(form2->focusWidget(), Qt::Key_Space);
        QTest::keyClick(form2->focusWidget(), Qt::Key_Return);
        QCOMPARE(files(), QStringList{u"a.txt"_s});
        QVERIFY(m_dialogs.messages.isEmpty());
        QTest::keyClick(form2->focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!confirmWindow());
        QCOMPARE(files(), QStringList{u"a.txt"_s});
        QCOMPARE(m_form->batch().count(), 1);
        QVERIFY(renameButton()->isEnabled());
        // Opened again, it renames as before.
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        QTest::mouseClick(confirmWindow()->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        QCOMPARE(files(), QStringList{u"z.txt"_s});
    }

    void listingIsRebuiltAtEveryPress()
    {
        const QString a = write(u"a.txt"_s, "A");
        test::dropFiles(editor()->viewport(), {a});
        setNames(u"first"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        QVERIFY(listing().contains(u"first.txt"_s));
        setNames(u"second"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        QVERIFY(listing().contains(u"second.txt"_s));
        QVERIFY(!listing().contains(u"first.txt"_s));
    }

    // Files dropped after the listing was shown are not renamed by it.
    void runRenamesWhatTheListingShows()
    {
        const QString a = write(u"a.txt"_s, "A");
        test::dropFiles(editor()->viewport(), {a});
        setNames(u"renamed"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        test::dropFiles(editor()->viewport(), {write(u"late.txt"_s, "L")});
        QTest::mouseClick(confirmWindow()->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        QCOMPARE(m_dialogs.messages, QStringList{u"リネームしました。"_s});
        QCOMPARE(files(), (QStringList{u"late.txt"_s, u"renamed.txt"_s}));
    }

    void confirmationLayoutFollowsItsSize()
    {
        const QString a = write(u"a.txt"_s, "A");
        test::dropFiles(editor()->viewport(), {a});
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        ui::Form2* form2 = confirmWindow();
        form2->resize(700, 500);
        QTRY_COMPARE(form2->size(), QSize(700, 500));
        const QSize outer = form2->frameGeometry().size();
        auto* button = form2->findChild<QPushButton*>(u"Command1"_s);
        QCOMPARE(form2->findChild<QPlainTextEdit*>(u"Text1"_s)->size(),
                 QSize(outer.width() - 10, outer.height() - 79));
        QCOMPARE(button->pos(), QPoint(outer.width() - 435, outer.height() - 72));
        QCOMPARE(form2->findChild<QPushButton*>(u"Command3"_s)->pos(),
                 button->pos() + QPoint(288, 0));
    }
};

QUILLET_WIDGET_TEST_MAIN(TestRenameWindows)
#include "tst_renamewindows.moc"
