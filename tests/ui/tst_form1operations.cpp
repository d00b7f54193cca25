// The operation panels and the value memory of the main window, driven as a user would.
#include "widgettest.h"

#include "datafile/datafolder.h"
#include "ui/form1.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {
const QStringList kBoxes{u"Text10"_s, u"Text11"_s, u"Text4"_s, u"Text8"_s,
                         u"Text5"_s,  u"Text9"_s,  u"Text3"_s};
}

class TestForm1Operations : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    QComboBox* box(const QString& name) const { return child<QComboBox>(name); }
    void click(const QString& name) { QTest::mouseClick(child(name), Qt::LeftButton); }
    void type(const QString& boxName, const QString& text)
    {
        // Typed through the edit field; QTest cannot type characters outside the BMP.
        box(boxName)->lineEdit()->clear();
        box(boxName)->lineEdit()->insert(text);
    }
    void selectOperation(const QString& list, int row)
    {
        auto* widget = child<QListWidget>(list);
        QTest::mouseClick(widget->viewport(), Qt::LeftButton, Qt::NoModifier,
                          widget->visualItemRect(widget->item(row)).center());
        QCOMPARE(widget->currentRow(), row);
    }
    void switchToAdvanced()
    {
        for (QRadioButton* option : m_form->findChildren<QRadioButton*>(u"Option1"_s)) {
            if (option->property("index").toInt() == 1)
                QTest::mouseClick(option, Qt::LeftButton);
        }
    }
    QStringList entries(const QString& name) const
    {
        QStringList list;
        for (int i = 0; i < box(name)->count(); ++i)
            list.append(box(name)->itemText(i));
        return list;
    }
    void writeDataFile(const QString& name, const QByteArray& bytes)
    {
        test::writeFile(m_dataDir.filePath(name), bytes);
    }
    void start() { m_form = test::showMainWindow(m_dataDir.path(), m_dialogs); }
    void dropNames(const QStringList& names)
    {
        QStringList paths;
        for (const QString& name : names)
            paths.append(QDir::toNativeSeparators(m_dataDir.filePath(name)));
        m_form->takeInFiles(paths);
    }

private slots:
    void init()
    {
        for (const QString& name : QDir(m_dataDir.path()).entryList(QDir::Files))
            QFile::remove(m_dataDir.filePath(name));
        m_dialogs = test::ScriptedDialogs();
    }
    void cleanup() { m_form.reset(); }

    void easyRunRewritesEveryLineAndCanBeUndone()
    {
        start();
        dropNames({u"one.avi"_s, u"two.avi"_s});
        QTest::keyClick(child(u"Text1"_s), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(child(u"Text1"_s), Qt::Key_Return); // a line beyond the batch
        const QString caretFront = child<QLineEdit>(u"Text6"_s)->text();
        selectOperation(u"List6"_s, 0);
        click(u"Command7"_s);
        QCOMPARE(m_form->names(), u"[DVD] one\r\n[DVD] two"_s);
        // The caret displays keep their values until the next key or click in the editor.
        QCOMPARE(child<QLineEdit>(u"Text6"_s)->text(), caretFront);
        QVERIFY(child(u"Command3"_s)->isEnabled());
        click(u"Command3"_s);
        QCOMPARE(m_form->names(), u"one\r\ntwo\r\n"_s);
    }

    void valuesAreRememberedInAllSevenBoxes()
    {
        start();
        dropNames({u"a.txt"_s});
        selectOperation(u"List6"_s, 25);
        type(u"Text10"_s, u"a"_s);
        type(u"Text11"_s, u"b"_s);
        type(u"Text3"_s, u"b"_s); // the same text in two boxes is added once
        type(u"Text5"_s, u"5"_s); // never remembered
        click(u"Command7"_s);
        QCOMPARE(m_form->names(), u"b"_s);
        for (const QString& name : kBoxes)
            QCOMPARE(entries(name), (QStringList{u"a"_s, u"b"_s}));
        QCOMPARE(box(u"Text10"_s)->currentText(), u"a"_s); // the typed texts stay
        QCOMPARE(box(u"Text5"_s)->currentText(), u"5"_s);
        click(u"Command7"_s);
        QCOMPARE(entries(u"Text9"_s).size(), 2);
    }

    void separatorItemChangesAndRemembersNothing()
    {
        start();
        dropNames({u"a.txt"_s});
        selectOperation(u"List6"_s, 9);
        type(u"Text10"_s, u"new"_s);
        click(u"Command7"_s);
        QCOMPARE(m_form->names(), u"a"_s);
        QCOMPARE(box(u"Text10"_s)->count(), 0);
        QVERIFY(!child(u"Command3"_s)->isEnabled());
    }

    void easyRunWithoutFilesEmptiesTheEditor()
    {
        start();
        click(u"Command7"_s);
        QCOMPARE(m_form->names(), QString());
    }

    void advancedRunEditsAndRemembersNothing()
    {
        start();
        dropNames({u"abc.txt"_s, u"xyz.txt"_s});
        switchToAdvanced();
        selectOperation(u"List3"_s, 3);
        selectOperation(u"List4"_s, 1);
        selectOperation(u"List5"_s, 2);
        type(u"Text4"_s, u"2"_s);
        type(u"Text5"_s, u"1"_s);
        type(u"Text3"_s, u"-"_s);
        click(u"Command6"_s);
        QCOMPARE(m_form->names(), u"a-\r\nx-"_s);
        QCOMPARE(box(u"Text3"_s)->count(), 0);
        // A plus box emptied by the user fails every line.
        child<QLineEdit>(u"Text12"_s)->clear();
        click(u"Command6"_s);
        QCOMPARE(m_form->names(), u"a-\r\nx-"_s);
        click(u"Command3"_s);
        QCOMPARE(m_form->names(), u"abc\r\nxyz"_s);
    }

    void codecRewriteReadsTheDataFiles()
    {
        writeDataFile(u"CodecInfo.txt"_s, " [*/WIDTH/*x*/HEIGHT/* */CODEC/* */MUSICCODEC/*]\r\n");
        writeDataFile(u"CodecChange.txt"_s, "[MOVIECODEC]\r\nDivX 5=DivX5\r\n");
        start();
        dropNames({u"Movie [640x480 24Bit DivX 5 29.97fps 1234f MP3 44.1kHz 2ch 128kbps ].avi"_s,
                   u"plain.avi"_s});
        selectOperation(u"List6"_s, 35);
        click(u"Command7"_s);
        QCOMPARE(m_form->names(), u"Movie [640x480 DivX5 MP3]\r\nplain"_s);
    }

    void deleteKeyForgetsTheEntryEverywhere()
    {
        writeDataFile(u"AutoComplete.txt"_s, "one\r\ntwo\r\nthree\r\n");
        start();
        QComboBox* text5 = box(u"Text5"_s);
        switchToAdvanced();
        text5->setFocus();
        // The arrow keys pick from the list: one, two, three.
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(text5, Qt::Key_Down);
        QCOMPARE(text5->currentText(), u"three"_s);
        QTest::keyClick(text5, Qt::Key_Home);
        QTest::keyClick(text5, Qt::Key_Delete);
        for (const QString& name : kBoxes)
            QCOMPARE(entries(name), (QStringList{u"one"_s, u"two"_s}));
        // The key still reached the edit field.
        QCOMPARE(text5->currentText(), u"hree"_s);

        // Typed text is no picked entry: nothing is forgotten.
        type(u"Text10"_s, u"one"_s);
        QTest::keyClick(box(u"Text10"_s), Qt::Key_Delete);
        QCOMPARE(entries(u"Text3"_s).size(), 2);
    }

    void closingSavesTheValuesAndTheyComeBack()
    {
        start();
        dropNames({u"a.txt"_s});
        type(u"Text10"_s, u"絵文字😀"_s);
        type(u"Text3"_s, u"plain"_s);
        click(u"Command7"_s);
        QVERIFY(m_form->close());
        QVERIFY(m_dialogs.messages.isEmpty());
        QVERIFY(
            test::readFile(m_dataDir.filePath(u"AutoComplete.txt"_s)).startsWith("\xEF\xBB\xBF"));

        start();
        QCOMPARE(entries(u"Text11"_s), (QStringList{u"絵文字😀"_s, u"plain"_s}));
    }

    // Portable (writable program folder) and installed (per-user folder) alike.
    void valuesSurviveARestartInEitherDataFolder_data()
    {
        QTest::addColumn<bool>("programFolderWritable");
        QTest::newRow("program folder") << true;
        QTest::newRow("per-user folder") << false;
    }
    void valuesSurviveARestartInEitherDataFolder()
    {
        QFETCH(bool, programFolderWritable);
        QTemporaryDir program;
        QTemporaryDir user;
        const QString folder =
            datafile::chooseDataFolder(program.path(), programFolderWritable, user.path());
        for (int run = 0; run < 2; ++run) {
            ui::Form1 form(folder, m_dialogs);
            auto* text10 = form.findChild<QComboBox*>(u"Text10"_s);
            if (run == 1) {
                QCOMPARE(text10->count(), 1);
                QCOMPARE(text10->itemText(0), u"kept value"_s);
                break;
            }
            text10->lineEdit()->insert(u"kept value"_s);
            QTest::mouseClick(form.findChild<QPushButton*>(u"Command7"_s), Qt::LeftButton);
            QVERIFY(form.close());
        }
        const QString expected =
            (programFolderWritable ? program.path() : user.path()) + u"/AutoComplete.txt"_s;
        QVERIFY(QFile::exists(expected));
    }

    void closingWhenTheFileCannotBeWrittenSaysSoAndCloses()
    {
        QVERIFY(QDir(m_dataDir.path()).mkdir(u"AutoComplete.txt"_s));
        start();
        QVERIFY(m_form->close());
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY(m_dialogs.messages.first().contains(u"AutoComplete.txt"_s));
        QVERIFY(QDir(m_dataDir.path()).rmdir(u"AutoComplete.txt"_s));
    }

    // An AutoComplete.txt that could not be read was replaced at exit without a word; a link
    // to a file elsewhere became a plain file.
    void closingLeavesUnreadableValueFilesAndWritesThroughLinks_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason"); // empty: written, no message
        QTest::newRow("FIFO left alone, said once")
            << u"FIFO"_s << u"通常のファイルではありません"_s;
        QTest::newRow("link written through") << u"link"_s << QString();
    }
    void closingLeavesUnreadableValueFilesAndWritesThroughLinks()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString path = m_dataDir.filePath(u"AutoComplete.txt"_s);
        QTemporaryDir elsewhere;
        const QString target = elsewhere.filePath(u"values.txt"_s);
        if (kind == u"FIFO") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else {
            test::writeFile(target, "old\r\n");
            QVERIFY(QFile::link(target, path));
        }
        start();
        type(u"Text10"_s, u"remembered"_s);
        click(u"Command7"_s);
        QVERIFY(m_form->close());
        if (reason.isEmpty()) {
            QVERIFY(m_dialogs.messages.isEmpty());
            QVERIFY(QFileInfo(path).isSymLink());
            QVERIFY(test::readFile(target).contains("remembered"));
        } else {
            QCOMPARE(m_dialogs.messages.size(), 1);
            QVERIFY(m_dialogs.messages.first().contains(u"AutoComplete.txt"_s));
            QVERIFY(m_dialogs.messages.first().contains(reason));
            QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile());
        }
        QFile::remove(path);
    }
};

QUILLET_WIDGET_TEST_MAIN(TestForm1Operations)
#include "tst_form1operations.moc"
